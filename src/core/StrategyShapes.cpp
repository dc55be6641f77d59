#include "core/StrategyShapes.h"

#include <cmath>
#include <cstring>
#include <numbers>

#include "core/Geometry.h"
#include "core/OptionWeights.h"

TStrategyParams StrategyParams;
Arr1<TFieldStrategy, 2> FieldStrategy;

namespace {

double TanDegrees(double a) { return std::tan(a * std::numbers::pi / 180.0); }

// A four-segment profile rising over 100 to e1, then over 15 to e2, back
// down over 15 to e1 and over 100 to 0; the two angles set its slopes.
void BuildShape(TStrategyShape& s, double alpha1, double alpha2) {
  s = TStrategyShape{};
  s.SegmentCount = 4;
  s.Capacity = 20;
  s.CurrentSegment = 3;
  const f32 durations[4] = {100.0f, 15.0f, 15.0f, 100.0f};
  for (int k = 1; k <= 4; ++k) s.Durations[k] = durations[k - 1];
  const f32 e1 = static_cast<f32>(std::fabs(TanDegrees(alpha1) * 100.0) + 0.0);
  const f32 e2 = static_cast<f32>(std::fabs(TanDegrees(alpha2) * 15.0) + e1);
  s.StartValues[1] = 0.0f;
  s.EndValues[1] = e1;
  s.StartValues[2] = e1;
  s.EndValues[2] = e2;
  s.StartValues[3] = e2;
  s.EndValues[3] = e1;
  s.StartValues[4] = e1;
  s.EndValues[4] = 0.0f;
}

// Every event of the blank template.
TActionEvent BlankEvent() {
  TActionEvent e{};
  e.Angle = 90.0f;
  e.FaceAngle = 90.0f;
  e.FaceTarget = 1;
  e.DesSpeed = 10.5f;
  e.DistOrig = 100.0f;
  e.Deadline = 50.0f;
  e.RelPlayer = 1;
  e.RelDistance = 5.0f;
  e.RelHeading = 90.0f;
  e.Intercept = kTrue32;
  e.KickLaunchSpeed = 20.0f;
  e.KickLaunchElevation = 45.0f;
  e.KickLaunchHeading = 90.0f;
  e.Scale = 10.0f;
  e.RangeHigh = 10.0f;
  e.AimAngle = 5.0f;
  return e;
}

// Changes that the three events of the support runs share.
void MakeSupportEvent(TActionEvent& e, f32 distOrig) {
  e.LongPass = kTrue32;
  e.DesSpeed = 10.0f;
  e.SpeedFraction = 1.0f;
  e.DistOrig = distOrig;
  e.RelOwnTeam = kTrue32;
  e.RelPlayer = 10;
  e.FollowOffset = 1;
}

// The support run's middle event: a point 1.5 m up the pitch and c to the
// side, with c the sideways reach of the first event.
void SetSupportMiddleEvent(TWorld& W, TActionSeq& seq, double side) {
  const double c = std::fabs(std::cos(seq.EventArray[1].RelHeading * std::numbers::pi / 180.0) * 1.75);
  W.SearchBestDist = 1.5f;
  W.SearchDist = static_cast<f32>(c);
  const f32 x = static_cast<f32>(side * W.SearchDist);
  seq.EventArray[2].RelDistance = Distance2D(0.0f, 0.0f, x, W.SearchBestDist);
  seq.EventArray[2].RelHeading = HeadingToPoint(0.0f, 0.0f, x, W.SearchBestDist, 30.0f);
}

}  // namespace

void BuildStrategyShapes() {
  struct Angles {
    int shape;
    double alpha1, alpha2;
  };
  static const Angles kShapes[] = {{1, 30.0, 20.0}, {2, 35.0, 22.5}, {3, 20.0, 25.0}, {4, 10.0, 37.5},
                                   {5, 15.0, 40.0}, {6, 20.0, 42.5}, {10, 10.0, 20.0}};
  for (const Angles& a : kShapes) BuildShape(StrategyParams.Shapes[a.shape], a.alpha1, a.alpha2);
}

void BuildActionSeqTemplates(TWorld& W) {
  TActionSeq& blank = StrategyParams.ActionSeqTemplate;
  blank = TActionSeq{};
  blank.seqON = kTrue32;
  blank.NumEvents = 1;
  for (TActionEvent& e : blank.EventArray) e = BlankEvent();

  TActionSeq& neg = StrategyParams.SupportTemplateNegX;
  neg = blank;
  neg.seqON = kTrue32;
  neg.NumEvents = 3;
  neg.CurrEventIndex = 0;
  const f32 distances[3] = {5.0f, 5.0f, 15.0f};
  for (int k = 1; k <= 3; ++k) MakeSupportEvent(neg.EventArray[k], distances[k - 1]);
  for (int k = 1; k <= 2; ++k) {
    neg.EventArray[k].EndCondition = 6;
    neg.EventArray[k].RelMovementOn = kTrue32;
  }
  neg.EventArray[3].Duration = 1.0f;
  neg.EventArray[1].RelDistance = 1.75f;
  neg.EventArray[1].RelHeading = 320.0f;
  neg.EventArray[3].RelDistance = 2.0f;
  neg.EventArray[3].RelHeading = 340.0f;
  SetSupportMiddleEvent(W, neg, -1.0);

  TActionSeq& pos = StrategyParams.SupportTemplatePosX;
  pos = neg;
  pos.EventArray[1].RelHeading = 220.0f;
  SetSupportMiddleEvent(W, pos, +1.0);
}

void BuildDefaultFieldZones() {
  const TWorld& W = World;
  TFieldStrategy& team1 = FieldStrategy[1];
  // From zero, so that a second set-up starts from the same defaults.
  std::memset(&team1, 0, sizeof team1);
  team1.CatchUpThreshold = 1.0f;
  TFieldStrategyHalf& half = team1.Normal;
  half.ZoneCount = 12;
  const double halfLength = W.PitchLength / 2.0;
  const double halfWidth = W.PitchWidth / 2.0;
  // Zone 1 is the own in-goal, zones 2 to 11 split the field, zone 12 is the
  // far in-goal; each zone starts where the one before ends.
  static const double kDepths[10] = {11, 11, 9, 9, 10, 10, 9, 9, 11, 11};
  double z1 = -halfLength - W.InGoalDepth;
  for (int k = 1; k <= 12; ++k) {
    double z2 = halfLength + W.InGoalDepth;
    if (k == 1) z2 = -halfLength;
    if (k >= 2 && k <= 11) z2 = z1 + kDepths[k - 2];
    half.Zones[k] = TZoneRect{static_cast<f32>(-halfWidth), static_cast<f32>(z1),
                              static_cast<f32>(halfWidth), static_cast<f32>(z2)};
    z1 = z2;
  }
  TOptionFamily& general = half.Families[1];
  general.OptionCount = 6;
  static const i16 kWeights[6] = {100, 100, 30, 30, 5, 0};
  for (int zone = 1; zone <= 30; ++zone) {
    for (int j = 1; j <= 6; ++j) general.Weights[zone][j] = kWeights[j - 1];
  }
  NormaliseOptionWeights(general);
  // Every zone needs a line shape from 1 upward; "standard" holds wherever
  // the field-strategy file names none.
  for (int zone = 1; zone <= 30; ++zone) {
    half.OpenPlayStrategy[zone] = 2.0f;
    half.SetPlayStrategy[zone] = 5.0f;
  }
  team1.CatchUp = team1.Normal;
  FieldStrategy[2] = team1;
}
