// One stored set move: a small play for the side in possession, given to up
// to 25 roles as scripted action sequences, with the limits of the look-ahead
// that judges it. The books (setup/MoveBooks.h) hold two tables of these.
#pragma once

#include "core/Arrays.h"
#include "core/TypeDefs.h"

constexpr int kMoveRoles = 25;

struct TMove {
  // Set by the samplers before a table move is simulated: the look-ahead
  // applies the move to its copy first. The builder leaves it false.
  bool32 ApplyFirst;
  f32 SimTimeStep;  // s, the look-ahead's time step; 0.04 in a filled move, 0 in an unfilled one
  // s: the look-ahead stops once it has spent this long in running with the
  // ball ahead of its starting z; from gottackled the world's RestartDelay is added.
  f32 SimDuration;
  bool32 StopOnGain;  // from running: stop once the ball is GainLimit ahead
  f32 GainLimit;      // m
  // m: the gain a sample of this move must beat; written by the open-move
  // finder, compared by the ruck sampler. 0 unless set.
  f32 MinGain;
  bool32 StopOnTackle;     // stop when the carrier is being tackled
  bool32 StopOnFreeBall;   // from running: stop when the ball goes loose
  bool32 StopOnForcedRun;  // from running: stop while the carrier is forced to run
  // Ruck moves: the play kind 1 to 7 the ruck sampler passes to the
  // look-ahead (3 also stops it at a touch line). -1 in open-play and
  // unfilled moves.
  i16 PlayKind;
  // The role taken by the ball carrier (open play) or the set-piece holder
  // at the tackle (ruck).
  i16 CarrierSlot;
  bool32 PickBySupport;  // open play: roles go to team-mates in the support area only
  bool32 PickInOrder;    // open play, with PickBySupport: the line is the carrier, then flagged team-mates in index order
  // Per role, the shirt number (1 to 15) wanted for it; 0 = no role, the
  // first 0 ends the list. Open-play moves hold 1 in each used role.
  Arr1<i16, kMoveRoles> Shirts;
  // Per role, the sequence its player receives. In a ruck move an event's
  // EventSubType (pass receiver) and RelPlayer name shirt numbers that the
  // move application renumbers when a cover player stands in.
  Arr1<TActionSeq, kMoveRoles> Seqs;
};

static_assert(std::is_trivially_copyable_v<TMove>);

// The roles a move uses: those before the first 0 in Shirts.
inline int UsedRoles(const TMove& m) {
  int n = 0;
  while (n < kMoveRoles && m.Shirts[n + 1] != 0) ++n;
  return n;
}
