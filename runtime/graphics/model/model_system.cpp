#include "runtime/graphics/model/model_system.h"

#include <cmath>
#include <cstring>

#include "runtime/graphics/device/device_graph_hooks.h"
#include "runtime/graphics/device/graphics_device.h"
#include "runtime/graphics/graph/graph_handles.h"
#include "runtime/graphics/screen/screen_hooks.h"
#include "runtime/platform/core/handle_table.h"
#include "runtime/platform/core/tracked_heap.h"
#include "runtime/platform/startup/library_hooks.h"

ModelTables Models = {};
float ModelSineTable[kModelSineEntries];

namespace {

// A chunk's vertices and indices stay within what one draw of 16-bit indices may address.
constexpr int kChunkVertexLimit = 0x5FFFF;
constexpr int kChunkIndexLimit = 0xBFFFF;

ModelBaseRecord* BaseOf(int handle) {
  if (handle < 0 || HandleTypeOf(handle) != 1 || HandleCheckNumberOf(handle) != 0) return nullptr;
  const int index = handle & 0x1FFFF;
  if (index >= Models.baseCount || Models.bases == nullptr) return nullptr;
  void* record = Models.bases[index];
  return record == kModelBaseSlotTaken ? nullptr : static_cast<ModelBaseRecord*>(record);
}

ModelRecord* ModelOf(int handle) {
  if (handle < 0 || HandleTypeOf(handle) != HandleTypeModel) return nullptr;
  const int slot = HandleSlotOf(handle);
  if (slot >= Models.modelEndIndex || Models.models == nullptr) return nullptr;
  ModelRecord* record = Models.models[slot];
  return record != nullptr && record->checkNumber == HandleCheckNumberOf(handle) ? record : nullptr;
}

void FreeKeptImages(ModelTextureSlot* slots, int count) {
  for (int i = 0; i < count; ++i) {
    FreeTracked(slots[i].colour.data);
    FreeTracked(slots[i].alpha.data);
    DeleteGraphHandle(slots[i].graph);
  }
  FreeTracked(slots);
}

void ReleaseChunks(ModelBaseRecord* base) {
  for (int kind = 0; kind < ModelVertexKindCount; ++kind) {
    for (ModelBufferChunk* c = base->chunks[kind]; c != nullptr;) {
      ModelBufferChunk* next = c->next;
      ReleaseAndClear(c->vertexBuffer);
      ReleaseAndClear(c->indexBuffer);
      FreeTracked(c);
      c = next;
    }
    base->chunks[kind] = nullptr;
    base->chunkCounts[kind] = 0;
  }
  base->buffersBuilt = 0;
}

void ReleaseFrameBuffers(ModelRecord* model) {
  for (int i = 0; i < model->frameBufferCount; ++i) ReleaseAndClear(model->frameBuffers[i]);
  FreeTracked(model->frameBuffers);
  model->frameBuffers = nullptr;
  model->frameBufferCount = 0;
}

// Creates and fills one chunk of meshes [first, last) of one kind; null on any failure.
ModelBufferChunk* BuildChunk(const ModelBaseRecord* base, int kind, int first, int last) {
  const ModelMesh& firstMesh = base->meshes[first];
  int vertices = 0, indices = 0;
  for (int i = first; i < last; ++i)
    if (base->meshes[i].vertexKind == kind) {
      vertices += base->meshes[i].vertexCount;
      indices += base->meshes[i].indexCount;
    }
  auto* chunk = static_cast<ModelBufferChunk*>(
      AllocTrackedZero(sizeof(ModelBufferChunk), __FILE__, __LINE__));
  if (chunk == nullptr) return nullptr;
  chunk->vertexCount = vertices;
  chunk->indexCount = indices;
  void* vertexBytes = nullptr;
  void* indexBytes = nullptr;
  const bool made =
      SUCCEEDED(Direct3DDevice->CreateVertexBuffer(
          vertices * firstMesh.vertexStride, D3DUSAGE_WRITEONLY, firstMesh.fvf, D3DPOOL_DEFAULT,
          &chunk->vertexBuffer, nullptr)) &&
      SUCCEEDED(Direct3DDevice->CreateIndexBuffer(indices * 2, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16,
                                                  D3DPOOL_DEFAULT, &chunk->indexBuffer, nullptr)) &&
      SUCCEEDED(chunk->vertexBuffer->Lock(0, 0, &vertexBytes, 0));
  if (made && SUCCEEDED(chunk->indexBuffer->Lock(0, 0, &indexBytes, 0))) {
    auto* v = static_cast<uint8_t*>(vertexBytes);
    auto* x = static_cast<uint16_t*>(indexBytes);
    int base0 = 0;
    for (int i = first; i < last; ++i) {
      const ModelMesh& m = base->meshes[i];
      if (m.vertexKind != kind) continue;
      std::memcpy(v, m.vertices, static_cast<size_t>(m.vertexCount) * m.vertexStride);
      v += static_cast<size_t>(m.vertexCount) * m.vertexStride;
      for (int k = 0; k < m.indexCount; ++k) *x++ = static_cast<uint16_t>(m.indices[k] + base0);
      base0 += m.vertexCount;
    }
    chunk->indexBuffer->Unlock();
    chunk->vertexBuffer->Unlock();
    return chunk;
  }
  if (made) chunk->vertexBuffer->Unlock();
  ReleaseAndClear(chunk->vertexBuffer);
  ReleaseAndClear(chunk->indexBuffer);
  FreeTracked(chunk);
  return nullptr;
}

// Packs the base's meshes of each kind into chunks, a new chunk starting where a mesh would
// pass a limit. -1 (with everything of the base released) on a failure.
int BuildBaseBuffers(ModelBaseRecord* base) {
  for (int kind = 0; kind < ModelVertexKindCount; ++kind) {
    ModelBufferChunk** tail = &base->chunks[kind];
    int first = -1, vertices = 0, indices = 0;
    for (int i = 0; i <= base->meshCount; ++i) {
      const bool end = i == base->meshCount;
      if (!end && base->meshes[i].vertexKind != kind) continue;
      const bool full = !end && first != -1 &&
                        (vertices + base->meshes[i].vertexCount > kChunkVertexLimit ||
                         indices + base->meshes[i].indexCount > kChunkIndexLimit);
      if ((end || full) && first != -1) {
        ModelBufferChunk* chunk = BuildChunk(base, kind, first, i);
        if (chunk == nullptr) {
          ReleaseChunks(base);
          return -1;
        }
        *tail = chunk;
        tail = &chunk->next;
        ++base->chunkCounts[kind];
        first = -1;
        vertices = indices = 0;
      }
      if (end) break;
      if (first == -1) first = i;
      vertices += base->meshes[i].vertexCount;
      indices += base->meshes[i].indexCount;
    }
  }
  base->buffersBuilt = 1;
  return 0;
}

int CreateModelFrameVertexBuffers(ModelRecord* model, const ModelBaseRecord* base) {
  int skinned = 0;
  for (int i = 0; i < base->meshCount; ++i)
    if (base->meshes[i].vertexKind != ModelVertexRigid) ++skinned;
  if (skinned == 0 || model->frameBuffers != nullptr) return 0;
  model->frameBuffers = static_cast<IDirect3DVertexBuffer9**>(
      AllocTrackedZero(sizeof(IDirect3DVertexBuffer9*) * skinned, __FILE__, __LINE__));
  if (model->frameBuffers == nullptr) return -1;
  model->frameBufferCount = skinned;
  for (int i = 0, n = 0; i < base->meshCount; ++i) {
    const ModelMesh& m = base->meshes[i];
    if (m.vertexKind == ModelVertexRigid) continue;
    if (FAILED(Direct3DDevice->CreateVertexBuffer(
            m.vertexCount * m.vertexStride, D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC, m.fvf,
            D3DPOOL_DEFAULT, &model->frameBuffers[n++], nullptr))) {
      ReleaseFrameBuffers(model);
      return -1;
    }
  }
  return 0;
}

}  // namespace

int InitializeModelSystem() {
  if (Models.initialised || !HardwareRendering) return 0;
  const float pi = 3.1415927f;
  for (int i = 0; i < kModelSineEntries; ++i)
    ModelSineTable[i] = std::sin(static_cast<float>(i) * 2 * pi / kModelSineEntries);
  Models = {};
  Models.initialised = 1;
  return 0;
}

int TerminateModelSystem() {
  if (!Models.initialised) return 0;
  for (int slot = 0; slot < Models.modelEndIndex; ++slot)
    if (ModelRecord* m = Models.models[slot])
      DeleteModel(slot | ((m->checkNumber | HandleTypeModel * 2048) << 16));
  // A base outlives its models only by references that were never dropped.
  for (int index = 0; index < Models.baseCount; ++index)
    while (BaseOf(MakeModelBaseHandle(index)) != nullptr)
      DeleteModelBase(MakeModelBaseHandle(index));
  FreeTracked(Models.models);
  FreeTracked(Models.bases);
  Models = {};
  return 0;
}

int SetupAllModelBaseBuffers() {
  // The meshes are drawn through the fixed pipeline's vertex blending or a vertex shader; a
  // device made with software vertex processing only takes neither.
  if (Direct3DDevice == nullptr || !ShaderModel2Available) return 0;
  int result = 0;
  for (int index = 0; index < Models.baseCount; ++index) {
    ModelBaseRecord* base = BaseOf(MakeModelBaseHandle(index));
    if (base == nullptr || base->buffersBuilt) continue;
    if (BuildBaseBuffers(base) != 0) {
      result = -1;
      continue;
    }
    for (ModelRecord* m = base->models; m != nullptr; m = m->nextOfBase)
      if (CreateModelFrameVertexBuffers(m, base) != 0) result = -1;
  }
  return result;
}

void ReleaseAllModelBuffers() {
  for (int index = 0; index < Models.baseCount; ++index)
    if (ModelBaseRecord* base = BaseOf(MakeModelBaseHandle(index))) ReleaseChunks(base);
  for (int slot = 0; slot < Models.modelEndIndex; ++slot)
    if (ModelRecord* m = Models.models[slot]) ReleaseFrameBuffers(m);
}

int DeleteModel(int handle) {
  ModelRecord* model = ModelOf(handle);
  if (model == nullptr) return -1;
  ReleaseFrameBuffers(model);
  FreeKeptImages(model->textures, model->textureCount);
  if (ModelBaseRecord* base = BaseOf(model->base)) {
    for (ModelRecord** link = &base->models; *link != nullptr; link = &(*link)->nextOfBase)
      if (*link == model) {
        *link = model->nextOfBase;
        break;
      }
    DeleteModelBase(model->base);
  }
  FreeTracked(model);
  Models.models[HandleSlotOf(handle)] = nullptr;
  --Models.modelCount;
  while (Models.modelEndIndex > 0 && Models.models[Models.modelEndIndex - 1] == nullptr)
    --Models.modelEndIndex;
  return 0;
}

int DeleteModelBase(int handle) {
  ModelBaseRecord* base = BaseOf(handle);
  if (base == nullptr) return -1;
  if (--base->refCount > 0) return 0;
  ReleaseChunks(base);
  FreeKeptImages(base->materials, base->materialCount);
  for (int i = 0; i < base->meshCount; ++i) {
    FreeTracked(base->meshes[i].vertices);
    FreeTracked(base->meshes[i].indices);
  }
  FreeTracked(base->meshes);
  FreeTracked(base);
  Models.bases[handle & 0x1FFFF] = nullptr;
  return 0;
}

void InstallModelHooks() {
  LibraryHooks.initializeModelSystem = &InitializeModelSystem;
  LibraryHooks.terminateModelSystem = &TerminateModelSystem;
  ScreenHooks.restoreModelTextures = [] { RestoreModelTextures(); };
  ScreenHooks.setupAllModelBaseBuffers = [] { SetupAllModelBaseBuffers(); };
  DeviceGraphHooks.releaseModelBuffers = &ReleaseAllModelBuffers;
}
