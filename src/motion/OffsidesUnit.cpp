#include "motion/OffsidesUnit.h"

#include <algorithm>
#include <bit>
#include <cstdint>

#include "core/Random.h"

namespace {

constexpr double kMargin = 0.75;       // m in front of the line before a mark
constexpr f32 kMarked = 10.0f;         // OffsideMark of a marked player
constexpr double kMarkedLine = 10.0;   // m beyond the ball: block 2's line after a called mark
constexpr double kScrumOffset = 5.0;   // m behind each side's scrum line
constexpr double kLineoutOffset = 10.0;  // m either side of the line of touch
constexpr double kFreeBallClear = 0.5;   // m behind the release point: back onside
constexpr double kFreeBallLine = 10.25;  // m behind the ball
constexpr i32 kBoundRole = 2;          // RuckRole from which a player is bound in

// +1 for block 1 (offside at a larger z), -1 for block 2.
double Sense(int b) { return b == 1 ? 1.0 : -1.0; }

// A new mark against Line, with the roll that decides whether he stays.
void Mark(TPlayer& P, int b, double Line) {
  if (P.OffsideMark > 0 || !(Sense(b) * (static_cast<double>(P.Pos.z) - Line) > kMargin)) return;
  P.OffsideMark = kMarked;
  P.OffsideLineZ = static_cast<f32>(Line);
  const i32 r = RandomRange(1, 1001);
  P.OffsideStays = r > P.DisciplineProb ? kTrue32 : kFalse32;
}

// Back within the margin of the line he was marked against.
void Clear(TPlayer& P, int b) {
  if (P.OffsideMark > 0 && Sense(b) * (static_cast<double>(P.Pos.z) - P.OffsideLineZ) < kMargin) P.OffsideMark = 0;
}

// Block 1's Mark and then Clear against Line, which OffsideLineZ already
// holds (a float's value, so both read one gap). An unmarked player's gap is
// compared in Mark, a marked one's in Clear, and a newly marked one's in
// both; so comparing it both ways here raises the flags they raise. The
// clear is a select: whether a marked attacker is back within the margin is
// close to a coin toss for the branch predictor.
void MarkAndClearAttacker(TPlayer& P, double Line) {
  const double gap = static_cast<double>(P.Pos.z) - Line;  // Sense(1) is 1
  const bool marked = P.OffsideMark > 0;
  const bool beyond = gap > kMargin;
  const bool within = gap < kMargin;
  if (!marked && beyond) {
    Mark(P, 1, Line);
    return;
  }
  const uint32_t keep = (marked & within) ? 0u : ~0u;
  P.OffsideMark = std::bit_cast<f32>(std::bit_cast<uint32_t>(P.OffsideMark) & keep);
}

bool BoundIn(const TPlayer& P) { return P.RuckTimer > 0 && P.RuckRole >= kBoundRole; }

// The set-piece pattern: each side's line, some players excluded (unmarked),
// the others marked and everyone cleared; block 1's player i before block
// 2's player i.
template <class Excluded>
void MarkAgainstLines(TWorld& W, double Line1, double Line2, Excluded excluded) {
  for (int p = 1; p <= PlayerCount(W); ++p) {
    for (int b = 1; b <= 2; ++b) {
      TPlayer& P = W.Teams[b].Players[p];
      if (excluded(b, p)) {
        P.OffsideMark = 0;
      } else {
        Mark(P, b, b == 1 ? Line1 : Line2);
      }
      Clear(P, b);
    }
  }
}

// The running marking's stages. Their bodies are inline in this unit, so
// the pass holds them in its loop; the functions the header exposes for the
// tests forward to them.
namespace body {

inline void KeepLastMarks(TWorld& W, int p) {
  W.Teams[1].Players[p].PrevOffsideMark = W.Teams[1].Players[p].OffsideMark;
  W.Teams[2].Players[p].PrevOffsideMark = W.Teams[2].Players[p].OffsideMark;
}

inline void MarkRunningPlayer(TWorld& W, int p, const TRunningMarks& M) {
  TTeamBlock& A = W.Teams[1];
  if (M.Carrier != nullptr) {
    TPlayer& P = A.Players[p];
    const double line1 = M.Carrier->Pos.z;
    P.OffsideLineZ = static_cast<f32>(line1);
    MarkAndClearAttacker(P, line1);
    if (p == A.BallCarrier) P.OffsideMark = 0;
  }
  TPlayer& D = W.Teams[2].Players[p];
  if (M.Called) Mark(D, 2, M.Line2);
  Clear(D, 2);
}

}  // namespace body

}  // namespace

TRunningMarks StartRunningMarks(const TWorld& W) {
  const TTeamBlock& A = W.Teams[1];
  return {PlayerAt(A, A.BallCarrier), W.MarkCalled != 0, static_cast<double>(W.BallPos.z) + kMarkedLine};
}

void KeepLastMarks(TWorld& W, int p) { body::KeepLastMarks(W, p); }
void MarkRunningPlayer(TWorld& W, int p, const TRunningMarks& M) { body::MarkRunningPlayer(W, p, M); }

namespace {

// Each player's last mark is kept here, before his own marking: the marking
// of player p reads and writes only his fields, so this is the order of a
// pass that keeps every mark first. tests/motion/MergedPassesTest.cpp runs
// the stages one at a time against it.
void MarkRunning(TWorld& W) {
  const TRunningMarks marks = StartRunningMarks(W);
  const int n = PlayerCount(W);
  for (int p = 1; p <= n; ++p) {
    body::KeepLastMarks(W, p);
    body::MarkRunningPlayer(W, p, marks);
  }
}

void ClearPassing(TWorld& W) {
  for (int p = 1; p <= PlayerCount(W); ++p) {
    TPlayer& P = W.Teams[1].Players[p];
    P.OffsideLineZ = W.BallPos.z;
    Clear(P, 1);
    Clear(W.Teams[2].Players[p], 2);
  }
}

void ClearFreeBall(TWorld& W) {
  const double release = W.ReleasePos.z;
  const f32 line = static_cast<f32>(std::max(static_cast<double>(W.BallPos.z) - kFreeBallLine, release));
  for (int p = 1; p <= PlayerCount(W); ++p) {
    TPlayer& P = W.Teams[1].Players[p];
    if (P.OffsideMark <= 0) continue;
    if (release + kFreeBallClear > P.Pos.z) P.OffsideMark = 0;
    P.OffsideLineZ = line;
  }
}

}  // namespace

void Offsides(TWorld& W) {
  const bool markRunning = W.gamestate == gsRunning && W.RunningPhase >= 2;  // keeps the last marks itself
  for (int b = 1; b <= 2 && !markRunning; ++b) {
    for (int p = 1; p <= PlayerCount(W); ++p) {
      TPlayer& P = W.Teams[b].Players[p];
      P.PrevOffsideMark = P.OffsideMark;
    }
  }
  const bool open = W.gamestate == gsRunning || W.gamestate == gsPassing;
  if (!open) W.RestartRefZ = W.BallPos.z;

  const double half = W.PitchLength / 2.0;
  const TTeamBlock& A = W.Teams[1];
  const TTeamBlock& D = W.Teams[2];
  switch (W.gamestate) {
    case gsRunning:
      if (markRunning) MarkRunning(W);
      break;
    case gsPassing:
      if (W.PassingPhase >= 2) ClearPassing(W);
      break;
    case gsGotTackled:
      if (W.GotTackledPhase >= 2 && A.PackSpots.BoundCount > 0 && D.PackSpots.BoundCount > 0) {
        MarkAgainstLines(W, A.SetPieceLineZ, std::min(static_cast<double>(D.SetPieceLineZ), half),
                         [&W](int b, int p) { return BoundIn(W.Teams[b].Players[p]); });
      }
      break;
    case gsScrum:
      if (W.ScrumPhase >= 2) {
        MarkAgainstLines(W, std::max(A.SetPieceLineZ - kScrumOffset, -half),
                         std::min(D.SetPieceLineZ + kScrumOffset, half), [&W](int b, int p) {
                           return BoundIn(W.Teams[b].Players[p]) || p == W.Teams[b].SetPieceHolder;
                         });
      }
      break;
    case gsLineout:
      if (W.LineoutPhase >= 4) {
        MarkAgainstLines(W, std::max(W.LineoutZ - kLineoutOffset, -half), std::min(W.LineoutZ + kLineoutOffset, half),
                         [&W](int b, int p) {
                           const TTeamBlock& T = W.Teams[b];
                           return T.Players[p].LineOutTimer > 0 || p == T.SetPieceHolder || p == T.LineoutThrower;
                         });
      }
      break;
    case gsFreeBall:
      if (W.FreeBallPhase >= 2) ClearFreeBall(W);
      break;
    default:
      break;
  }
}
