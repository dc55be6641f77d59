// The tackle contest on the ball carrier, the central stages of the running
// contact step: how many defenders may commit to block 1's carrier, when a
// defender launches a tackle attempt, what happens when it reaches him (he
// breaks the tackle or is held: messages, ball security, the pass in his
// hands, the combined momentum, the offload and join windows, the support
// runners and the contact points), and the entry into "gottackled" once the
// tackle is complete. Each stage works on the world it is given, the match
// or the look-ahead copy; the copy differs only where LiveWorld is tested.
// A carrier number outside 1..PlayerCount(W) counts as no carrier: the stages
// then change nothing but BallJolted.
#pragma once

#include "core/TypeDefs.h"

// Block 1's carrier number, or 0 when it names no player taking part.
int RunningCarrier(const TWorld& W);

// Bookkeeping at the start of the step: BallJolted cleared, a finished tap
// kick ended (SpecialAnimTimer and MarkCalled cleared), TacklersWanted from
// the carrier's drawn TacklerCountValue rounded half to even (while he is
// held only when below 1), CarrierGrounded raised unless he is in a catch,
// and during the join window free defenders within 1.05 m (or a carrier at
// or heading over the goal line) raising TacklersWanted up to 3.
void StartTackleContest(TWorld& W);

// Defenders 1..N in order launch tackle attempts while the carrier is on the
// ground, no mark is called and fewer or more defenders target him than
// wanted: a free defender within 1.5 x his reach whose simulated chase
// catches the carrier within 0.2 s, unless a team-mate of the carrier stands
// between them. Writes the attempt (TackleAttemptTimer 10 s, kind 1, speed,
// heading), CarrierBrace, the defender's fatigue timer, and an offside
// tackler's infringement. Draws nothing.
void LaunchTackleAttempts(TWorld& W);

// Defenders targeting the carrier who reach him: message 59, then for the
// first to reach a carrier on his feet the break roll (R, one draw), and
// either the break (messages 16, 15, 97; the miss with its duration draw) or
// the bind, with these draws in order: ball security (match world: one, and
// one more for a ball lost by the more secure carrier); for the first
// tackler the offload roll, the offload window when it opens, the join
// window, and for each support runner found the run-time roll and the
// distance draw of his third event. CommitUpTeamSupport and
// CommitDownTeamSupport draw in between when no pass is running.
void ContestCarrierContacts(TWorld& W);

// The tackle completes when the carrier is on the ground, no mark is called,
// no offload window is open, as many defenders hold him as are wanted, no
// pass runs (or the join window is over) and OffloadBlockTimer has run out:
// "gottackled" with its messages (14 and 105 for the tacklers; 0, 43 and 44
// for the carrier), the phase counters and the clearing of the tackle
// fields. Draws TackleReleaseTimer, then two numbers per player index
// 1..N (block 1's player before block 2's) for TackleOffset.
void EnterGotTackled(TWorld& W);
