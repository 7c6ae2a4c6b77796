// Soft images: pictures owned by a handle of type 0xB that live only in main memory and never
// become textures; deleted one by one or all together when the library ends.
#pragma once

#include "runtime/graphics/image/graph_image.h"
#include "runtime/platform/core/handle_table.h"

extern HandleTable SoftImageHandles;

// Takes the picture (its pixels now belong to the handle; *image is cleared) into a new soft
// image. The handle, or -1 with the picture left to the caller when the table is full or memory
// runs out. No public entry point makes soft images; this serves the library itself.
int CreateSoftImage(GraphImage* image);
// The picture of a live soft image, or null.
GraphImage* GetSoftImage(int handle);
// 0, or -1 for a handle that is not a live soft image.
int DeleteSoftImage(int handle);
// Deletes every soft image. 0.
int DeleteAllSoftImages();
