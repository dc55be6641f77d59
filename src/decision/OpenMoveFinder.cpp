#include "decision/OpenMoveFinder.h"

#include <array>
#include <cmath>
#include <initializer_list>

#include "core/MoveBooks.h"
#include "core/Random.h"
#include "core/StrategyShapes.h"

namespace {

// Gains (m) given with the openings.
constexpr double kRunGain = 0.0;
constexpr double kWeaveGain = 0.5;
constexpr double kSupportGain = 1.5;
constexpr double kStepGain = 1.0;
constexpr double kBreakGain = 2.0;
constexpr double kKickGain = 3.0;
constexpr double kOffloadGain = 2.5;
constexpr double kRuckOptionGain = -4.5;
constexpr double kDefaultRuckGain = -20.0;

// NearestClosing (s): below the first the quick support plays open too,
// above the second (the closing threshold) the longer plays.
constexpr double kQuickBias = 0.55;
constexpr double kLongBias = 0.7;
constexpr double kStillSpeed = 0.1;     // m/s: a carrier slower sideways runs straight
constexpr double kTouchMargin = 1.0;    // m from a touch line: only the touch set opens
constexpr double kSetPieceTime = 1.1;   // s after a set piece
constexpr double kSetPieceWidth = 15.0; // m from a touch line
constexpr int kEven = 500;              // per-mille roll: an even chance

i32 Roll() { return RandomRange(1, 1001); }

// The moves whose flags the book manages: 1..MoveCount, kept within the table.
int ManagedMoves(const TMoveBook& B) {
  return B.MoveCount < 0 ? 0 : (B.MoveCount > kMovesPerBook ? kMovesPerBook : B.MoveCount);
}

void CloseAll(TMoveBook& B) {
  for (int m = 1; m <= ManagedMoves(B); ++m) B.OpenFlags[m] = kFalse32;
}

// Opening a move: its flag, and the gain its look-ahead must reach.
void Open(TMoveBook& B, TMoveTable& T, int m, double gain) {
  B.OpenFlags[m] = kTrue32;
  T[m].MinGain = ToF32(gain);
}

// Opens the listed moves; a 0 in a list is no move.
template <class List>
void Open(TMoveBook& B, TMoveTable& T, const List& moves, double gain) {
  for (int m : moves) {
    if (m != 0) Open(B, T, m, gain);
  }
}

void Open(TMoveBook& B, TMoveTable& T, std::initializer_list<int> moves, double gain) {
  Open<std::initializer_list<int>>(B, T, moves, gain);
}

using TMoves = std::array<int, 4>;  // up to four moves, 0 for none

// The carrier as the running rules see him.
struct TCarrierView {
  TPlayer& C;
  double x, z;
  double vx;           // m/s, measured velocity across the pitch
  bool still;          // |vx| <= 0.1 m/s
  bool markerLevel;    // the marker's z >= the carrier's (level with him or ahead)
  bool markerAhead;    // the marker's z > the carrier's
};

// The carrier may start a move: nothing under way, or a pass under way
// while a held move has reached its key event, but never a pass while he is
// being tackled.
bool CarrierIsFree(const TPlayer& C) {
  bool free = C.passtimer <= 0 && C.KickTimer <= 0 && C.StepTimer <= 0 && C.BreakTackleTimer <= 0 &&
              C.ForcedRunTimer <= 0 && C.GettingTackledTimer <= 0;
  if (StrategyParams.HoldReleased != 0 && C.passtimer > 0) free = true;
  if (C.GettingTackledTimer > 0 && C.passtimer > 0) free = false;
  return free;
}

// Run pattern of a free carrier: 1, or the sampler's pattern 2 or 3 while
// its time runs.
int RunPattern(const TTeamBlock& A) {
  if (A.RunPatternTime > 0 && (A.RunPattern == 2 || A.RunPattern == 3)) return A.RunPattern;
  return 1;
}

// The side steps and in-steps are open unless a carrier short of finesse
// loses a small roll; then a quarter chance. The finesse roll is drawn only
// for such a carrier.
bool StepInRoll(const TPlayer& C) {
  if (C.finesse < 71 && Roll() < 51) return false;
  return Roll() < 250;
}

// The support plays of open-move modes 1 and 2: the second mode is the
// first turned to the other side.
struct TModeMoves {
  int Run;                              // opens with 1 at 0.0 m
  int Weave;                            // 0.5 m
  TMoves Level;                         // the marker is level with the carrier or ahead
  int LevelQuick;                       // and closes quickly
  TMoves Passed;                        // the carrier is past him
  int PassedQuick;
  int WideLow, WideHigh;                // one of WideLow..WideHigh - 1 for a slow-closing marker
  int LongLow, LongHigh;                // and one of LongLow..LongHigh - 1
  int Dummy;                            // a dummy pass when the marker is ahead (3.0 m)
};

const TModeMoves& ModeMoves(int mode) {
  static constexpr TModeMoves kMode1{4, 11, {25, 26, 27, 28}, 46, {21, 22, 23, 0}, 41, 29, 35, 35, 40, 71};
  static constexpr TModeMoves kMode2{8, 12, {45, 46, 47, 48}, 26, {41, 42, 43, 0}, 21, 49, 55, 55, 60, 72};
  return mode == 1 ? kMode1 : kMode2;
}

// Step 3: the support plays of the open-move mode.
void OpenModeMoves(TMoveBook& B, TMoveTable& T, const TCarrierView& V) {
  const int mode = StrategyParams.OpenMoveFlag;
  const double bias = StrategyParams.NearestClosing;
  if (mode == 0) {
    Open(B, T, 1, kRunGain);
    if (bias < kQuickBias) Open(B, T, {26, 27, 46, 47}, kSupportGain);
    return;
  }
  if (mode != 1 && mode != 2) return;
  const TModeMoves& M = ModeMoves(mode);
  Open(B, T, {1, M.Run}, kRunGain);
  Open(B, T, M.Weave, kWeaveGain);
  Open(B, T, V.markerLevel ? M.Level : M.Passed, kSupportGain);
  if (bias < kQuickBias) Open(B, T, V.markerLevel ? M.LevelQuick : M.PassedQuick, kSupportGain);
  if (V.C.ExtraMovesFlag != 0) Open(B, T, {24, 44}, kSupportGain);
  if (bias > kLongBias) {
    Open(B, T, RandomRange(M.WideLow, M.WideHigh), kSupportGain);
    Open(B, T, RandomRange(M.LongLow, M.LongHigh), kSupportGain);
  }
}

// Step 4: side steps against a marker ahead.
void OpenSideSteps(TMoveBook& B, TMoveTable& T, const TCarrierView& V) {
  if (!V.markerAhead) return;
  if (V.still) {
    Open(B, T, Roll() >= kEven ? 62 : 61, kStepGain);
    if (StepInRoll(V.C)) Open(B, T, {67, 68}, kStepGain);
  } else {
    Open(B, T, V.vx >= 0 ? 65 : 64, kStepGain);
  }
}

// Step 5: breaks of the tackle, the mode's dummy and general-play kicks.
void OpenBreaksAndKicks(TMoveBook& B, TMoveTable& T, const TCarrierView& V) {
  Open(B, T, V.still ? 81 : (V.vx >= 0 ? 83 : 82), kBreakGain);
  const int mode = StrategyParams.OpenMoveFlag;
  if (V.markerAhead && (mode == 1 || mode == 2)) Open(B, T, ModeMoves(mode).Dummy, kKickGain);
  if (Roll() < V.C.KickProb) {
    Open(B, T, RandomRange(101, 121), kKickGain);
    Open(B, T, RandomRange(101, 121), kKickGain);
  }
}

// Step 6: a break window replaces everything with runs and long plays.
void OpenBreakWindow(TWorld& W, TMoveBook& B, TMoveTable& T) {
  if (!(W.BreakWindow > 0)) return;
  CloseAll(B);
  Open(B, T, 2, kRunGain);
  if (W.BreakSide != 1) Open(B, T, 6, kRunGain);
  if (W.BreakSide != 2) Open(B, T, 10, kRunGain);
  Open(B, T, {31, 32, 35, 36, 37, 38, 39, 51, 52, 55, 56, 57, 58, 59}, kRunGain);
}

// The moves of a carrier near one touch line (step 7).
struct TTouchSet {
  TMoves Runs;                            // 0.0 m
  TMoves Level;                           // marker z >= carrier z (1.0 m)
  TMoves Passed;
  int Step, StepIn;                       // marker ahead (1.0 m)
  int BreakOnEven, BreakOtherwise;        // a roll >= 500, else (2.0 m)
  int Dummy;                              // marker ahead (3.0 m)
  int KickALow, KickBLow;                 // one of each four on a kick roll (3.0 m)
};

constexpr TTouchSet kLeftSet{{1, 7, 8, 0}, {46, 47, 0, 0}, {41, 42, 0, 0}, 62, 68, 83, 81, 72, 117, 107};
constexpr TTouchSet kRightSet{{1, 3, 4, 0}, {26, 27, 0, 0}, {21, 22, 0, 0}, 61, 67, 82, 81, 71, 113, 103};

void OpenTouchSet(TMoveBook& B, TMoveTable& T, const TCarrierView& V, const TTouchSet& S) {
  CloseAll(B);
  Open(B, T, S.Runs, kRunGain);
  Open(B, T, V.markerLevel ? S.Level : S.Passed, kStepGain);
  if (V.markerAhead) {
    Open(B, T, S.Step, kStepGain);
    if (StepInRoll(V.C)) Open(B, T, S.StepIn, kStepGain);
  }
  Open(B, T, Roll() >= kEven ? S.BreakOnEven : S.BreakOtherwise, kBreakGain);
  if (V.markerAhead) Open(B, T, S.Dummy, kKickGain);
  if (Roll() < V.C.KickProb) {
    Open(B, T, RandomRange(S.KickALow, S.KickALow + 4), kKickGain);
    Open(B, T, RandomRange(S.KickBLow, S.KickBLow + 4), kKickGain);
  }
}

// Step 7: near a touch line (or on the touch alarm's side) the touch set
// replaces what steps 3 to 6 opened; the left set is tested first. Then
// the carrier's re-plan timer is redrawn when it has run out.
void OpenTouchSets(const TWorld& W, TMoveBook& B, TMoveTable& T, const TCarrierView& V) {
  const double half = W.PitchWidth / 2.0;
  const bool alarm = StrategyParams.TouchDangerTimer > 0;
  if (V.x < -half + kTouchMargin || (V.x < 0 && alarm)) OpenTouchSet(B, T, V, kLeftSet);
  if (V.x > half - kTouchMargin || (V.x > 0 && alarm)) OpenTouchSet(B, T, V, kRightSet);
  if (V.C.ReplanTimer <= 0) V.C.ReplanTimer = DrawDistribution(V.C.ReplanInterval);
}

// Step 8: the sampler's run patterns.
void OpenPatternMoves(TMoveBook& B, TMoveTable& T, int pattern) {
  if (pattern == 2) Open(B, T, {131, 132}, kKickGain);
  if (pattern == 3) Open(B, T, Roll() >= kEven ? 142 : 141, kBreakGain);
}

// Step 9: the holder of a set piece near a touch line plays the set-piece
// starts, whatever was opened before.
void OpenSetPieceStart(const TWorld& W, TMoveBook& B, TMoveTable& T, const TCarrierView& V, int pattern) {
  const TTeamBlock& A = W.Teams[1];
  const double half = W.PitchWidth / 2.0;
  const double bx = W.BallPos.x;
  if (!(W.TimeSinceSetPiece < kSetPieceTime) || W.SetPieceStart == 0 || A.BallCarrier != A.SetPieceHolder) return;
  if (!((bx < 0 && V.x < -half + kSetPieceWidth) || (bx > 0 && V.x > half - kSetPieceWidth))) return;
  CloseAll(B);
  const bool left = bx <= 0;
  Open(B, T, left ? 128 : 127, kStepGain);
  if (pattern != 3 && Roll() < kEven) Open(B, T, left ? TMoves{127, 130, 0, 0} : TMoves{128, 129, 0, 0}, kStepGain);
}

// Step 10: offloads while he is being tackled inside the offload window.
void OpenOffloads(const TWorld& W, TMoveBook& B, TMoveTable& T, const TPlayer& C) {
  if (C.GettingTackledTimer > 0 && W.Teams[1].OffloadTime > 0 && C.OffloadPending <= 0 && C.passtimer <= 0) {
    Open(B, T, {91, 92, 93, 94, 95, 96, 97, 98}, kOffloadGain);
  }
}

// The defender the carrier reads: NearestDefender of block 2, player 1 when
// that names no record.
const TPlayer& Marker(const TWorld& W) {
  const TPlayer* M = PlayerAt(W.Teams[2], StrategyParams.NearestDefender);
  return M != nullptr ? *M : W.Teams[2].Players[1];
}

void FindRunningMoves(TWorld& W, TMoveBook& B) {
  TMoveTable& T = B.OpenPlayMoves;
  CloseAll(B);
  TTeamBlock& A = W.Teams[1];
  TPlayer* C = PlayerAt(A, A.BallCarrier);
  if (C == nullptr) return;
  const TPlayer& M = Marker(W);
  const TCarrierView V{*C,
                       C->Pos.x,
                       C->Pos.z,
                       C->Velocity.x,
                       std::fabs(C->Velocity.x) <= kStillSpeed,
                       M.Pos.z >= C->Pos.z,
                       M.Pos.z > C->Pos.z};
  const int pattern = CarrierIsFree(*C) ? RunPattern(A) : 0;
  if (pattern == 1) {
    OpenModeMoves(B, T, V);
    OpenSideSteps(B, T, V);
    OpenBreaksAndKicks(B, T, V);
    OpenBreakWindow(W, B, T);
    OpenTouchSets(W, B, T, V);
  } else {
    OpenPatternMoves(B, T, pattern);
  }
  OpenSetPieceStart(W, B, T, V, pattern);
  OpenOffloads(W, B, T, *C);
}

// The ruck moves of the side's play option, and the two default ruck plays.
void FindRuckMoves(const TWorld& W, TMoveBook& B) {
  TMoveTable& T = B.RuckMoves;
  CloseAll(B);
  const int option = W.Teams[1].PlayOption;
  for (int m = 1; m <= ManagedMoves(B); ++m) {
    if (T[m].PlayKind == option) Open(B, T, m, kRuckOptionGain);
  }
  Open(B, T, {1, 2}, kDefaultRuckGain);
}

}  // namespace

void FindOpenMoves(TWorld& W) {
  if (W.gamestate == gsRunning) FindRunningMoves(W, PossessionMoveBook(W));
  if (W.gamestate == gsGotTackled) FindRuckMoves(W, PossessionMoveBook(W));
}
