// The replay recorder and its post-processing. The frame driver calls
// RecordReplayFrame after the frame steps of every frame of the real match
// while the world's RecordingOn flag is set; never on the look-ahead copy.
#pragma once

#include "core/TypeDefs.h"

// Stores the frame into the match store's replay slot FrameCount when one is
// pending: the recording clock, game state, match clock, scores, point of
// interest (scaled by PositionScale), the ball and the tracks of players
// 1..PlayersPerTeam (at most 15) of both blocks, as whole numbers of tenths
// (ReplayQuantum); a rounded value beyond the 16-bit range is held at its
// edge. In free ball the ball is taken from its flight path and the point of
// interest follows it, at most 2 m beyond touch and 10 m beyond the try
// line. With AdvanceClock the recording clock then moves on by TimeStep;
// once it passes the slot's time by more than FrameInterval the next slot
// opens. Beyond FrameCapacity slots nothing more is stored, while the count
// and the clock run on. Allocates nothing.
void RecordReplayFrame(TWorld& W, bool AdvanceClock);

void PrepareReplayFrames();
