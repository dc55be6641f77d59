// The replay and match file "game" + FileSuffix + ".txt": the last output of
// a run, for the viewer and the web site. Sections in file order, each a
// marker line, its data lines and the marker + " ends": random seeds,
// general match info, team data, custom jerseys and flags (when present),
// field strategies, squads, team and player statistics, the web-submission
// lines, the frames, the messages, the highlights (when there are any), the
// academy report (academy matches only), then the counts of frame and
// message lines. It reads the match store after the replay post-processing
// (whole units, one orientation of the pitch, the highlights) and the match
// summary after the statistics pages.
#pragma once

#include "core/MatchStore.h"
#include "output/OutputLines.h"

// The frame slots that the frame data writes, in order: slot 1 first, then
// each slot whose time is at least 0.04 s after the last written one, until
// the last written one is within 0.04 s of slot AnimFrameCount: at most one
// line per 0.04 s. Times are compared in double on the stored 32-bit times
// with a margin of 1 ms, so a frame one 0.04 s step after the last written
// one is written even where the 32-bit recording clock lands a rounding step
// short of it.
class TFrameWalk {
 public:
  explicit TFrameWalk(const TMatchStore& S);
  // The next slot to write; 0 once the walk has ended.
  int Next();

 private:
  const TMatchStore& store_;
  int count_;    // AnimFrameCount, kept within 0 .. kFrameCapacity
  int slot_;     // the last slot looked at
  double last_;  // s, the time of the last written slot
  bool ended_;
};

// Whether the message data writes messages of this type (34 types).
bool IsGameFileMessage(u8 Type);

// Writes every section and the two count lines, drawing from the random
// generator in file order: ten seeds, then A and B of each strategy line,
// each player line and each submission line.
void WriteGameFileSections(TOutputFile& File);
