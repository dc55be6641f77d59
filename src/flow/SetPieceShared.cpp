#include "flow/SetPieceShared.h"

#include "core/Random.h"

void ClearSetPieceTimers(TWorld& W) {
  for (int side = 1; side <= 2; ++side) {
    TTeamBlock& T = W.Teams[side];
    T.PassTimeLeft = 0;
    T.KickTimeLeft = 0;
    for (int p = 1; p <= PlayerCount(W); ++p) {
      TPlayer& P = T.Players[p];
      P.passtimer = P.passcatchtimer = P.shimmytimer = P.KickTimer = P.RuckTimer = 0;
      P.GettingTackledTimer = P.TackleAttemptTimer = P.standuptimer = P.RuckTimer2 = 0;
      P.StepTimer = P.BreakTackleTimer = P.OldTackleTimer = P.LineOutTimer = 0;
      P.freeballcatchtimer = P.ForcedRunTimer = 0;
    }
  }
}

void DrawRestStyles(TWorld& W, bool FixedDefendingHolder) {
  for (int side = 1; side <= 2; ++side) {
    TTeamBlock& T = W.Teams[side];
    for (int p = 1; p <= PlayerCount(W); ++p) {
      TPlayer& P = T.Players[p];
      P.RestStyle = RandomRange(1, 1001) < 500 ? 0 : 1;
      if (RandomRange(1, 1001) < 300) P.RestStyle = side == 1 ? 4 : 2;
      if (p == T.SetPieceHolder) {
        if (side == 2 && FixedDefendingHolder) P.RestStyle = 3;
        else if (RandomRange(1, 1001) < 700) P.RestStyle = 4;
      }
      if (p == 15) P.RestStyle = 4;
    }
  }
}

void AlignByRoleCode(const TWorld& W, const TTeamBlock& A, TPlayer& P, f32 SlotZ) {
  switch (P.RoleCode) {
    case -1:
    case -2: {
      const i32 r = P.AlignRefPlayer;
      if (r < 1 || r > PlayerCount(W)) break;
      const TPlayer& R = A.Players[r];
      P.AlignPoint.x = P.DesiredPos.x;
      P.AlignPoint.z = static_cast<f32>(R.Pos.z - (P.RoleCode == -1 ? 0.5 : 0.0));
      P.DesiredPos.z = P.AlignPoint.z;
      break;
    }
    case -3: P.DesiredPos.z = P.AlignPoint.z; break;
    case 3:
    case 6:
    case 7: P.DesiredPos.z = static_cast<f32>(static_cast<double>(SlotZ) - P.AlignDepth); break;
    default: break;
  }
}
