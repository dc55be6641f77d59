// Goal kicks and the posts: a penalty goal, conversion or drop goal that
// passes between the posts scores, a conversion that fails ends in a
// kick-off, and a ball striking a post or the crossbar rebounds. The ball is
// judged at the start of its present flight step, P = FlightPos[BallPhase],
// against the one before, Q = FlightPos[BallPhase - 1]; the goal is the one
// block 1 attacks, at TryLineZ. Works on the world it is given (the match or
// the look-ahead copy); the crossing test between the posts reads the match
// World's GoalPostGap and CrossbarHeight, the same in the copy.
#pragma once

#include "core/TypeDefs.h"

// The last stage of the free-ball contact step, whatever the state has
// become in the stages before:
// 1. A goal kick (KickType 8, 9 or 10), neither played since the kick nor
//    touched in touch, scores once P lies beyond the plane 0.01 m past the
//    goal line, moving away from it (P.z > Q.z), within 3 m of the plane,
//    within 3 m outside a post, above 3 m under the bar, and its step crosses
//    the plane between the posts over the bar: block 1 gains 3 (penalty goal,
//    drop goal) or 2 (conversion), NoAdvantageFlag is set, msgPenGoal,
//    msgDropGoal or msgConversion is posted for block 1's kicker (id 0 with
//    no kicker), and play stops for a kick-off to the opponents (restart
//    kind 1) after a pause of 1.0 to 1.49 s, the ball loose.
// 2. A conversion that has not scored ends, with the same kick-off and no
//    points or message, once the state is no longer "freeball", or once P is
//    beyond a touch line, more than 1 m past the goal line, at or past the
//    flight's landing step, or under 0.5 m and not climbing.
// 3. Unless PostHitTimer runs: P within 0.75 m of either goal line and under
//    PostHeight strikes a post when within PostRadius + BallRadius of its
//    centre (across the ground), else, between the posts, the crossbar when
//    within that distance of it (height and z). The strike posts msgPostHit
//    (the flight speed) for block 1's kicker, runs PostHitTimer 0.5 s and
//    relaunches the ball from where it is at half its speed, its horizontal
//    direction reversed.
// Stages 1 and 2 draw only the pause, stage 3 nothing.
void SettleGoalKicks(TWorld& W);
