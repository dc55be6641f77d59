#include "decision/CarrierLookups.h"
#include "decision/MaulHolder.h"

#include <cmath>

#include "contact/BreakdownRelease.h"
#include "core/Geometry.h"
#include "core/Kinematics.h"
#include "core/Random.h"
#include "core/SlotLines.h"
#include "core/StrategyZones.h"
#include "decision/BallRelease.h"
#include "decision/CarrierLookups.h"

namespace {

constexpr f32 kTakerRole = 63.0f;       // bound, can take the ball
constexpr f32 kHolderRole = 65.0f;      // holds the ball
constexpr f32 kFacingBackRole = 64.0f;  // faces the other way
constexpr f32 kFreeRoleA = 60.0f;       // roles left without a release delay
constexpr f32 kFreeRoleB = 61.0f;
constexpr double kDriving = 0.8;        // m/s of PackVelocityZ: the maul still drives on
constexpr double kHolderOnSpot = 0.3;   // m
constexpr double kReceiverOnSpot = 0.1; // m
constexpr f32 kActionTimer = 10.0f;     // s, passtimer of a pass under way
constexpr i32 kSetPiecePassKind = 6;
constexpr i16 kMoveWeight = 50;
constexpr i16 kPassWeight = 70;
constexpr i16 kBreakWeight = 70;

enum : i32 {
  kOptionBack = 1,
  kOptionSideA = 2,
  kOptionSideB = 3,
  kOptionLeftLine = 4,
  kOptionLeftSupport = 5,
  kOptionRightLine = 6,
  kOptionRightSupport = 7,
  kOptionBreak = 8,
};

double SpotDistance(const TPlayer& P) { return Distance2D(P.Pos.x, P.Pos.z, P.DesiredPos.x, P.DesiredPos.z); }

bool Empty(const TTeamBlock& B, int s) { return B.PackSpots.OccupantB[s] == 0; }

// The place is filled by a player bound as one who can take the ball.
bool CanTake(const TWorld& W, int s) {
  const i32 p = W.Teams[1].PackSpots.OccupantB[s];
  return OnField(W, p) && W.Teams[1].Players[p].RuckRole == kTakerRole;
}

i32 CarrierSlot(const TTeamBlock& B) {
  for (int s = 1; s <= 10; ++s) {
    if (B.PackSpots.OccupantB[s] == B.BallCarrier) return s;
  }
  return 0;
}

// A back place from which the ball may go out: 4 or 5 with nobody in 6, 9
// and 10, or 6, 9 or 10 themselves.
bool CanPassOut(const TTeamBlock& B, int s) {
  if (s == 4 || s == 5) return Empty(B, 6) && Empty(B, 9) && Empty(B, 10);
  return s == 6 || s == 9 || s == 10;
}

// A place from which the carrier may break off: 4 with 7 empty, 5 with 8
// empty, or any of 6 to 10.
bool CanBreakOff(const TTeamBlock& B, int s) {
  if (s == 4) return Empty(B, 7);
  if (s == 5) return Empty(B, 8);
  return s >= 6 && s <= 10;
}

// The places option 1 moves the ball back to from place s (0 none).
struct TBackMove {
  int first, later;
};
TBackMove BackPlaces(int s) {
  switch (s) {
    case 1: return {4, 5};
    case 4: return {6, 9};
    case 5: return {6, 10};
    case 7: return {9, 0};
    case 8: return {10, 0};
    default: return {0, 0};
  }
}

// The place options 2 and 3 move the ball to from place s (0 none).
int SidePlace(int option, int s) {
  if (option == kOptionSideA) {
    switch (s) {
      case 4: return 7;
      case 5: return 4;
      case 6: return 9;
      case 8: return 5;
      case 10: return 6;
      default: return 0;
    }
  }
  switch (s) {
    case 4: return 5;
    case 5: return 8;
    case 6: return 10;
    case 7: return 4;
    case 9: return 6;
    default: return 0;
  }
}

bool CanMoveBack(const TWorld& W, int s) {
  const TBackMove m = BackPlaces(s);
  return (m.first != 0 && CanTake(W, m.first)) || (m.later != 0 && CanTake(W, m.later));
}

bool CanMoveSide(const TWorld& W, int option, int s) {
  const int t = SidePlace(option, s);
  return t != 0 && CanTake(W, t);
}

// The first player of the line from slot From on, one slot at a time.
i32 FirstOnLine(const TWorld& W, int From, int To, int Step) {
  const TTeamBlock& B = W.Teams[1];
  for (int k = From; k != To + Step; k += Step) {
    if (OnField(W, B.SetPieceLine[k])) return B.SetPieceLine[k];
  }
  return 0;
}

// The first player of the support grid's rows 1 to 7 in the given cells.
i32 FirstInGrid(const TWorld& W, const int* Cells, int Count) {
  const TTeamBlock& B = W.Teams[1];
  for (int r = 1; r <= 7; ++r) {
    for (int k = 0; k < Count; ++k) {
      const i32 p = B.SupportGridCells[r][Cells[k]];
      if (OnField(W, p)) return p;
    }
  }
  return 0;
}

void FindCandidates(TWorld& W) {
  static constexpr int kLeftCells[] = {1, 2};
  static constexpr int kRightCells[] = {7, 6, 5, 4};
  TTeamBlock& B = W.Teams[1];
  B.LeftLineCandidate = FirstOnLine(W, 100, 1, -1);
  B.RightLineCandidate = FirstOnLine(W, 102, 201, 1);
  B.LeftSupportCandidate = FirstInGrid(W, kLeftCells, 2);
  B.RightSupportCandidate = FirstInGrid(W, kRightCells, 4);
}

void DrawOption(TWorld& W) {
  TTeamBlock& B = W.Teams[1];
  const int s = B.MaulCarrierSlot;
  FindCandidates(W);
  Arr1<i16, 25>& w = W.ChoiceWeights;
  w[kOptionBack] = CanMoveBack(W, s) ? kMoveWeight : 0;
  w[kOptionSideA] = CanMoveSide(W, kOptionSideA, s) ? kMoveWeight : 0;
  w[kOptionSideB] = CanMoveSide(W, kOptionSideB, s) ? kMoveWeight : 0;
  const bool out = s != 0 && CanPassOut(B, s);
  w[kOptionLeftLine] = out && B.LeftLineCandidate != 0 ? kPassWeight : 0;
  w[kOptionLeftSupport] = out && B.LeftSupportCandidate != 0 ? kPassWeight : 0;
  w[kOptionRightLine] = out && B.RightLineCandidate != 0 ? kPassWeight : 0;
  w[kOptionRightSupport] = out && B.RightSupportCandidate != 0 ? kPassWeight : 0;
  w[kOptionBreak] = s != 0 && CanBreakOff(B, s) ? kBreakWeight : 0;
  B.MaulOption = WeightedRandomIndex(w, 8);
}

// The ball goes from the carrier to the player in place t.
void Transfer(TWorld& W, int t) {
  TTeamBlock& B = W.Teams[1];
  B.MaulPassTimer = ToF32(RandomRange(400, 1000) / 1000.0);
  B.Players[B.BallCarrier].RuckRole = kTakerRole;
  B.BallCarrier = B.PackSpots.OccupantB[t];
  B.Players[B.BallCarrier].RuckRole = kHolderRole;
}

void MoveBall(TWorld& W) {
  const TTeamBlock& B = W.Teams[1];
  const int s = B.MaulCarrierSlot;
  if (B.MaulOption == kOptionBack) {
    const TBackMove m = BackPlaces(s);
    const bool first = m.first != 0 && CanTake(W, m.first);
    const bool later = m.later != 0 && CanTake(W, m.later);
    if (first && later) Transfer(W, RandomRange(1, 1001) > 500 ? m.later : m.first);
    else if (first) Transfer(W, m.first);
    else if (later) Transfer(W, m.later);
  } else if (B.MaulOption == kOptionSideA || B.MaulOption == kOptionSideB) {
    if (CanMoveSide(W, B.MaulOption, s)) Transfer(W, SidePlace(B.MaulOption, s));
  }
}

void MoveCarrier(const TWorld& W, TPlayer& C) {
  const double dt = W.TimeStep;
  C.speed = TimeToCover(C.Pos.x, C.Pos.z, C.OldPos.x, C.OldPos.z, W.PrevTimeStep);
  C.OldPos = C.Pos;
  C.desiredspeed = C.maxspeed;
  if (C.RuckTimer > 0) {
    const double v = SpotDistance(C) / dt;
    C.speed = v > C.maxspeed ? C.maxspeed : ToF32(v);
  }
  if (C.passtimer > 0) C.desiredspeed = ToF32(std::fabs(static_cast<double>(W.PackVelocityZ)) + 3.0);
  MoveCarrierToSpot(W, C);
  const double h = C.RuckRole == kFacingBackRole ? 270.0 : 90.0;
  C.FacingAngle = ToF32((h + 90.0) * kDegToRad);
}

// The carrier leaves the maul with the ball: he takes the line's middle
// slot, whose player goes to a random free slot.
void BreakOff(TWorld& W, TPlayer& C) {
  TTeamBlock& B = W.Teams[1];
  W.gamestate = gsRunning;
  const i32 c = B.BallCarrier;
  const i32 m = B.SetPieceLine[kCentreSlot];
  B.SetPieceLine[kCentreSlot] = c;
  C.LineFlag = kTrue32;
  const int n = B.SupportGridSize < 0 ? 0 : (B.SupportGridSize > kSupportGridMax ? kSupportGridMax : B.SupportGridSize);
  for (int r = 1; r <= n; ++r) {
    for (int k = 1; k <= n; ++k) {
      if (B.SupportGridCells[r][k] == c) B.SupportGridCells[r][k] = 0;
    }
  }
  if (OnField(W, m)) {
    TSlotLine line;
    for (int k = 1; k <= kSlotCount; ++k) line[k] = static_cast<i16>(B.SetPieceLine[k]);
    line = PlaceAtRandomSlot(B.SetPieceSlotPos, static_cast<i16>(m), line);
    for (int k = 1; k <= kSlotCount; ++k) B.SetPieceLine[k] = line[k];
    B.Players[m].LineFlag = kTrue32;
  }
  RestartDecisionsAfterBreakdown(W);
  ReleaseBoundPlayers(W, kFreeRoleA, kFreeRoleB);
  C.RuckTimer2 = 0;
}

void ChoosePass(TWorld& W) {
  TTeamBlock& B = W.Teams[1];
  FindCandidates(W);
  B.MaulCarrierSlot = CarrierSlot(B);
  if (B.MaulCarrierSlot == 0 || !CanPassOut(B, B.MaulCarrierSlot)) return;
  switch (B.MaulOption) {
    case kOptionLeftLine: B.PassReceiver = B.LeftLineCandidate; break;
    case kOptionLeftSupport: B.PassReceiver = B.LeftSupportCandidate; break;
    case kOptionRightLine: B.PassReceiver = B.RightLineCandidate; break;
    case kOptionRightSupport: B.PassReceiver = B.RightSupportCandidate; break;
    default: B.PassReceiver = 0;
  }
  if (B.PassReceiver == 0) return;
  B.HalfTimeAux = kTrue32;
  W.MaulPhase = 3;
}

void PassOut(TWorld& W) {
  TTeamBlock& B = W.Teams[1];
  const i32 option = B.MaulOption;
  if (option < kOptionLeftLine || option > kOptionRightSupport) return;
  if (!OnField(W, B.SetPieceHolder) || !OnField(W, B.PassReceiver)) return;
  TPlayer& H = B.Players[B.SetPieceHolder];
  TPlayer& R = B.Players[B.PassReceiver];
  if (SpotDistance(H) > kHolderOnSpot || SpotDistance(R) > kReceiverOnSpot || H.passtimer > 0) return;
  const bool left = option == kOptionLeftLine || option == kOptionLeftSupport;
  R.shimmytimer = 0;
  if (option == kOptionLeftLine || option == kOptionRightLine) {
    B.ReceiverRunSpeed = ToF32(RandomRange(1, 251) / 1000.0 * R.maxspeed);
    B.ReceiverRunAngle = static_cast<f32>(left ? RandomRange(45, 91) : RandomRange(90, 136));
  } else {
    B.ReceiverRunSpeed = R.maxspeed;
    B.ReceiverRunAngle = 90.0f;
  }
  H.passtimer = kActionTimer;
  B.PassKind = kSetPiecePassKind;
  B.PasserSpeedRef = 0.0f;
  B.PassSide = left ? 1 : 2;
  B.PasserRunAngle = left ? 80.0f : 100.0f;
  DrawReleaseTime(B, left ? H.DummyhalfPassLeftReleaseTime : H.DummyhalfPassRightReleaseTime);
  B.PassDuration = B.PassTimeLeft;
}

// The carrier winding up a pass holds his place and moves along the pass's
// run angle at most at PasserSpeedRef.
void RunWithPass(const TWorld& W, const TTeamBlock& B, TPlayer& C) {
  C.Pos = C.OldPos;
  C.FacingAngle = ToF32((B.PasserRunAngle + 90.0) * kDegToRad);
  if (C.speed > B.PasserSpeedRef) C.speed = B.PasserSpeedRef;
  const TDirection d = HeadingDirection(B.PasserRunAngle);
  const double step = static_cast<double>(C.speed) * W.TimeStep;
  C.Pos.x = ToF32(C.Pos.x + d.x * step);
  C.Pos.z = ToF32(C.Pos.z + d.z * step);
}

}  // namespace

void MaulStrategy(TWorld& W) {
  if (W.Teams[1].DecisionsOn != 0) MaulBallCarrier(W);
}

void MaulBallCarrier(TWorld& W) {
  TTeamBlock& B = W.Teams[1];
  if (W.MaulPhase < 2 || !OnField(W, B.BallCarrier)) return;
  B.MaulCarrierSlot = CarrierSlot(B);
  const bool still = kDriving > W.PackVelocityZ && B.MaulPassTimer <= 0;
  if (still && W.MaulPhase == 2 && B.HalfTimeAux == 0) DrawOption(W);
  if (W.MaulPhase <= 2 && B.MaulPassTimer <= 0 && B.MaulCarrierSlot != 0) MoveBall(W);

  // From here on C is the carrier after any transfer.
  TPlayer& C = B.Players[B.BallCarrier];
  const bool moves = W.TimeStep > 0;
  if (moves) MoveCarrier(W, C);
  B.MaulCarrierSlot = CarrierSlot(B);
  if (B.MaulOption == kOptionBreak && W.MaulPhase <= 2 && B.MaulPassTimer <= 0 && B.MaulCarrierSlot != 0 &&
      CanBreakOff(B, B.MaulCarrierSlot)) {
    BreakOff(W, C);
  }
  if (W.gamestate == gsMaul && B.HalfTimeAux == 0) ChoosePass(W);
  if (W.MaulPhase == 4) PassOut(W);
  if (OnField(W, B.SetPieceHolder) && B.Players[B.SetPieceHolder].passtimer > 0) LayLineOnShape(B);
  if (moves && C.passtimer > 0) RunWithPass(W, B, C);
  TurnSetPieceCarrier(W, C);
}
