#include "decision/CarrierLookups.h"
#include "decision/SetPieceHolder.h"

#include <cmath>

#include "core/Geometry.h"
#include "core/KickSolving.h"
#include "core/Random.h"
#include "core/StrategyShapes.h"
#include "decision/BallCarrierDecision.h"
#include "decision/BallRelease.h"
#include "decision/CarrierLookups.h"
#include "hooks/UserControl.h"

namespace {

constexpr f32 kCarrierSpeed = 5.0f;      // m/s of the scrum and lineout carrier
constexpr int kScrumAnimPhase = 7;       // ScrumPhase in which the carrier faces SpecialAnimAngle
constexpr int kScrumPassPhase = 10;      // ScrumPhase from which the base pass is made
constexpr double kReadyReceiver = 0.95;  // m, a line player this near his spot may take the pass
constexpr double kHolderOnSpot = 0.2;    // m
constexpr double kLineoutFacingNear = 0.4;  // m from his spot: the lineout carrier takes LineoutFacing
constexpr double kKickerOnSpot = 0.2;    // m from his spot: the kicker faces the aim point
constexpr f32 kActionTimer = 10.0f;      // s, passtimer of a pass under way
constexpr i32 kSetPiecePassKind = 6;
constexpr int kKickChoicePhase = 4;      // KickRestartSetPhase of the kick set-up
constexpr i32 kTapPenalty = 7;           // RestartType without a kick
constexpr i32 kKickSearchTries = 25;
constexpr f32 kKickUnused = 5.0f;        // FindKick's sixteenth argument

double SpotDistance(const TPlayer& P) { return Distance2D(P.Pos.x, P.Pos.z, P.DesiredPos.x, P.DesiredPos.z); }

// ------------------------------------------------------------------ scrum

// The nearest line player on one side of slot 101 who stands within 0.95 m
// of his spot (slots From, From + Step, ... up to To); 0 when none.
i32 ReadyLinePlayer(const TWorld& W, int From, int To, int Step) {
  const TTeamBlock& B = W.Teams[1];
  for (int k = From; k != To + Step; k += Step) {
    const i32 p = B.SetPieceLine[k];
    if (!OnField(W, p)) continue;
    if (SpotDistance(B.Players[p]) <= kReadyReceiver) return p;
  }
  return 0;
}

// Share of the pitch's width between the left touch line and the mark, at
// least 0.01: the chance of a pass to the left when both sides are ready.
double LeftPassChance(const TWorld& W) {
  if (!(W.PitchWidth > 0)) return 0.01;
  const double p = std::fabs(static_cast<double>(W.RuckOriginX) + W.PitchWidth / 2.0) / W.PitchWidth;
  return p < 0.01 ? 0.01 : p;
}

void ScrumBasePass(TWorld& W) {
  TTeamBlock& B = W.Teams[1];
  if (B.HalfTimeAux != 0 || !OnField(W, B.SetPieceHolder)) return;
  const i32 left = ReadyLinePlayer(W, 100, 1, -1);
  const i32 right = ReadyLinePlayer(W, 102, 201, 1);
  TPlayer& H = B.Players[B.SetPieceHolder];
  if (SpotDistance(H) > kHolderOnSpot || H.passtimer > 0) return;
  B.PassReceiver = 0;
  bool toLeft = left != 0;
  if (left != 0 && right != 0) toLeft = LeftPassChance(W) * 1000.0 >= RandomRange(1, 1001);
  if (left == 0 && right == 0) return;
  B.PassReceiver = toLeft ? left : right;
  TPlayer& R = B.Players[B.PassReceiver];
  B.HalfTimeAux = kTrue32;
  R.shimmytimer = 0;
  B.ReceiverRunSpeed = ToF32(RandomRange(1, 251) / 1000.0 * R.maxspeed);
  H.passtimer = kActionTimer;
  B.PasserRunAngle = HeadingOfFacing(H.FacingAngle);
  B.PassKind = kSetPiecePassKind;
  if (toLeft) {
    B.ReceiverRunAngle = static_cast<f32>(RandomRange(45, 91));
    B.PassSide = 1;
    DrawReleaseTime(B, H.DummyhalfPassLeftReleaseTime);
  } else {
    B.ReceiverRunAngle = static_cast<f32>(RandomRange(90, 135));
    B.PassSide = 2;
    DrawReleaseTime(B, H.DummyhalfPassRightReleaseTime);
  }
  B.PassDuration = B.PassTimeLeft;
}

// ------------------------------------------------------------------ kick restart

// The kick search request: ranges, goal and target.
struct TKickRequest {
  double SpeedLow, SpeedHigh, HeadingLow, HeadingHigh, ElevationLow, ElevationHigh;
  f32 Mode;
  double TargetX, TargetZ;
};

// The option of a kick-off (types 1, 2) or drop-out (4): block 1's match
// team's normal or catch-up half becomes FieldHalf; one weighted draw over
// the first zone's weights of family 4 or 5.
i32 DrawRestartOption(TWorld& W, i32 Type) {
  const TTeamBlock& B = W.Teams[1];
  const TFieldStrategy& F = FieldStrategy[W.Team1InFirstBlock != 0 ? 1 : 2];
  W.FieldHalf = B.CatchingUp != 0 ? F.CatchUp : F.Normal;
  const TOptionFamily& family = W.FieldHalf.Families[Type == 4 ? 5 : 4];
  const i32 n = family.OptionCount < 0 ? 0 : (family.OptionCount > 20 ? 20 : family.OptionCount);
  for (int j = 1; j <= n; ++j) W.ChoiceWeights[j] = family.Weights[1][j];
  return WeightedRandomIndex(W.ChoiceWeights, n);
}

void SetRanges(TKickRequest& Q, double s0, double s1, double h0, double h1, double e0, double e1, f32 mode) {
  Q.SpeedLow = s0;
  Q.SpeedHigh = s1;
  Q.HeadingLow = h0;
  Q.HeadingHigh = h1;
  Q.ElevationLow = e0;
  Q.ElevationHigh = e1;
  Q.Mode = mode;
}

// Kick-off (1, 2) or drop-out (4) ranges by the drawn option.
void RestartOptionRanges(TKickRequest& Q, i32 Type, i32 Option, const TPlayer& K) {
  if (Type == 4) {
    if (Option == 1) SetRanges(Q, 7, 15, 20, 160, 45, 65, kKickModeInField);
    else if (Option == 2) SetRanges(Q, 15, 25, 25, 155, 45, 65, kKickModeInField);
    else if (Option == 3) SetRanges(Q, 25, 32, 35, 145, 45, 65, kKickModeInField);
    else SetRanges(Q, 7, 32, 20, 170, 45, 65, kKickModeInField);
    return;
  }
  const double top = K.MaxGoalKickSpeed;
  if (Option == 1) SetRanges(Q, 10, 15, 25, 155, 45, 60, kKickModeBeyond10);
  else if (Option == 2) SetRanges(Q, 15, 25, 30, 150, 45, 60, kKickModeBeyond10);
  else if (Option == 3 && Type == 1) SetRanges(Q, 0.95 * top, top, 40, 140, 45, 60, kKickModeBeyond10);
  else if (Option == 3) SetRanges(Q, 25, 32, 40, 140, 45, 60, kKickModeBeyond10);
  else SetRanges(Q, 10, 32, 20, 170, 45, 60, kKickModeBeyond10);
}

// Penalty to touch: 3 to 8.5 m beyond touch by the kicker's accuracy, 10 m
// from inside the opponents' 25.
void TouchKickRanges(const TWorld& W, TKickRequest& Q, const TPlayer& K) {
  const double beyond = 3.0 + 5.5 * (1000.0 - K.KickAccuracyProb) * 0.001;
  const double m = K.Pos.z > W.PitchLength / 2.0 - 25.0 ? 10.0 : beyond;
  const double half = W.PitchWidth / 2.0;
  if (K.Pos.x <= 0) {
    SetRanges(Q, 28, 32, 1, 90, 38, 43, kKickModeFindTouch);
    Q.TargetX = -half - m;
  } else {
    SetRanges(Q, 28, 32, 90, 179, 38, 43, kKickModeFindTouch);
    Q.TargetX = half + m;
  }
}

// At goal: 7 degrees either side of the posts; beyond 0.75 of his range the
// kicker may kick harder and lower.
void GoalKickRanges(TKickRequest& Q, const TPlayer& K) {
  const f32 h = HeadingToPoint(K.Pos.x, K.Pos.z, 0.0f, 50.0f, 90.0f);
  const double top = K.MaxGoalKickSpeed;
  SetRanges(Q, 0.95 * top, top, h - 7.0, h + 7.0, 40, 50, kKickModeAtGoal);
  const double d = Distance2D(K.Pos.x, K.Pos.z, 0.0f, 50.0f);
  // A range that is not positive counts as out of range (no division by 0).
  const bool far = K.GoalKickRange > 0 ? d / K.GoalKickRange > 0.75 : true;
  if (!far) return;
  Q.SpeedHigh = Q.SpeedHigh + 0.125 * top + 1.0;
  Q.ElevationLow -= 2.0;
}

void SetUpRestartKick(TWorld& W, const TPlayer& K) {
  TTeamBlock& B = W.Teams[1];
  const i32 type = B.RestartType;
  TKickRequest Q{};
  SetRanges(Q, 15, 32, 20, 160, 40, 50, kKickModeAtGoal);
  Q.TargetX = W.PitchWidth / 2.0 - 5.0;
  Q.TargetZ = 50.0;
  if (type == 1 || type == 2 || type == 4) RestartOptionRanges(Q, type, DrawRestartOption(W, type), K);
  if (type == 5) TouchKickRanges(W, Q, K);
  if (type == 8 || type == 9) GoalKickRanges(Q, K);
  B.KickSearchSpeedMin = ToF32(Q.SpeedLow);
  B.KickSearchSpeedMax = ToF32(Q.SpeedHigh);
  B.KickSearchHeadingMin = ToF32(Q.HeadingLow);
  B.KickSearchHeadingMax = ToF32(Q.HeadingHigh);
  B.KickSearchElevationMin = ToF32(Q.ElevationLow);
  B.KickSearchElevationMax = ToF32(Q.ElevationHigh);
  B.KickSearchMode = Q.Mode;
  B.KickSearchTargetX = ToF32(Q.TargetX);
  B.KickSearchTargetZ = ToF32(Q.TargetZ);
  B.KickSearchGrid = Q.Mode == kKickModeFindTouch ? kTrue32 : kFalse32;
  B.KickSearchSpeedCap = type == 8 || type == 9 ? kFalse32 : kTrue32;
  const TLaunchParams L =
      FindKick(kKickSearchTries, B.KickSearchGrid != 0, B.KickSearchSpeedCap != 0, B.RestartBallPos.x,
               B.RestartBallPos.y, B.RestartBallPos.z, B.KickSearchSpeedMin, B.KickSearchSpeedMax,
               B.KickSearchElevationMin, B.KickSearchElevationMax, B.KickSearchHeadingMin, B.KickSearchHeadingMax,
               B.KickSearchMode, B.KickSearchTargetX, B.KickSearchTargetZ, kKickUnused, W.PitchWidth, W.PitchLength,
               K.MaxKickSpeed);
  B.KickSpeed = L.Speed;
  B.KickElevation = L.Elevation;
  B.KickHeading = L.Heading;
  B.KickChosen = kTrue32;
}

}  // namespace

void ScrumStrategy(TWorld& W) {
  TTeamBlock& B = W.Teams[1];
  for (int i = 1; i <= PlayerCount(W); ++i) ApplyUserControl(W, B.Players[i], ucDecision, B);
  if (OnField(W, B.SetPieceHolder) && B.Players[B.SetPieceHolder].ActionSeq.seqON != 0) {
    BallCarrierDecision(W);
    return;
  }
  if (B.DecisionsOn != 0) ScrumBallCarrier(W);
}

void ScrumBallCarrier(TWorld& W) {
  if (W.ScrumPhase < 2) return;
  TPlayer* C = CarrierOf(W);
  if (C != nullptr && W.TimeStep > 0) {
    MoveSetPieceCarrier(W, *C, kCarrierSpeed);
    f32 h = SetPieceRunHeading(*C);
    if (W.ScrumPhase == kScrumAnimPhase) h = C->SpecialAnimAngle;
    if (C->passtimer > 0) h = 90.0f;
    FaceSetPieceCarrier(W, *C, h);
  }
  if (W.ScrumPhase >= kScrumPassPhase) ScrumBasePass(W);
}

void LineoutStrategy(TWorld& W) {
  TPlayer* C = CarrierOf(W);
  if (W.LineoutPhase < 2 || C == nullptr || !(W.TimeStep > 0)) return;
  MoveSetPieceCarrier(W, *C, kCarrierSpeed);
  f32 h = SetPieceRunHeading(*C);
  if (C->LineOutTimer > 0 && SpotDistance(*C) < kLineoutFacingNear) h = C->LineoutFacing;
  FaceSetPieceCarrier(W, *C, h);
}

void KickRestartStrategy(TWorld& W) {
  if (W.Teams[1].DecisionsOn != 0) KickRestartBallCarrier(W);
}

void KickRestartBallCarrier(TWorld& W) {
  if (W.KickRestartSetPhase < 2) return;
  TPlayer* C = CarrierOf(W);
  if (C != nullptr && W.TimeStep > 0) {
    MoveSetPieceCarrier(W, *C, C->ChaseSpeed);
    f32 h = SetPieceRunHeading(*C);
    if (C->KickTimer > 0) {
      h = C->KickFacing;
    } else if (W.KickRestartSetPhase >= 3 && SpotDistance(*C) < kKickerOnSpot) {
      const TVector2& aim = W.Teams[1].RestartAimPoint;
      h = HeadingToPoint(C->Pos.x, C->Pos.z, aim.x, aim.z, 90.0f);
    }
    FaceSetPieceCarrier(W, *C, h);
  }
  TTeamBlock& B = W.Teams[1];
  if (W.KickRestartSetPhase != kKickChoicePhase || B.RestartType == kTapPenalty || B.KickChosen != 0) return;
  if (OnField(W, B.KickerIndex)) SetUpRestartKick(W, B.Players[B.KickerIndex]);
}
