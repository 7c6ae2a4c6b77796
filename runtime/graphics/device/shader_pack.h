// The shader pack: the program's compiled shaders travel inside it as one LZ block holding an
// archive with "ShaderPack.bin"; loading decodes it once and indexes its code into a vertex and
// a pixel table. Also the release of the device's shader objects and vertex declarations.
#pragma once

#include <cstddef>
#include <cstdint>

#include "port/win32.h"
#include "runtime/platform/files/archive_reader.h"

inline constexpr int kShaderSizeGroups = 23296;  // groups of six u16 sizes
inline constexpr int kShaderSizeEntries = kShaderSizeGroups * 6;
inline constexpr int kVertexShaderSlots = 16384 * 6;
inline constexpr int kPixelShaderSlots = 6912 * 6;
inline constexpr size_t kShaderSizeTableBytes = kShaderSizeEntries * 2;
inline constexpr const char* kShaderPackEntryName = "ShaderPack.bin";
// The two slots the shader set-up turns into device objects.
inline constexpr int kLibraryVertexShaderSlot = 32772;
inline constexpr int kLibraryPixelShaderSlot = 2452;
inline constexpr int kShaderDeclarationCount = 55;

// The embedded block (LZ block of the scrambled archive).
extern const uint8_t EmbeddedShaderPackBlock[];
extern const size_t EmbeddedShaderPackBlockSize;

extern ArchiveRecord ShaderArchive;
extern uint8_t* ShaderArchiveImage;
extern uint8_t* ShaderPack;
extern size_t ShaderPackSize;
// Pointers into ShaderPack, null for empty slots.
extern const uint8_t* VertexShaderCode[kVertexShaderSlots];
extern const uint8_t* PixelShaderCode[kPixelShaderSlots];
// The device objects made from the code tables.
extern IDirect3DVertexShader9* VertexShaderObjects[kVertexShaderSlots];
extern IDirect3DPixelShader9* PixelShaderObjects[kPixelShaderSlots];
extern IDirect3DVertexDeclaration9* ShaderVertexDeclarations[kShaderDeclarationCount];

// 1 when the pack is loaded (also when it was before), 0 when loading fails; nothing is
// indexed unless the whole pack is sound.
int LoadShaderPack();
// The same from another block, for packs made by tests.
int LoadShaderPackFromBlock(const void* block, size_t size);
// Closes the archive and frees the decoded images and the tables (graphics shutdown).
void FreeShaderPack();
int ReleaseShaderDeclarations();
int ReleaseShaderObjects();
