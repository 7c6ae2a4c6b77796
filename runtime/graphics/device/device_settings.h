// The public settings that sit above the device state cache: texture filter, draw area, the
// view, projection and viewport matrices and fog. They are kept with the draw settings (the
// software renderer reads them too) and forwarded to the device on the hardware path. Also the
// fixed start states, the sub back buffer copy, the programmable-shader set-up and the
// re-creation of device resources after a new device.
#pragma once

#include <cstdint>

#include "port/win32.h"
#include "runtime/platform/core/geometry.h"

// 0 nearest, 1 bilinear, 2 anisotropic.
extern int TextureFilterMode;
extern int TextureMaxAnisotropy;
// DrawArea (draw_state.h) as floats, whether it is empty (draw calls then draw nothing), and
// the rectangle last passed to SetDrawClipRect, as passed.
extern float DrawAreaF[4];
extern int DrawAreaEmpty;
extern RECT RequestedDrawClipRect;
// The matrices last set, and the draw-area viewport matrix with its inverse.
extern Matrix4 ViewMatrix;
extern Matrix4 ProjectionMatrix;
extern Matrix4 ViewportMatrix;
extern Matrix4 DrawAreaViewportMatrix;
extern Matrix4 DrawAreaViewportInverse;
// 0 none, 1 exp, 2 exp2, 3 linear (the default).
extern int FogMode;
extern D3DCOLOR FogColor;
extern float FogStart;
extern float FogEnd;
// The programmable shaders of the shader pack run.
extern int UseProgrammableShaders;

int SetTextureFilterMode(int mode);
int GetTextureFilterMode();
// 0, or -1 when the draw target is an invalid graph or the hardware path has no device.
int SetDrawClipRect(int x1, int y1, int x2, int y2);
int SetViewMatrix(const Matrix4* matrix);
int SetProjectionMatrix(const Matrix4* matrix);
int SetViewportMatrix(const Matrix4* matrix);
int SetFogMode(int mode);
int SetFogColor(int red, int green, int blue);
int SetFogStartEnd(float start, float end);
// The size of the current draw target: the screen for the back and front buffers, the graph's
// size for a graph. -1 for a draw target that is not a valid graph.
int GetDrawTargetSize(int* width, int* height);

void SetDefaultDeviceStates();
// 0 at once when the sub back buffer exists; else makes it, copies the back buffer into it and
// makes it the render target. -1 when it cannot be made.
int CopyBackBufferToSubBackBuffer();
int SetUpProgrammableShaders();
int CreateShaderVertexDeclarations();
// After a new device: the textures of every graph (the blend graph's selected again), the
// buffers and the shaders again. 0.
int RecreateDeviceResources();
