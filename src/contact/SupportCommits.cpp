#include "contact/SupportCommits.h"

#include "core/Geometry.h"
#include "core/PlayerLists.h"
#include "core/Random.h"
#include "core/StrategyShapes.h"

namespace {

constexpr i32 kEndOnCatch = 3;         // end condition: receiving or catching
constexpr int kMaxCommitted = 4;
constexpr f32 kCommitDistance = 2.0f;  // m from the carrier
constexpr f32 kCommitDeadline = 2.0f;  // s

// Whether P is free to join the tackled carrier: none of his breakdown,
// tackle, stand-up, catch, shimmy or pass timers runs.
bool Free(const TPlayer& P) {
  return !(P.RuckTimer > 0 || P.RuckTimer2 > 0 || P.TackleAttemptTimer > 0 || P.OldTackleTimer > 0 ||
           P.standuptimer > 0 || P.passcatchtimer > 0 || P.freeballcatchtimer > 0 || P.shimmytimer > 0 ||
           P.passtimer > 0);
}

// Commits up to four free players of block Block to a run round block 1's
// carrier at a heading drawn from AngleLo up to (not including) AngleHi.
void CommitSupport(TWorld& W, int Block, i32 AngleLo, i32 AngleHi) {
  const TTeamBlock& A = W.Teams[1];
  const TPlayer* C = PlayerAt(A, A.BallCarrier);
  if (C == nullptr) return;
  TTeamBlock& T = W.Teams[Block];
  TPlayerList list = kEmptyPlayerList;
  Arr1<f32, 25> keys{};
  int n = 0;
  for (int p = 1; p <= PlayerCount(W); ++p) {
    if (Block == 1 && p == A.BallCarrier) continue;
    const TPlayer& P = T.Players[p];
    if (!Free(P)) continue;
    list[++n] = static_cast<i16>(p);
    keys[n] = Distance2D(P.Pos.x, P.Pos.z, C->Pos.x, C->Pos.z);
  }
  if (n == 0) return;
  if (n >= 2) list = SortPlayersByKey(list, keys);

  Arr1<i16, kMaxCommitted> committed{};
  int m = 0;
  for (int k = 1; k <= n && m < kMaxCommitted; ++k) {
    const i32 roll = RandomRange(1, 1001);
    if (k == 1 || roll < T.Players[list[k]].SupportCommitProb) committed[++m] = list[k];
  }
  for (int k = 1; k <= m; ++k) {
    TActionSeq& S = T.Players[committed[k]].ActionSeq;
    S = StrategyParams.ActionSeqTemplate;
    S.seqON = kTrue32;
    TActionEvent& E = S.EventArray[1];
    E.EndCondition = kEndOnCatch;
    E.RelMovementOn = kTrue32;
    E.RelOwnTeam = kTrue32;
    E.RelPlayer = A.BallCarrier;
    E.RelDistance = kCommitDistance;
    E.RelHeading = static_cast<f32>(RandomRange(AngleLo, AngleHi));
    E.Intercept = kTrue32;
    E.Deadline = kCommitDeadline;
  }
}

}  // namespace

void CommitUpTeamSupport(TWorld& W) { CommitSupport(W, 1, 240, 301); }

void CommitDownTeamSupport(TWorld& W) { CommitSupport(W, 2, 60, 121); }
