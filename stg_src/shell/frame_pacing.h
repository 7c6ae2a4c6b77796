// The frame loop's clock work: the frames-per-second readout and the wait that paces each frame
// to FrameWaitMs after the end of the previous paced frame. The only game code that reads a
// clock; nothing it sets is game state.
#pragma once

// Counts the frame and refreshes FpsValue once more than 1000 ms have passed.
void CountFramesPerSecond();
// Waits until FrameWaitMs have passed since LastFrameTime, sleeping while more than 2 ms are
// left and giving up the time slice for the rest, then makes the clock the new LastFrameTime.
// A late frame is not made up: the next wait starts from its end. The clock's 31 bits wrap to
// 0; the time passed is taken modulo 2^31, so a wrap between two frames is a short step, not a
// wait of 24.8 days.
void WaitForFrameDeadline();
