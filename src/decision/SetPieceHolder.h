// The ball holder at a scrum, a lineout and a kick restart: the decision
// step's controls for those states. Each moves the player with the ball
// (block 1's BallCarrier) to the spot the positioning step gives him and
// turns him; at a scrum the scrum-half may pass to the line, at a kick
// restart the kick's kind and launch are chosen once.
//
// Everything is read and written through the world given, except the two
// match teams' field strategies (read) and FindKick's pitch constants. A
// carrier, holder, kicker or line player outside 1..PlayersPerTeam reads no
// record. Nothing allocates or logs.
#pragma once

#include "core/TypeDefs.h"

// Decision step in scrum: first every block-1 player goes to the user
// control (a user's new event, kick or dive stays); then, when the
// SetPieceHolder runs a sequence, the carrier decision runs for the frame;
// otherwise, while block 1's DecisionsOn is set, ScrumBallCarrier.
void ScrumStrategy(TWorld& W);

// From ScrumPhase 2 the carrier moves at 5 m/s, facing his run, or
// SpecialAnimAngle in ScrumPhase 7, or up-field (90) while his pass is wound
// up. From ScrumPhase 10, unless the holder has committed (HalfTimeAux), the
// base pass: the nearest line player on each side who stands within 0.95 m
// of his spot is a candidate; once the holder is within 0.2 m of his own
// spot with his hands free, he passes left with probability
// |RuckOriginX + PitchWidth/2| / PitchWidth (at least 0.01) when both sides
// have one, else to the one there is. Draws: the side (only with two
// candidates), the run speed, the run angle, the release time.
void ScrumBallCarrier(TWorld& W);

// Decision step in lineout: from LineoutPhase 2 the carrier moves at
// 5 m/s, facing his run or, while his LineOutTimer runs and he is within
// 0.4 m of his spot, LineoutFacing.
void LineoutStrategy(TWorld& W);

// Decision step in kickrestartset: KickRestartBallCarrier while block 1's
// DecisionsOn is set.
void KickRestartStrategy(TWorld& W);

// From KickRestartSetPhase 2 the carrier moves at his ChaseSpeed, facing
// his run; KickFacing while his KickTimer runs; from phase 3, within 0.2 m
// of his spot, the RestartAimPoint. In phase 4, for a restart type other
// than 7 whose kick is not chosen yet (KickChosen), the kicker's kick is
// searched for once: ranges by restart type (types 1, 2 and 4 by an option
// drawn from the field strategy's kick-off or drop-out weights of zone 1,
// after copying the side's normal or catch-up half into FieldHalf), 25
// tries of FindKick, the launch into KickSpeed, KickElevation and
// KickHeading.
void KickRestartBallCarrier(TWorld& W);
