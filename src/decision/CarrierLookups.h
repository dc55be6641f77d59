// Look-ups and moves shared by the sections of the ball carrier's decision
// (pass, kick, break, dive, side-step): who the carrier is, the event in
// force, whether another action holds him, and the scripted run of an
// action under way.
#pragma once

#include "core/TypeDefs.h"

// A pass's release time: a draw of distribution D (both clamps on), kept in
// its value, which paces the passer's animation, and in T's PassTimeLeft.
void DrawReleaseTime(TTeamBlock& T, TDistribution& D);

// A block player number that takes part: 1..PlayersPerTeam.
inline bool OnField(const TWorld& W, i32 n) { return n >= 1 && n <= PlayerCount(W); }

// Events in use of a sequence, kept within the ten of the record.
inline int EventCount(const TActionSeq& S) { return S.NumEvents < 0 ? 0 : (S.NumEvents > 10 ? 10 : S.NumEvents); }

// The carrier of block 1 when he is a player of the field, else null.
inline TPlayer* CarrierOf(TWorld& W) {
  const i32 n = W.Teams[1].BallCarrier;
  return OnField(W, n) ? &W.Teams[1].Players[n] : nullptr;
}

// The event in force of a sequence, or null before it has started (index 0)
// or for an index beyond the ten of the record.
inline TActionEvent* CurrentEventOf(TActionSeq& S) {
  return Arr1<TActionEvent, 10>::InRange(S.CurrEventIndex) ? &S.EventArray[S.CurrEventIndex] : nullptr;
}
inline const TActionEvent* CurrentEventOf(const TActionSeq& S) {
  return Arr1<TActionEvent, 10>::InRange(S.CurrEventIndex) ? &S.EventArray[S.CurrEventIndex] : nullptr;
}
inline TActionEvent* CurrentEventOf(TPlayer& C) { return CurrentEventOf(C.ActionSeq); }

// No other action holds the carrier, so he may start a break, a side-step
// or (with no kick under way) a kick: no pass, catch (unless block 1's
// ActOnCatchAllowed is 1), dive, getting up, break, tackle, loose-ball
// catch, forced run or step under way, and no special action of kind 3.
bool FreeOfOtherActions(const TWorld& W, const TPlayer& C);

// One frame of an action under way: the carrier goes back to OldPos (the
// motion steps' movement is undone), faces Facing (degrees) and runs
// Speed (m/s) x TimeStep along Heading (degrees).
void RunFromOldPos(const TWorld& W, TPlayer& C, f32 Facing, f32 Heading, f32 Speed);

// Turns C.Heading towards C.FacingHeading (both degrees) when they differ by
// more than 1 degree: by Step degrees, or onto FacingHeading when Step is
// larger, in the sense whose turn by the gap lands on it (the nearer chord;
// decreasing when both are equal). Returns +1 for a rising heading, -1 for a
// falling one, 0 when the gap is 1 degree or less (nothing changes); Gap
// receives the gap (0..180).
int TurnHeadingToFacing(TPlayer& C, double Step, f32& Gap);
