// Surviving a lost device or a display change: releasing every device-bound object, making the
// device again with the same screen mode, and refilling the graphs, by reloading them from the
// files they came from or through a restore callback the program installs.
#pragma once

// Installs the callback that refills graphs after a new device; null installs RestoreGraphics.
// 0.
int SetRestoreCallback(void (*callback)());
// 1 when a callback is installed, else 0.
int HasRestoreCallback();
// The built-in refill: every graph with a recorded source file is read again from it (a run of
// graphs of one file reads it once) and mirrored again when it was loaded mirrored. Graphs
// without a source file stay as the new device made them (cleared).
void RestoreGraphics();
// Releases the device objects of every graph, buffer and shader; the records stay. 0.
int ReleaseAllDeviceResources();
// RecreateGraphicsDevice for a display change or a failed present. 0.
int ReleaseGraphicsForDisplayChange();
// Makes the device again in place, keeping every handle, and refills what it held. Stays on
// the path it started on: from the software path no device is made; on the hardware path a
// device that cannot be made again ends the program. 0.
int RecreateGraphicsDevice();
// The installed callback (or RestoreGraphics), then the model textures and the fonts.
void RestoreGraphicsAfterRecreate();
