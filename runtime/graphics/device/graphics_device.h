// The Direct3D 9 device: the library, the Direct3D object (the 9Ex form where it exists), the
// device for the current screen mode with its back buffer, swap chain, sub back buffer and
// depth surface, the capabilities the rest of the graphics layer reads, and the set-up and
// release that choose between the hardware path and the software renderer.
#pragma once

#include <cstdint>

#include "port/win32.h"

// 1 while drawing goes through Direct3D textures, 0 while it goes through the software screen.
// SetUpGraphicsDevice sets it: 1 only when the device, its formats and its depth surface were
// all made.
extern int HardwareRendering;
// SetUseHardwareRendering(0) before start-up: the device is never tried.
extern int SoftwareRenderingRequested;
// A device scene is open (BeginSceneIfNeeded / EndSceneIfActive).
extern int InScene;

// "d3d9.dll", loaded by SetUpGraphicsDevice and freed by ReleaseGraphicsDevice.
extern HMODULE Direct3DLibrary;
// The Direct3D object; when Direct3DCreate9Ex gave one it is also Direct3DObjectEx (else null).
extern IDirect3D9* Direct3DObject;
extern IDirect3D9Ex* Direct3DObjectEx;
// The device; Direct3DDeviceEx is the same object when CreateDeviceEx made it (else null).
extern IDirect3DDevice9* Direct3DDevice;
extern IDirect3DDevice9Ex* Direct3DDeviceEx;

// Back buffer 0 of swap chain 0, the swap chain, the sub back buffer (a render target of the
// screen size, made on first need) and the depth surface with its power-of-two size.
extern IDirect3DSurface9* BackBufferSurface;
extern IDirect3DSwapChain9* DeviceSwapChain;
extern IDirect3DSurface9* SubBackBufferSurface;
extern IDirect3DSurface9* DepthSurface;
extern int DepthSurfaceWidth;
extern int DepthSurfaceHeight;

// The device's capabilities as read after creation (TextureCaps holds
// D3DPTEXTURECAPS_SQUAREONLY and D3DPTEXTURECAPS_POW2 for the graph storage).
extern D3DCAPS9 DeviceCaps;
// The smaller of the caps' maximum texture width and height, each read as 256 when 0.
extern int MaxTextureSize;
// The back buffer's format.
extern D3DFORMAT ScreenFormat;

// Vertex and pixel shader version 2.0 or higher in the adapter caps read before creation
// (cleared when only software vertex processing made the device).
extern int ShaderModel2Available;
// The same test on the device caps after creation; both 0 without ShaderModel2Available.
extern int VertexShader2Supported;
extern int PixelShader2Supported;
// D3DPMISCCAPS_TSSARGTEMP: D3DTSS_RESULTARG may be sent.
extern int TempRegisterSupported;
// D3DPMISCCAPS_BLENDOP: subtraction is drawn with D3DBLENDOP_REVSUBTRACT.
extern int SubtractBlendSupported;
// Reading the back buffer is faster by locking it than through a temporary render target.
extern int UseBackBufferLock;

// 0, or -1 when the library or the DirectDraw object cannot be had, or when the software path
// cannot set the full-screen display mode. HardwareRendering tells which path runs.
int SetUpGraphicsDevice();
// Each 0 or -1, logging as it goes; a failure leaves nothing of its own made.
int CreateDirect3DObject();
int CreateGraphicsDevice();
int CreateZBuffer();
int CreateSubBackBuffer();
// The back-buffer read-back measurement that ends CreateGraphicsDevice: sets UseBackBufferLock.
void MeasureBackBufferReadBack();
// Releases everything SetUpGraphicsDevice made, in reverse, restoring the desktop's display
// mode where the set-up changed it. 0.
int ReleaseGraphicsDevice();

// Releases a device object (when there is one) and clears the pointer.
template <typename T>
void ReleaseAndClear(T*& object) {
  if (object) object->Release();
  object = nullptr;
}

// Opens a device scene when none is open; closes an open one.
void BeginSceneIfNeeded();
void EndSceneIfActive();

// Before start-up: 0, and flag 0 asks for the software renderer. After start-up: -1.
int SetUseHardwareRendering(int flag);
// 1 unless the software renderer was asked for.
int GetUseHardwareRendering();
