// The match store of the after-match tests: a recording of a few frames of
// 0.04 s in running, match team 1 in block 1, every player in "run", match
// teams 10 and 20 with players 101.. and 201.. in their squads, no message;
// the world of the match with a 100 x 70 pitch, 15 players a side and halves
// of 2400 s. Slots beyond the recording are cleared up to kClearedSlots (the
// first animation track and the match clock whole, as the scans read them).
#pragma once

#include <algorithm>
#include <cstring>

#include "SmallWorld.h"
#include "core/MatchStore.h"
#include "core/TypeDefs.h"
#include "core/WorldDefaults.h"
#include "setup/AnimationCatalogue.h"

constexpr int kClearedSlots = 2000;

inline void ClearSlots(TMatchStore& S, int from, int to) {
  for (int n = from; n <= to; ++n) {
    S.FrameTimes[n] = 0;
    S.FrameGameState[n] = 0;
    S.FrameClock[n] = 0;
    S.FrameTeam1InFirstBlock[n] = 0;
    S.FrameBallHolder[n] = 0;
    S.FrameBallPos[n] = {};
    S.FrameBallAngles[n] = {};
    for (int b = 1; b <= 2; ++b) {
      for (int p = 1; p <= kTrackPlayers; ++p) {
        TPlayerTrack& t = S.PlayerTracks[b][p];
        t.Pos[n] = {};
        t.Heading[n] = 0;
        t.AnimIndex[n] = 0;
      }
    }
  }
}

// Frame n is stamped (n - 1) x 0.04 s on the recording clock and shows the
// match clock 100 s later.
inline f32 SlotTime(int n) { return ToF32((n - 1) * 0.04); }

inline void SetRecordedFrames(int frames) {
  TMatchStore& S = MatchStore;
  const u16 run = static_cast<u16>(AnimNameToIndex("run"));
  for (int n = 1; n <= frames; ++n) {
    S.FrameTimes[n] = SlotTime(n);
    S.FrameClock[n] = ToF32(100.0 + SlotTime(n));
    S.FrameGameState[n] = gsRunning;
    S.FrameTeam1InFirstBlock[n] = kTrue32;
    for (int b = 1; b <= 2; ++b)
      for (int p = 1; p <= kTrackPlayers; ++p) S.PlayerTracks[b][p].AnimIndex[n] = run;
  }
}

// The highest slot a ResetReplayStore has prepared since the last
// ClearReplayStore.
inline int ReplaySlotsPrepared = 0;

inline void ResetReplayStore(int frames) {
  BuildAnimationCatalogue();
  TMatchStore& S = MatchStore;
  ReplaySlotsPrepared = std::max({ReplaySlotsPrepared, kClearedSlots, frames + 2});
  auto& first = S.PlayerTracks[1][1].AnimIndex;
  std::fill(first.begin(), first.end(), u16{0});
  std::fill(S.FrameClock.begin(), S.FrameClock.end(), 0.0f);
  ClearSlots(S, 1, std::max(kClearedSlots, frames + 2));
  S.FrameCapacity = kFrameCapacity;
  S.ReplayQuantum = 10;
  S.MessageCount = 0;
  S.MessageCountCopy = 0;
  S.HighlightCount = 0;
  for (int t = 1; t <= 2; ++t) {
    S.MatchInfo.Team[t].teamid = 10 * t;
    for (int p = 1; p <= 25; ++p) S.MatchInfo.Team[t].Squad[p].playerid = 100 * t + p;
  }
  SetRecordedFrames(frames);
  PositionScale = 50.0f;
  SetSmallPitch(World);
  World.PlayersPerTeam = 15;
  World.halflength = 2400;
}

// Clears what ResetReplayStore and the tests left in the store, for the
// fixtures' TearDown. A run's start clears only the slots the store's own
// counters cover, so a recording left beyond them would be taken by the next
// run's finish as its own.
inline void ClearReplayStore() {
  TMatchStore& S = MatchStore;
  S.AnimFrameCount = std::max({S.AnimFrameCount, S.FrameCount, ReplaySlotsPrepared});
  ClearMatchStore();
  ReplaySlotsPrepared = 0;
}

inline void AddMessage(u8 type, i32 team, i32 player, f32 time, f32 extra = 0) {
  TMatchStore& S = MatchStore;
  S.MessageCountCopy += 1;
  S.Messages[S.MessageCountCopy] = TMatchMessage{team, player, time, type, extra};
}
