// The filters the graph adds on its own (port-internal): the file source of RenderFile, the
// FFmpeg decoder that turns a byte stream into RGB24 frames and PCM, the audio renderer on the
// port's mixer, and the null renderer of CLSID_NullRenderer.
#pragma once

#include "port/dshow/base_filters.h"

// A source of a file's bytes; null when the file cannot be opened.
PortFilter* MakeFileSource(LPCWSTR fileName);

// Takes a byte stream (MEDIATYPE_Stream) on its input pin and, once connected, has an output
// pin for the first video stream (RGB24, bottom-up) and one for the first audio stream (16-bit
// PCM, at most two channels), in that order.
class DecoderFilter;
PortFilter* MakeDecoderFilter();
DecoderFilter* AsDecoder(IBaseFilter* filter);
// Length in 100 ns units (0 when not known), and the stop position, which ends the stream.
REFERENCE_TIME DecoderDuration(DecoderFilter* decoder);
void SetDecoderStop(DecoderFilter* decoder, REFERENCE_TIME stop);
// The end time of the last sample handed on.
REFERENCE_TIME DecoderPosition(DecoderFilter* decoder);

// Plays PCM through the port's mixer; answers for IBasicAudio.
PortFilter* MakeAudioRenderer();
bool IsAudioRenderer(IBaseFilter* filter);

HRESULT CreateNullRendererObject(REFIID iid, void** object);
