#include "contact/BreakdownRelease.h"

#include <cmath>

#include "contact/ContactHolds.h"
#include "core/Random.h"

namespace {

// A tackle kind held in a float that is one of the whole values Low..High.
bool IsKindIn(f32 kind, f32 Low, f32 High) { return kind >= Low && kind <= High && kind == std::trunc(kind); }

// Release delays of one block's bound players, in waves from the back of the
// pack (PackSlots 7 to 10 first).
void StaggerPackRelease(TTeamBlock& B) {
  TPlayerList slots{};
  for (int s = 1; s <= 10; ++s) slots[s] = static_cast<i16>(B.PackSpots.OccupantB[s]);
  const TDelayList delays = StaggeredRandomDelays(slots);
  for (int s = 1; s <= 10; ++s) B.PackSpots.ReleaseDelay[s] = delays[s];
}

// A player held in the breakdown leaves it: bound players of the pack after
// their slot's delay (RuckTimer2), unless their role is one of the two free.
void LeaveBreakdown(TTeamBlock& B, i32 i, f32 FreeRoleA, f32 FreeRoleB) {
  TPlayer& P = B.Players[i];
  if (!(P.RuckTimer > 0)) return;
  if (P.RuckRole != FreeRoleA && P.RuckRole != FreeRoleB) {
    for (int s = 1; s <= 10; ++s) {
      if (B.PackSpots.OccupantB[s] != i) continue;
      P.RuckTimer2 = B.PackSpots.ReleaseDelay[s];
      break;
    }
  }
  P.RuckTimer = 0;
}

}  // namespace

void EndRunningTackle(TWorld& W, int block, i32 i, f32 After, bool SetPosture) {
  TPlayer& P = W.Teams[block].Players[i];
  const bool tackled = P.GettingTackledTimer > 0 && !IsKindIn(P.GettingTackledKind, 3, 8);
  const bool tackling = P.TackleAttemptTimer > 0 && !IsKindIn(P.TackleAttemptKind, 3, 8);
  if (!tackled && !tackling) return;
  P.OldTackleTimer = After;
  if (P.GettingTackledTimer > 0) {
    P.OldTackleFacing = SetPosture ? P.GettingTackledFacing : P.GettingTackledAngle;
    if (SetPosture) P.GroundPosture = P.GettingTackledKind == 2.0f ? 2 : 1;
  }
  if (P.TackleAttemptTimer > 0) {
    P.OldTackleFacing = P.TackleAttemptFacing;
    if (SetPosture) P.GroundPosture = P.TackleAttemptKind == 2.0f ? 2 : 1;
  }
  LetGoOfTackle(W, block, i);
}

void ReleaseBoundPlayers(TWorld& W, f32 FreeRoleA, f32 FreeRoleB) {
  TTeamBlock& A = W.Teams[1];
  TTeamBlock& D = W.Teams[2];
  StaggerPackRelease(A);
  StaggerPackRelease(D);
  for (int i = 1; i <= PlayerCount(W); ++i) {
    LeaveBreakdown(A, i, FreeRoleA, FreeRoleB);
    LeaveBreakdown(D, i, FreeRoleA, FreeRoleB);
  }
}
