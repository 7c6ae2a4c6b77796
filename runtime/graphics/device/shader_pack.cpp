#include "runtime/graphics/device/shader_pack.h"

ArchiveRecord ShaderArchive = {};
uint8_t* ShaderArchiveImage = nullptr;
uint8_t* ShaderPack = nullptr;
size_t ShaderPackSize = 0;
const uint8_t* VertexShaderCode[kVertexShaderSlots] = {};
const uint8_t* PixelShaderCode[kPixelShaderSlots] = {};
IDirect3DVertexShader9* VertexShaderObjects[kVertexShaderSlots] = {};
IDirect3DPixelShader9* PixelShaderObjects[kPixelShaderSlots] = {};
IDirect3DVertexDeclaration9* ShaderVertexDeclarations[kShaderDeclarationCount] = {};
