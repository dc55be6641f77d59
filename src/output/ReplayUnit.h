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

// The frames of the replay: the leading slots, from slot 1 on, whose
// block-1 player-1 track names a catalogue animation (unfilled slots hold 0);
// at most kFrameCapacity. The event list and the post-processing share it.
i32 RecordedFrameCount();

// After the match, once, before the statistics and the game file: logs
// "actual num messages" and MessageCountCopy; sets AnimFrameCount
// (RecordedFrameCount) and HalfTimeFrame (the first slot whose match clock
// is above halflength, else 300,001); converts every counted frame to whole
// units (positions 1 / PositionScale m, headings + 90 degrees, ball angles in
// degrees) in one fixed orientation, match team 1 attacking +z in the first
// half ("leaguechamps" frames take their half from the block flag); then
// builds the highlights and makes ExeDir the current directory.
void PrepareReplayFrames();

// Up to 50 highlight windows (HighlightCount, Highlights) from the messages
// of types 17, 18, 69, 91 and 92 (at most 1,000 candidates) and the counted
// frames: windows by type, the line-break, pressure-kick and clock-jump
// rules, one of each overlapping pair dropped, the first 50 kept. A message
// after the last frame is placed at the last frame; without frames there is
// no highlight.
void BuildHighlights();
