// The port's COM class table: each area that provides a class declares its factory here
// and adds a row to the table in com.cpp.
#pragma once

#include "port/com/com.h"

// CLSID_DirectSound (port/dsound/dsound.h): an uninitialised IDirectSound.
HRESULT CreateDirectSoundObject(REFIID iid, void** object);

// CLSID_DirectDraw7 (port/ddraw/ddraw.h): an uninitialised IDirectDraw7.
HRESULT MakeDirectDraw7Object(REFIID iid, void** object);
// CLSID_DirectInput and CLSID_DirectInput8 (port/dinput/dinput.h): uninitialised DirectInput
// objects.
HRESULT CreateDirectInputObject(REFIID iid, void** object);
HRESULT CreateDirectInput8Object(REFIID iid, void** object);

// CLSID_FilterGraph and CLSID_NullRenderer (port/dshow/dshow.h): an empty filter graph, and a
// renderer that takes any type and drops its samples.
HRESULT CreateFilterGraphObject(REFIID iid, void** object);
HRESULT CreateNullRendererObject(REFIID iid, void** object);
