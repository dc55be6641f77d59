// The match store beside the world: the match settings, the message list
// that the statistics step fills, and the replay that the recorder fills
// frame by frame, as arrays by recorded quantity. Nothing in it is copied by
// the look-ahead. It is one zero-initialised static record of about 210 MB
// and is never allocated during a match.
#pragma once

#include "core/MatchInfo.h"
#include "core/TypeDefs.h"

// Entries of the message list. The statistics timers alone post about 2.8
// messages a second of play and a match about 4.3 in all, so the longest
// match the 6,600 s limit lets finish posts some 29,000; the list holds that
// with a third to spare.
constexpr int kMessageCapacity = 40000;
constexpr int kFrameCapacity = 300000;    // replay frame slots
constexpr int kTrackPlayers = 15;         // recorded player slots per block
constexpr int kHighlightCapacity = 50;

// Three 16-bit signed values of a recorded vector: x, y, z (positions) or
// spin, yaw, pitch (ball angles).
struct TI16Vec3 {
  i16 x, y, z;
};

// One player slot of a block, frame slot by frame slot. As recorded, values
// carry the factor ReplayQuantum (10); the post-processing turns them into
// whole units in place.
struct TPlayerTrack {
  Arr1<TI16Vec3, kFrameCapacity> Pos;    // position x PositionScale (2 mm units)
  Arr1<i16, kFrameCapacity> Heading;     // degrees
  Arr1<u16, kFrameCapacity> AnimIndex;   // catalogue index of currentAnim; 0 = slot never filled
  Arr1<i32, kFrameCapacity> AnimFrame;   // currentframe
  Arr1<bool32, kFrameCapacity> AnimLoop;
  Arr1<bool32, kFrameCapacity> Fatigued;
};

// A replay window around a message that makes a highlight.
struct THighlight {
  u32 StartFrame;   // first frame slot
  u32 EndFrame;     // last frame slot
  u32 MessageType;  // the TMessageType of the message
};

struct TMatchStore {
  // The match and team settings read from "players.csv".
  TMatchInfo MatchInfo;

  // Replay recorder control.
  i32 FrameCapacity;     // 300,000, set at every recorder call
  i32 FrameCount;        // the current frame slot; starts at 1
  bool32 RecordPending;  // slot FrameCount is filled at the next recorder call
  f32 FrameInterval;     // s, 0.0164: the clock must pass the slot's time by this before a new slot opens
  f32 RecordClock;       // s, the recording clock; stamped on every message and frame slot
  u8 ReplayQuantum;      // 10, the factor of the integer arrays, set at every recorder call

  // Message list, in posting order.
  i32 MessageCount;      // entries stored
  i32 MessageCapacity;   // kMessageCapacity
  i32 MessageCountCopy;  // MessageCount after the last flush; the readers after the match use it
  bool32 MessageListOverflowed;  // a message has overwritten the last entry; the run log says so once
  Arr1<TMatchMessage, kMessageCapacity> Messages;

  // Per-frame replay arrays, slot n = 1 .. kFrameCapacity.
  Arr1<f32, kFrameCapacity> FrameTimes;       // RecordClock when the slot was filled, s
  Arr1<u8, kFrameCapacity> FrameGameState;    // gamestate
  Arr1<f32, kFrameCapacity> FrameClock;       // match clock, s
  Arr1<i16, kFrameCapacity> FrameScore1;      // score of the team in block 1
  Arr1<i16, kFrameCapacity> FrameScore2;      // score of the team in block 2
  Arr1<bool32, kFrameCapacity> FrameTeam1InFirstBlock;
  Arr1<TVector2, kFrameCapacity> FramePointOfInterest;  // x, z times PositionScale
  Arr1<bool32, kFrameCapacity> FrameBallAttached;
  Arr1<i16, kFrameCapacity> FrameBallHolder;  // LastKnownHasBall
  Arr1<TI16Vec3, kFrameCapacity> FrameBallPos;     // ball position x PositionScale x ReplayQuantum
  Arr1<TI16Vec3, kFrameCapacity> FrameBallAngles;  // BallSpin, BallYaw, BallPitch (rad) x ReplayQuantum

  // Tracks by block (1, 2), not by match team, and player slot 1..15.
  Arr1<Arr1<TPlayerTrack, kTrackPlayers>, 2> PlayerTracks;

  // Written by the replay post-processing.
  i32 AnimFrameCount;  // frames of the replay
  i16 HighlightCount;  // 0 .. 50
  Arr1<THighlight, kHighlightCapacity> Highlights;
};

extern TMatchStore MatchStore;

// Makes the store as a fresh process finds it (all zero), so that a match
// started after another in the same process reads nothing of the earlier
// one: the replay post-processing counts and converts slots by their
// contents, not by the frame count. Only the frame slots an earlier match
// can have written (up to its FrameCount or AnimFrameCount) are cleared, so
// the first match of a process touches none of the store's pages.
void ClearMatchStore();

// The entries 1 .. this of the message list that the readers after the
// match go through: MessageCountCopy kept within 0 .. kMessageCapacity.
inline int ReadableMessageCount(const TMatchStore& S) {
  if (S.MessageCountCopy < 0) return 0;
  return S.MessageCountCopy < kMessageCapacity ? S.MessageCountCopy : kMessageCapacity;
}

// The first frame slot of the second half, written by the replay
// post-processing and read by the game file.
extern i32 HalfTimeFrame;
