// The port's Win32 subset: the one header the runtime includes for Windows services.
// Each area of the port declares its functions in a header of its own, included here.
#pragma once

#include "port/win32_types.h"
#include "port/last_error.h"
#include "port/module_table.h"
#include "port/com.h"
#include "port/wave_format.h"
#include "port/dsound.h"
#include "port/handles.h"
#include "port/threads.h"
#include "port/files.h"
#include "port/kernel_system.h"
#include "port/winmm.h"
#include "port/winsock.h"
#include "port/file_find.h"
#include "port/file_times.h"
#include "port/temp_files.h"
#include "port/user32.h"
#include "port/gdi32.h"
#include "port/imm32.h"
#include "port/comctl32.h"
#include "port/dwmapi.h"
