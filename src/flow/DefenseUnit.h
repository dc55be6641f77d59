// The placement of the defending side (block 2) in running, passing and
// gottackled, called once a frame by the handlers of those states after they
// have placed the side in possession. It never writes block 1's desired
// positions. One call runs its stages in order:
// - organisation: the reference attacker (`BlockChaseTarget`), the side the
//   attack is expected to go, the re-planning clocks (`DefenceCycleTimer`,
//   `DefenceSubTimers` 1..3 = line, matchups, pressure), the breakdown rest
//   styles, the fullback (`DeepPlayerNumber`) and his cover, the line
//   (`FreeDefendersList`) and its edge defenders, the attackers to mark
//   (`AttackBacksList`), the spare defenders out of the line (`DefExtras`,
//   `SelectedPlayer`), the slot line, the window and the matchups
//   (`DefSlotAttacker`, `DefSlotDefender`);
// - pressure and chase: the chase clocks of both blocks and, every 0.2 s in
//   running and passing, the pressure defenders (`ChaserSlots`), the fullback,
//   spare and edge defenders joining the chase, and each chaser's
//   `chasertimer` and `ChaseTarget`; also `DefHeadingForTouch` and
//   `RunLineTouchZ`;
// - positions: every defender's `DesiredPos`, in an order in which later
//   rules overwrite earlier ones: the line across from the anchor slot
//   (`DefAnchorSlot`) and re-spaced at a touchline, its depth from the side's
//   depth profile, the fullback, the line ends, the extras, the sweeper, the
//   chasers, offside players, the called mark, the markers of ruck runners
//   (`RuckMarking`, `RuckMarkedRunner`); then the three clocks are reloaded
//   (0.45, 0.5 and 0.2 s);
// and last every defender's `ClosingOnCarrier`, `ClosingEngaged` and
// `AdvantageContactFlag` (read by the look-ahead and the advantage), which
// the side in possession never has.
// The look-ahead runs it on its copy: it allocates nothing, and its one run-log
// line (a missing reference attacker in gottackled) is written in the match
// world and on the copy alike. The stages live in DefenseUnit.cpp
// (organisation and the step), DefensePressure.cpp and DefensePositions.cpp;
// DefenseShared.h holds what they share.
#pragma once

#include "core/TypeDefs.h"

void Defense(TWorld& W);

// The stages, in the order `Defense` runs them.
void OrganiseDefence(TWorld& W);
void ChooseDefencePressure(TWorld& W);
void PlaceDefenders(TWorld& W);
