// Shared between the files of the sound system; not for callers outside runtime/sound/.
#pragma once

// One pass of window message processing for a wait; non-zero when the application quits.
int ProcessMessagesForSoundWait();
// Ends the program through the start-up's fatal-error exit.
void SoundFatalError(const char* text);

// The service thread (more than one logical processor only). Starting leaves the thread
// handle null when the thread cannot be created; stopping waits until it has ended.
void StartSoundServiceThread();
void StopSoundServiceThread();
