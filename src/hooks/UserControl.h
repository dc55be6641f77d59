// The user-control hooks: how the steps below app reach the human users'
// control of real-time mode without including app. App installs both hooks
// at start-up (InstallEngineHooks in app/FrameSteps.h): Step is frame step 5
// on the match world (UDPUserControl), Apply gives a user's choice to his
// player (ApplyUserControlOfUser). Until then both are null, and a player no
// user controls (every player outside real-time mode) never reaches them.
#pragma once

#include "core/TypeDefs.h"

// Who calls ApplyUserControl, and for which side.
enum TUserControlMode : u8 {
  ucDecision = 0,      // decision step, side in possession
  ucFreeBall = 1,      // free-ball positioning, side in possession
  ucAttackSpeed = 2,   // desired speed, side in possession
  ucDefence = 3,       // positioning, defending side
  ucDefenceSpeed = 4,  // desired speed, defending side
  ucRuck = 5,          // ruck resolution, side in possession
};

struct TUserControlHooks {
  void (*Step)() = nullptr;
  void (*Apply)(TWorld& W, TPlayer& Player, u8 Mode, TTeamBlock& Block) = nullptr;
};
extern TUserControlHooks UserControlHooks;

// Gives the user's choice to Player, a player of Block, through
// UserControlHooks.Apply: his first action event, a dive, the charging of a
// kick, a switch of the user to another player, his desired position or his
// desired speed, as Mode says. Returns at once for a player no user controls
// (ControllingUser outside 1..4) and when no hook is installed. Inline: the
// steps ask it of every player every frame, and outside real-time mode it is
// always the early return.
inline void ApplyUserControl(TWorld& W, TPlayer& Player, u8 Mode, TTeamBlock& Block) {
  if (Player.ControllingUser < 1 || Player.ControllingUser > 4) return;
  if (UserControlHooks.Apply != nullptr) UserControlHooks.Apply(W, Player, Mode, Block);
}
