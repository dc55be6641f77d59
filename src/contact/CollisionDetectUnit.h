// Frame step 4: contact detection. Keeps every pair's contact timer and, in
// running play, the physical bumps of the ball carrier that are not tackles:
// he is kept off the goal posts, and he bounces off an opponent who is
// getting up or lies after a missed dive tackle (or, while he is in the air
// after a jump catch, off any opponent). Tackles are the running contact
// step's. Works only on the world it is given, so the look-ahead runs it on
// its copy.
#pragma once

#include "core/TypeDefs.h"

// Every frame, players 1..PlayersPerTeam of both blocks: ContactMark := 0,
// ForcedRunSpeed := speed, every ContactTimer falls by TimeStep. Then, only
// in running play with ContactCheckTimer <= 0 and a carrier on the field:
// - the carrier stays 0.5 m from each post centre (not moved when on one);
// - grounded, without a mark called and holding nobody, he meets an opponent
//   inside 0.15 x their summed heights (wider while he braces or stumbles;
//   judged a moment ahead within 1.15 x that), never at distance 0. Both
//   are knocked on along the collision's headings, the carrier drops his
//   pending pass, kick and step and decides again, and he stumbles for 10 s:
//   ActionCode 20 knocked ahead, 15 square, 12 otherwise. The pair is not
//   tested again from his side for 1.25 s;
// - in the air he meets any opponent, both knocked on for 0.25 s; the pair
//   is blocked for 0.45 s.
void CollisionDetect(TWorld& W);
