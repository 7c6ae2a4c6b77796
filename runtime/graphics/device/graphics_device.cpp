#include "runtime/graphics/device/graphics_device.h"

int HardwareRendering = 0;
int SoftwareRenderingRequested = 0;
int InScene = 0;
HMODULE Direct3DLibrary = nullptr;
IDirect3D9* Direct3DObject = nullptr;
IDirect3D9Ex* Direct3DObjectEx = nullptr;
IDirect3DDevice9* Direct3DDevice = nullptr;
IDirect3DDevice9Ex* Direct3DDeviceEx = nullptr;
IDirect3DSurface9* BackBufferSurface = nullptr;
IDirect3DSwapChain9* DeviceSwapChain = nullptr;
IDirect3DSurface9* SubBackBufferSurface = nullptr;
IDirect3DSurface9* DepthSurface = nullptr;
int DepthSurfaceWidth = 0;
int DepthSurfaceHeight = 0;
D3DCAPS9 DeviceCaps = {};
int MaxTextureSize = 0;
D3DFORMAT ScreenFormat = D3DFMT_UNKNOWN;
int ShaderModel2Available = 0;
int VertexShader2Supported = 0;
int PixelShader2Supported = 0;
int TempRegisterSupported = 0;
int SubtractBlendSupported = 0;
int UseBackBufferLock = 0;
