// 3-D model support: the tables of model bases (the shared data of a model file) and of models
// (instances of a base, handle type 0xA), their buffers in device memory, the three default
// textures, and the hooks that build, release and rebuild them around device creation, device
// loss and shutdown. No call of this system loads a model file, so at run time the tables stay
// empty and the hooks find nothing to do.
#pragma once

#include <array>
#include <cstdint>

#include "port/win32.h"
#include "runtime/graphics/image/graph_image.h"

// An image file kept in memory, so that a texture can be rebuilt after a device loss.
struct ModelKeptImage {
  void* data;  // tracked block, owned; null when none
  int size;
};

// A colour texture and its alpha companion, with the graph that shows them.
struct ModelTextureSlot {
  int inUse;
  ModelKeptImage colour;
  ModelKeptImage alpha;
  int graph;  // -1 none
};

enum ModelVertexKind {
  ModelVertexRigid = 0,
  ModelVertexSkinned4 = 1,  // four bone weights
  ModelVertexSkinned8 = 2,  // eight bone weights
  ModelVertexKindCount = 3,
};

// A mesh's vertices and 16-bit indices as the loader leaves them (tracked blocks, owned).
struct ModelMesh {
  int vertexKind;
  DWORD fvf;
  int vertexStride;
  int vertexCount;
  int indexCount;
  void* vertices;
  uint16_t* indices;
};

// One vertex buffer and one index buffer holding a run of meshes of one kind.
struct ModelBufferChunk {
  IDirect3DVertexBuffer9* vertexBuffer;
  IDirect3DIndexBuffer9* indexBuffer;
  int vertexCount;
  int indexCount;
  ModelBufferChunk* next;
};

struct ModelRecord;

struct ModelBaseRecord {
  int refCount;  // one per model of the base
  int materialCount;
  ModelTextureSlot* materials;
  int meshCount;
  ModelMesh* meshes;
  int buffersBuilt;
  ModelBufferChunk* chunks[ModelVertexKindCount];
  int chunkCounts[ModelVertexKindCount];
  ModelRecord* models;  // the chain of the base's models
};

struct ModelRecord {
  int checkNumber;
  int base;                 // the base's handle
  ModelRecord* nextOfBase;  // chain link to the other models of the base
  int textureCount;
  ModelTextureSlot* textures;
  // One dynamic vertex buffer per skinned mesh of the base, rewritten by the skinning.
  int frameBufferCount;
  IDirect3DVertexBuffer9** frameBuffers;
};

// Growable arrays of record pointers. A base slot holding kModelBaseSlotTaken is taken but has
// no record.
inline void* const kModelBaseSlotTaken = reinterpret_cast<void*>(1);
struct ModelTables {
  int initialised;
  ModelBaseRecord** bases;
  int baseCount;  // slots handed out; a deleted base leaves its slot empty
  int baseCapacity;
  ModelRecord** models;
  int modelCount;  // live models
  int modelCapacity;
  int modelEndIndex;  // one past the highest slot in use
};
extern ModelTables Models;

// Entry i = sin(i x 2 pi / 65536), pi taken as the float 3.1415927.
inline constexpr int kModelSineEntries = 65536;
extern float ModelSineTable[kModelSineEntries];

// The default texture graphs of the model system: -1, as no call of this system makes them.
extern int DefaultWhiteTexture;
extern int DefaultToonTexture;
extern int DefaultGradientTexture;

// The images embedded for the white and toon textures: run-length encoded TGA files.
inline constexpr int kModelWhiteTgaBytes = 84;
inline constexpr int kModelToonTgaBytes = 172;
extern const std::array<uint8_t, kModelWhiteTgaBytes> ModelWhiteTga;
extern const std::array<uint8_t, kModelToonTgaBytes> ModelToonTga;

// A base handle: type 1 in bits 27-30 and the index in bits 0-16, no check number.
constexpr int MakeModelBaseHandle(int index) { return (1 << 27) | index; }

// On the hardware path only, once: fills the sine table and empties the tables. 0.
int InitializeModelSystem();
// Deletes every model and base and frees the tables; nothing unless initialised. 0.
int TerminateModelSystem();
// After a new device: the default textures and every kept texture written into its graph. 0.
int RestoreModelTextures();
// Builds the device buffers of every base whose buffers are not built, and the frame buffers
// of its models. 0, or -1 when a base's buffers could not be made (what was built for that
// base is released).
int SetupAllModelBaseBuffers();
// Releases the device buffers of every base and model; the records stay for the rebuild.
void ReleaseAllModelBuffers();
// -1 for a handle that is not a live model (base); else it is deleted (a base when its last
// reference goes), 0.
int DeleteModel(int handle);
int DeleteModelBase(int handle);

// Reads the colour image (and the alpha image) from memory; with only an alpha image, the
// colour image is X8R8G8B8 of its size filled with 0xFF bytes. makeNormalMap turns the colour
// image, as a height map in its red channel, into a normal map of the given strength (at least
// 0.000001). Images read from data are scaled to powers of two (at most half the device's
// largest texture side) and, with turn 1, turned half a turn. 0, or -1 with nothing made.
int PrepareModelTextureImages(GraphImage* colourImage, GraphImage* alphaImage,
                              const void* colourData, int colourSize, const void* alphaData,
                              int alphaSize, int makeNormalMap, float strength, int turn);
// Fills the graph with the 256 x 8 grey ramp (column i grey i). The graph, or -1 when the
// image cannot be made.
int CreateGradientTexture(int graph);

// Points the start-up, device and screen hooks' model steps at the model system.
void InstallModelHooks();
