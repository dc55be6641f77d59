// Human users' control in real-time mode: frame step 5 decides which player
// each user steers and turns his sticks into pitch-frame headings; the steps
// that steer players then hand a user's player to ApplyUserControl, which
// overwrites the engine's choice for him. Outside real-time mode no player
// carries a user and ApplyUserControl changes nothing.
#pragma once

#include "core/TypeDefs.h"

// Marks the player each present user controls (ControllingUser) and works
// out the users' stick lengths and headings.
void UDPUserControl(TWorld& W);
// The frame step, on the match world.
void UDPUserControl();

// Who calls ApplyUserControl, and for which side.
enum TUserControlMode : u8 {
  ucDecision = 0,      // decision step, side in possession
  ucFreeBall = 1,      // free-ball positioning, side in possession
  ucAttackSpeed = 2,   // desired speed, side in possession
  ucDefence = 3,       // positioning, defending side
  ucDefenceSpeed = 4,  // desired speed, defending side
  ucRuck = 5,          // ruck resolution, side in possession
};

// Gives the user's choice to Player, a player of Block: his first action
// event, a dive, the charging of a kick, a switch of the user to another
// player, his desired position or his desired speed, as Mode says. A user
// kick also writes Block's KickSpeed and KickHeading. Returns at once for a
// player no user controls.
void ApplyUserControlOfUser(TWorld& W, TPlayer& Player, u8 Mode, TTeamBlock& Block);
// Inline: the steps ask it of every player every frame, and outside
// real-time mode it is always the early return.
inline void ApplyUserControl(TWorld& W, TPlayer& Player, u8 Mode, TTeamBlock& Block) {
  if (Player.ControllingUser < 1 || Player.ControllingUser > 4) return;
  ApplyUserControlOfUser(W, Player, Mode, Block);
}
