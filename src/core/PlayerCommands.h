// Commands to players from the viewer-window channel: a run, pass, kick or
// special action ordered from outside the engine, turned into the first
// event of a player's action sequence. Only the viewer-window mode fills the
// command slots and the summary's game state that steers them.
#pragma once

#include "core/TypeDefs.h"

struct TPlayerCommand {
  i32 Occupied;     // 0 = empty slot
  bool32 Consumed;  // taken by the engine
  bool32 SideFlag;  // for match team 1
  u8 Kind;          // 0 move, 1 and 2 pass, 3, 4, 5 actions, 6 kick
  f32 Angle;        // degrees
  f32 SpeedFraction;
  f32 KickHeading;  // degrees
  f32 KickPower;    // fraction of the player's MaxKickSpeed
};

constexpr int kCommandSlotCount = 4;
extern Arr1<TPlayerCommand, kCommandSlotCount> CommandSlots;

// The set-up's start values of the channel: every slot empty and consumed,
// the summary's three status words 0.
void ResetViewerCommandChannel();

// Starts Command on player Player of Teams[1] as the summary's game state
// (running or passing) allows. An index outside the block is ignored.
void ApplyCommandToPlayer(TWorld& W, const TPlayerCommand& Command, i32 Player);
