// The handle types the library reserves for vertex buffers (type 14), index buffers (type 15)
// and shaders (type 12): their tables, deletes and the re-creation of their device objects.
// No operation of the system creates such handles; the tables stay empty unless a caller does.
#pragma once

#include <cstdint>

#include "port/win32.h"
#include "runtime/platform/core/handle_table.h"

struct DeviceBufferRecord {
  int checkNumber;
  int handle;
  int kind;  // 0: the standard layout
  int elementSize;
  int elementCount;
  void* systemCopy;        // the elements, kept for re-creation
  IUnknown* deviceBuffer;  // IDirect3DVertexBuffer9 or IDirect3DIndexBuffer9
};

struct ShaderRecord {
  int checkNumber;
  int handle;
  int kind;  // 0 vertex, 1 pixel
  void* code;
  int codeSize;
  IUnknown* shader;  // IDirect3DVertexShader9 or IDirect3DPixelShader9
};

extern HandleTable VertexBufferHandles;
extern HandleTable IndexBufferHandles;
extern HandleTable ShaderHandles;

// 0, or -1 for a handle of another type, a slot beyond the table or a stale check number.
int DeleteVertexBuffer(int handle);
int DeleteIndexBuffer(int handle);
int DeleteShader(int handle);
// While graphics run, every live handle of the type. 0.
int DeleteAllVertexBuffers();
int DeleteAllIndexBuffers();
int DeleteAllShaders();
// Device objects of one record from its system copy (with shader model 2 only). 0 or -1.
int CreateVertexBufferObject(DeviceBufferRecord* record);
int CreateIndexBufferObject(DeviceBufferRecord* record);
int CreateShaderObject(ShaderRecord* record);
// Releases the device objects of every buffer and shader, keeping the records (device loss).
void ReleaseDeviceBufferObjects();
