// Movie handles (type 3): an opened movie file whose current frame a graph shows. Ogg Theora
// files are decoded by the runtime's own decoder, their Vorbis track loaded as a stream sound;
// any other file is rendered by the platform's filter graph into a MovieRenderer.
#pragma once

#include "runtime/graphics/image/graph_image.h"
#include "runtime/graphics/movie/theora_decoder.h"
#include "runtime/platform/core/handle_table.h"
#include "runtime/platform/files/file_functions.h"

struct MovieEntry;
class MovieRenderer;
// Installed by the graph layer; called with the movie and the value given with it.
typedef void (*MovieFrameCallback)(MovieEntry* movie, int userValue);

// Zero-filled when created; the check number first, as every handle record.
struct MovieEntry {
  int checkId;
  int playType;  // 1: play once
  int theora;    // 1 when the Theora decoder serves the movie
  TheoraDecoder* theoraDecoder;
  FileHandle file;  // opened for the Theora decoder
  int soundTrack;   // the Vorbis track's sound handle, -1 when none
  // The filter graph and its interfaces, and the renderer it holds.
  IGraphBuilder* graph;
  IMediaControl* control;
  IMediaSeeking* seeking;
  IBasicAudio* audio;
  MovieRenderer* renderer;
  int64_t duration;             // 100 ns units
  int temporaryCopy;            // 1 when the graph plays a copy of the file in a temporary file
  wchar_t fileName[260];        // the name given to the graph
  char temporaryFileName[260];  // the copy's name, to delete it
  int position;                 // movie time in milliseconds
  int64_t stopPosition;         // 100 ns units
  int width;
  int height;
  int playing;               // 1 while the movie counts as playing
  int stopped;               // 1 while stopped or paused
  int frameUpdated;          // set after the callback ran
  GraphImage frameImage;     // the filter graph's frame: 24-bit RGB in frameBuffer
  uint8_t* frameBuffer;      // tracked block the renderer's frames are taken into
  GraphImage* currentImage;  // what the callback reads: the decoder's RGB image or frameImage
  MovieFrameCallback callback;
  int userValue;
};

extern HandleTable MovieHandles;

// A new movie handle for the file, or -1; width and height get the frame size when given.
// `flag` has no effect. A full table gives -1 without a line.
int OpenMovie(const char* fileName, int* width, int* height, int flag);
// Builds the platform's filter graph for the file: 0, or -1 with the failure logged and
// everything released.
int OpenMovieWithDirectShow(MovieEntry* entry, const char* fileName, int* width, int* height);
// The filter graph's part of UpdateMovieFrame and of CloseMovie.
void UpdateDirectShowMovieFrame(MovieEntry* entry);
void CloseDirectShowMovie(MovieEntry* entry);
// Closes the decoder, the file and the sound track, and frees the handle. 0, or -1 for a bad
// handle.
int CloseMovie(int handle);
// The record of a live movie handle, or null.
MovieEntry* GetMovieEntry(int handle);
int SetMovieCallback(int handle, MovieFrameCallback callback, int userValue);
// Hands the movie's frame to its callback. 0, or -1 for a bad handle.
int UpdateMovieFrame(int handle);

// The YUV surfaces of the Theora movies are objects of the device: the graphics layer releases
// them all before it releases the device and makes them again on the new one.
void ReleaseAllMovieSurfaces();
void RecreateAllMovieSurfaces();

// The window's hooks: deactivation pauses the movies that play, activation resumes the paused
// ones still counted as playing, and every frame draws the movies that draw themselves. No
// call of this system starts a movie or makes one draw itself, so they find nothing to do.
int PauseAllMovies();
int ResumeAllMovies();
int DrawAutoMovies();
