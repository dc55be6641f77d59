// Human users' control in real-time mode: frame step 5 decides which player
// each user steers and turns his sticks into pitch-frame headings; the steps
// that steer players then hand a user's player to ApplyUserControl
// (hooks/UserControl.h), which overwrites the engine's choice for him through
// ApplyUserControlOfUser, the hook app installs. Outside real-time mode no
// player carries a user and ApplyUserControl changes nothing.
#pragma once

#include "core/TypeDefs.h"
#include "hooks/UserControl.h"

// Marks the player each present user controls (ControllingUser) and works
// out the users' stick lengths and headings.
void UDPUserControl(TWorld& W);
// The frame step, on the match world.
void UDPUserControl();

// Gives the user's choice to Player, a player of Block: his first action
// event, a dive, the charging of a kick, a switch of the user to another
// player, his desired position or his desired speed, as Mode says. A user
// kick also writes Block's KickSpeed and KickHeading. Returns at once for a
// player no user controls. Installed as UserControlHooks.Apply.
void ApplyUserControlOfUser(TWorld& W, TPlayer& Player, u8 Mode, TTeamBlock& Block);
