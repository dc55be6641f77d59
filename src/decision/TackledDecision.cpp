#include "decision/CarrierLookups.h"
#include "decision/TackledDecision.h"

#include <cmath>
#include <string>

#include "core/Geometry.h"
#include "core/MoveBooks.h"
#include "core/Random.h"
#include "core/Rounding.h"
#include "core/SlotLines.h"
#include "core/StrategyShapes.h"
#include "core/StrategyZones.h"
#include "decision/BallCarrierDecision.h"
#include "decision/LookAhead.h"
#include "decision/MoveApplication.h"
#include "decision/OpenMoveFinder.h"
#include "hooks/UserControl.h"
#include "platform/Form.h"

TRuckChoiceSeam RuckChoiceSeam = {nullptr};

namespace {

constexpr int kMaxRuckSamples = 7;      // candidates simulated per tackle
constexpr f32 kChoiceHold = 50.0f;      // s, HoldTimer after a ruck choice
constexpr double kOverTimeLimit = 4.75; // s of ruck overtime a move may leave
constexpr int kPodRunnerPool = 8;       // the pod runner is one of players 1..8
constexpr double kPodDepth = 8.5;       // m at 100 %
constexpr double kPodWidth = 10.0;      // m at 100 %
constexpr double kTouchMargin = 1.0;    // m the pod spot keeps off touch
constexpr f32 kHolderOnSpot = 0.3f;     // m
constexpr f32 kReceiverOnSpot = 0.1f;   // m
constexpr f32 kPassWindUp = 10.0f;      // s, the holder's passtimer
constexpr i32 kSetPiecePass = 6;        // PassKind of a pass from a breakdown

TPlayer* Holder(TWorld& W) { return PlayerAt(W.Teams[1], W.Teams[1].SetPieceHolder); }

// A player number of the side's own block (1..PlayersPerTeam).
bool InBlock(const TWorld& W, i32 n) { return n >= 1 && n <= PlayerCount(W); }

// ------------------------------------------------------------ the pod runner

bool FreeForPod(const TPlayer& P) {
  return P.LineFlag == 0 && !(P.RuckTimer > 0) && !(P.RuckTimer2 > 0) && !(P.TackleAttemptTimer > 0) &&
         !(P.GettingTackledTimer > 0) && !(P.OldTackleTimer > 0) && !(P.standuptimer > 0) &&
         !(P.SpecialAnimTimer > 0);
}

// A forward drawn from 1..8 runs from a spot behind the mark to one side.
void SendPodRunner(TWorld& W) {
  const i32 n = RandomRange(1, kPodRunnerPool + 1);
  if (!InBlock(W, n)) return;
  TPlayer& P = W.Teams[1].Players[n];
  if (!FreeForPod(P)) return;
  const double depth = RandomRange(70, 100) * kPodDepth / 100.0;
  double width = RandomRange(55, 100) * kPodWidth / 100.0;
  const double half = W.PitchWidth / 2.0;
  double side;
  if (RandomRange(1, 1001) >= 500)
    side = W.MarkX - width < -half + kTouchMargin ? 1.0 : -1.0;
  else
    side = W.MarkX + width > half - kTouchMargin ? -1.0 : 1.0;
  width *= side;
  TActionSeq& S = P.ActionSeq;
  S = StrategyParams.ActionSeqTemplate;
  S.seqON = kTrue32;
  S.HoldStartPos = kTrue32;
  S.StartX = static_cast<f32>(W.MarkX + width);
  S.StartZ = static_cast<f32>(W.MarkZ - depth);
  S.SeqHeadFlag = kFalse32;
  S.SeqHeadValue = static_cast<f32>(RandomRange(30, 70) / 100.0);
  TActionEvent& E = S.EventArray[1];
  E.EventType = 0;
  E.Angle = static_cast<f32>(RandomRange(80, 101));
  E.DesSpeed = static_cast<f32>(RandomRange(55, 100) * 10.0 / 100.0);
  E.DistOrig = static_cast<f32>(depth - 2.25);
  E.Duration = 0.5f;
}

// ------------------------------------------------------------ candidates

// The open ruck moves in order, then shuffled and cut to 7; returns how many.
int BuildRuckCandidates(TMoveBook& Book) {
  for (i32& m : Book.OpenList) m = 0;
  int n = BuildOpenList(Book);
  ShuffleOpenList(Book, n, false);
  if (n > kMaxRuckSamples) {
    for (int k = kMaxRuckSamples + 1; k <= n; ++k) Book.OpenList[k] = 0;
    n = kMaxRuckSamples;
  }
  return n;
}

void ResetRuckBest(TMoveBook& Book) {
  TSimResult& B = Book.BestResult;
  ResetBestResult(B, -1000000.0f);
  B.KickSeen = kFalse32;
  B.FreeBallSeen = kFalse32;
  Book.BestMove = 0;
}

// One look-ahead of ruck move m on a fresh copy of the match world.
void SimulateRuckMove(TMoveBook& Book, i32 m) {
  TakeLookAheadCopy();
  LookAheadWorld.TackleReleaseTimer = 0;
  LookAheadWorld.Teams[1].MoveIndex = m;
  TMove& Move = Book.RuckMoves[m];
  Move.ApplyFirst = kTrue32;
  SimulateAhead(LookAheadWorld, Move, static_cast<u16>(Move.PlayKind), Book.Results[m]);
}

void ApplyChosenMove(TWorld& W, i32 m, bool32& Feasible) {
  if (RuckChoiceSeam.ApplyMove != nullptr)
    RuckChoiceSeam.ApplyMove(W, m, Feasible);
  else
    ApplyMove(W, m, Feasible);
}

// ------------------------------------------------------------ best pick

bool InState(const TSimResult& R, TGameState s) { return (R.EndState & 0xFFu) == static_cast<u32>(s); }

bool RanOverTryLine(const TWorld& W, const TSimResult& R) {
  return InState(R, gsRunning) && R.EndBallZ > W.PitchLength / 2.0;
}

// The holder role's first event is a pass (kind 1 or 2).
bool HolderOpensWithPass(const TMove& Move) {
  if (Move.CarrierSlot < 1 || Move.CarrierSlot > kMoveRoles) return false;
  const i32 kind = Move.Seqs[Move.CarrierSlot].EventArray[1].EventType;
  return kind == 1 || kind == 2;
}

// Options 1, 2 and 5: ground gained in hand, the ball kept in play.
bool BeatsOnGain(const TWorld& W, const TMove& Move, const TSimResult& R, const TSimResult& B, i32 option) {
  const bool playState = InState(R, gsRunning) || InState(R, gsPassing) || InState(R, gsGotTackled) ||
                         InState(R, gsTryScored);
  bool pass = R.EndBallZ > B.EndBallZ && R.PossessionLost == 0 && R.Gain >= Move.MinGain && playState &&
              R.WentToTouch == 0 && !(R.PassSeen != 0 && R.PassingSeen == 0);
  if (RanOverTryLine(W, R) && R.PossessionLost == 0 && R.WentToTouch == 0 && !RanOverTryLine(W, B)) pass = true;
  if (R.WentToTouch != 0) return false;
  if (option == 5) {
    if (B.KickSeen == 0 && R.KickSeen != 0) {
      const double half = W.PitchWidth / 2.0;
      const bool inside = R.EndBallX > -half && R.EndBallX < half;
      if (!inside || R.EndBallZ < -W.PitchLength / 2.0 ||
          R.EndBallZ >= static_cast<double>(W.PitchLength) / 2.0 + W.InGoalDepth)
        return false;
    }
    if (R.OpponentTouchedBall != 0 && R.LooseBallDropping == 0) return false;
  }
  if (R.RuckOverTimeAtExit > kOverTimeLimit) return false;
  if (HolderOpensWithPass(Move) && R.PassingSeen == 0) return false;
  return pass;
}

bool KickedWhereBestDidNot(const TSimResult& R, const TSimResult& B) { return B.KickSeen == 0 && R.KickSeen != 0; }

bool LooseWhereBestWasNot(const TSimResult& R, const TSimResult& B) {
  return B.FreeBallSeen == 0 && R.FreeBallSeen != 0;
}

}  // namespace

bool RuckOutcomeBeats(const TWorld& W, const TMove& Move, const TSimResult& R, const TSimResult& B,
                      bool HaveBest, i32 PlayOption) {
  switch (PlayOption) {
    case 1:
    case 2:
    case 5:
      return BeatsOnGain(W, Move, R, B, PlayOption);
    case 3:
      if (R.NotFeasible != 0) return false;
      return (R.EndBallZ > B.EndBallZ && R.EndBallZ <= W.PitchLength / 2.0 && R.WentToTouch != 0) ||
             KickedWhereBestDidNot(R, B) || LooseWhereBestWasNot(R, B) ||
             (R.KickSeen != 0 && R.FreeBallSeen != 0 && R.WentToTouch != 0 && B.WentToTouch == 0);
    case 4:
      if (R.NotFeasible != 0) return false;
      return !(R.SimTime < B.SimTime) || KickedWhereBestDidNot(R, B) || LooseWhereBestWasNot(R, B);
    case 6: {
      if (R.NotFeasible != 0) return false;
      const bool scores = R.OwnScore > W.Teams[1].score;
      return (HaveBest ? scores && R.SimTime < B.SimTime : scores) || KickedWhereBestDidNot(R, B);
    }
    case 7:
      if (R.NotFeasible != 0) return false;
      return !(R.SimTime > B.SimTime) || KickedWhereBestDidNot(R, B) ||
             (R.KickSeen != 0 && B.KickSeen != 0 && B.WentToTouch == 0 && R.WentToTouch != 0);
    default:
      return false;
  }
}

namespace {

void PickBest(const TWorld& W, TMoveBook& Book, int count) {
  const i32 option = W.Teams[1].PlayOption;
  for (int k = 1; k <= count; ++k) {
    const i32 m = Book.OpenList[k];
    if (m < 1 || m > kMovesPerBook) continue;
    const TSimResult& R = Book.Results[m];
    if (!RuckOutcomeBeats(W, Book.RuckMoves[m], R, Book.BestResult, Book.BestMove != 0, option)) continue;
    Book.BestMove = m;
    Book.BestMoveCopy = Book.RuckMoves[m];
    Book.BestResult = R;
  }
}

void ApplyBest(TWorld& W, TMoveBook& Book) {
  if (Book.BestMove == 0) return;
  W.Teams[1].MoveIndex = Book.BestMove;
  ApplyChosenMove(W, Book.BestMove, Book.Feasible);
  Form1.Memo1.Add("Best move is " + std::to_string(Book.BestMove));
  Form1.Memo1.Add(Book.Feasible != 0 ? "and is feasible" : "and is NOT feasible");
  Book.HoldTimer = kChoiceHold;
}

// The holder runs 1.7 m out to the open side, then 15 m straight up-field.
void LoadHolderRun(TWorld& W, TPlayer& H) {
  TActionSeq& S = H.ActionSeq;
  S = StrategyParams.ActionSeqTemplate;
  S.NumEvents = 2;
  S.KeyEventIndex = 2;
  S.EventArray[1].DistOrig = 1.7f;
  S.EventArray[1].Angle = W.MarkX >= 0 ? 15.0f : 165.0f;
  S.EventArray[2].DistOrig = 15.0f;
  S.EventArray[2].Angle = 90.0f;
}

// Without a feasible best that the holder runs, the default play: move 1
// (mark on the positive half or the centre) or 2, else the holder's run.
void ApplyDefaultPlay(TWorld& W, TMoveBook& Book) {
  TPlayer* H = Holder(W);
  if (Book.Feasible != 0 && H != nullptr && H->ActionSeq.seqON != 0 && Book.BestMove != 0) return;
  Book.Feasible = kFalse32;
  Book.HoldTimer = kChoiceHold;
  const i32 m = W.MarkX >= 0 ? 1 : 2;
  W.Teams[1].MoveIndex = m;
  ApplyChosenMove(W, m, Book.Feasible);
  if (Book.Feasible == 0 && H != nullptr) LoadHolderRun(W, *H);
}

void ChooseRuckMove(TWorld& W, TMoveBook& Book) {
  Book.RuckSampled = kTrue32;
  SendPodRunner(W);
  FindOpenMoves(W);
  const int count = BuildRuckCandidates(Book);
  ResetRuckBest(Book);
  for (int k = 1; k <= count; ++k) SimulateRuckMove(Book, Book.OpenList[k]);
  PickBest(W, Book, count);
  ApplyBest(W, Book);
  ApplyDefaultPlay(W, Book);
}

// ------------------------------------------------------------ the fallback

i32 FirstInSlots(const TWorld& W, int from, int to, int step) {
  const TTeamBlock& T = W.Teams[1];
  for (int k = from; k != to + step; k += step)
    if (InBlock(W, T.SetPieceLine[k])) return T.SetPieceLine[k];
  return 0;
}

i32 FirstInGrid(const TWorld& W, const int* columns, int count) {
  const TTeamBlock& T = W.Teams[1];
  for (int r = 1; r <= 7; ++r)
    for (int c = 0; c < count; ++c)
      if (InBlock(W, T.SupportGridCells[r][columns[c]])) return T.SupportGridCells[r][columns[c]];
  return 0;
}

i16 RoomWeight(double room, i32 candidate) { return candidate == 0 ? 0 : ClampToI16(RoundHalfEven(std::fabs(room))); }

// The receiver of this tackle's dummy-half pass, candidates kept for the pass.
void ChooseFallbackReceiver(TWorld& W) {
  TTeamBlock& T = W.Teams[1];
  static constexpr int kInfield[2] = {1, 2};
  static constexpr int kOutfield[3] = {7, 6, 5};
  T.LeftLineCandidate = FirstInSlots(W, kCentreSlot - 1, 1, -1);
  T.RightLineCandidate = FirstInSlots(W, kCentreSlot + 1, 201, 1);
  T.LeftSupportCandidate = FirstInGrid(W, kInfield, 2);
  T.RightSupportCandidate = FirstInGrid(W, kOutfield, 3);
  const i32 a = T.LeftLineCandidate, b = T.RightLineCandidate;
  const i32 c = T.LeftSupportCandidate, d = T.RightSupportCandidate;
  const double toLeft = W.MarkX + W.PitchWidth / 2.0;
  const double toRight = W.PitchWidth / 2.0 - W.MarkX;
  const Arr1<i16, 4> weights{RoomWeight(toLeft, a), RoomWeight(toLeft, c), RoomWeight(toRight, b),
                             RoomWeight(toRight, d)};
  const i32 order[5] = {0, a, c, b, d};
  i32 receiver = order[WeightedRandomIndex(weights, 4)];
  if (receiver == 0 && (a != 0 || b != 0 || c != 0 || d != 0)) {
    while (receiver == 0) {
      const i32 roll = RandomRange(1, 1001);
      receiver = roll < 251 ? a : roll <= 500 ? b : roll <= 750 ? c : d;
    }
  }
  T.PassReceiver = receiver != 0 ? receiver : T.SetPieceHolder;
  T.HalfTimeAux = kTrue32;
}

bool OnSpot(const TPlayer& P, f32 within) {
  return Distance2D(P.Pos.x, P.Pos.z, P.DesiredPos.x, P.DesiredPos.z) <= within;
}

// The dummy-half pass: towards the lower slots (side 1) or the higher (2).
void StartFallbackPass(TWorld& W, TPlayer& H, TPlayer& R, bool line, int side) {
  TTeamBlock& T = W.Teams[1];
  R.shimmytimer = 0;
  T.ShortRunFlag = kFalse32;
  if (line) {
    T.ReceiverRunSpeed = static_cast<f32>(RandomRange(1, 251) / 1000.0 * R.maxspeed);
    T.ReceiverRunAngle = static_cast<f32>(side == 1 ? RandomRange(45, 91) : RandomRange(90, 136));
    T.ShortRunFlag = kTrue32;
  } else {
    T.ReceiverRunSpeed = R.maxspeed;
    T.ReceiverRunAngle = 90.0f;
  }
  H.passtimer = kPassWindUp;
  T.PassSide = side;
  T.PassKind = kSetPiecePass;
  T.PasserRunAngle = HeadingOfFacing(H.FacingAngle);
  DrawReleaseTime(T, side == 1 ? H.DummyhalfPassLeftReleaseTime : H.DummyhalfPassRightReleaseTime);
  T.PassDuration = T.PassTimeLeft;
}

}  // namespace

void RuckMoveFallback(TWorld& W) {
  if (W.GotTackledPhase < 2) return;
  TTeamBlock& T = W.Teams[1];
  if (T.HalfTimeAux == 0) ChooseFallbackReceiver(W);
  TPlayer* H = Holder(W);
  if (H == nullptr) return;
  TPlayer* R = PlayerAt(T, T.PassReceiver);
  if (R != nullptr && OnSpot(*H, kHolderOnSpot) && !(W.RestartDelay > 0) && OnSpot(*R, kReceiverOnSpot) &&
      !(H->passtimer > 0)) {
    const i32 n = T.PassReceiver;
    if (n == T.LeftLineCandidate || n == T.LeftSupportCandidate)
      StartFallbackPass(W, *H, *R, n == T.LeftLineCandidate, 1);
    else if (n == T.RightLineCandidate || n == T.RightSupportCandidate)
      StartFallbackPass(W, *H, *R, n == T.RightLineCandidate, 2);
  }
  if (H->passtimer > 0) LayLineOnShape(T);
}

void SampleRuckMoves(TWorld& W) {
  TMoveBook& Book = PossessionMoveBook(W);
  if (W.GotTackledPhase >= 2 && Book.RuckSampled == 0) ChooseRuckMove(W, Book);
  TTeamBlock& T = W.Teams[1];
  for (int i = 1; i <= PlayerCount(W); ++i) ApplyUserControl(W, T.Players[i], ucDecision, T);
  BallCarrierDecision(W);
}

void GotTackledStrategy(TWorld& W) {
  if (PossessionMoveBook(W).SamplingOn != 0) {
    SampleRuckMoves(W);
    return;
  }
  const TPlayer* H = Holder(W);
  if (H != nullptr && H->ActionSeq.seqON != 0)
    BallCarrierDecision(W);
  else if (W.Teams[1].DecisionsOn != 0)
    RuckMoveFallback(W);
}
