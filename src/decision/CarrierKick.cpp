#include "decision/CarrierKick.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/Geometry.h"
#include "core/KickSolving.h"
#include "core/MoveBooks.h"
#include "core/Random.h"
#include "decision/CarrierLookups.h"

namespace {

constexpr f32 kKickTimerStart = 10.0f;      // s, the kick's action timer; ended by the motion steps
constexpr double kPressedShort = 0.475;     // s, a pressed grubber or chip while the book samples
constexpr double kPressed = 1.0;            // s, any other pressed kick
constexpr double kPressureKick = 0.42;      // s, a punt this close to contact turns away
constexpr double kFastKick = 15.0;          // m/s, above this a planned kick is a punt
constexpr i32 kKickTries = 25;              // candidates of one kick search
constexpr f32 kKickStartHeight = 0.5f;      // m, the ball leaves the foot this high
constexpr double kFootOffset = 0.85;        // m from the kicker, along the heading plus kFootTurn
constexpr double kFootTurn = 10.0;          // degrees
constexpr double kSpeedCutShare = 1.125;    // of MaxKickSpeed, the fastest launch kept
constexpr double kNoArrival = 10000.0;      // s, nobody reaches the point
constexpr double kBusyDelay = 0.25;         // s, a player held by a ruck, tackle or getting up
constexpr double kTurnDelay = 0.15;         // s, an opponent short of the point turns first
constexpr double kOutOfPlayDelay = 4.0;     // s, a team-mate offside or ahead of the kicker
constexpr double kAheadOfKicker = 1.75;     // m
constexpr double kPressureTurn = 160.0;     // degrees, run of a pressure kick
constexpr double kPressureFacing = 75.0;    // degrees, facing of a pressure kick
constexpr double kPressureRunShare = 0.09;  // of maxspeed, the pressure kicker's least run
constexpr double kLeastRunSpeed = 1.0;      // m/s
constexpr double kSteepestCentre = 72.5;    // degrees, hang-time centre elevation
constexpr double kSteepTop = 77.5;          // degrees; above it the range becomes 70 to 77.5
constexpr double kSteepBottom = 70.0;       // degrees
const TVector2 kPosts{0.0f, 50.0f};         // m, the aim of a kick at goal

// ------------------------------------------------------------------ look-ups

// Held by a ruck or breakdown, a tackle or getting up: slower to a point.
bool Busy(const TPlayer& P) {
  return P.RuckTimer > 0 || P.RuckTimer2 > 0 || P.TackleAttemptTimer > 0 || P.GettingTackledTimer > 0 ||
         P.OldTackleTimer > 0 || P.standuptimer > 0;
}

// Seconds for P to run to (X, Z) at his maxspeed; kNoArrival when he cannot run.
double RunTime(const TPlayer& P, f32 X, f32 Z) {
  if (!(P.maxspeed > 0)) return kNoArrival;
  return Distance2D(P.Pos.x, P.Pos.z, X, Z) / static_cast<double>(P.maxspeed);
}

// ------------------------------------------------------------------ entry

// The current event asks for a kick now: kind 5 always, kind 55 when the
// nearest defender is close enough.
bool KickAsked(const TWorld& W, const TActionEvent& E) {
  if (E.EventType == 5) return true;
  if (E.EventType != 55) return false;
  const bool booked = PossessionMoveBook(W).SamplingOn != 0;
  const bool shortFuse = booked && (E.EventSubType == 2 || E.EventSubType == 3);
  return W.Teams[1].TimeToContact < (shortFuse ? kPressedShort : kPressed);
}

// No other action holds the carrier.
bool FreeToKick(const TWorld& W, const TPlayer& C) { return C.KickTimer <= 0 && FreeOfOtherActions(W, C); }

// ------------------------------------------------------------------ kind

// The kind the set move's launch implies: low and slow a grubber, lofted
// and slow a chip, fast a punt, fast and steep (65 degrees up) a high punt.
i32 KindOfLaunch(f32 Elevation, f32 Speed) {
  const bool fast = Speed > kFastKick;
  if (Elevation < 0) return 2;
  if (Elevation < 10) return fast ? 1 : 2;
  if (Elevation < 65) return fast ? 1 : 3;
  return fast ? 4 : 3;
}

// The launch's kind, then the one the event names, then the pressure kick:
// a punt close to contact turns away, except straight into touch.
i32 KickKindOf(const TWorld& W, const TActionEvent& E) {
  i32 kind = KindOfLaunch(E.KickLaunchElevation, E.KickLaunchSpeed);
  switch (E.EventSubType) {
    case 1: case 2: case 3: case 4: case 5: case 8:
      kind = E.EventSubType;
      break;
    default:
      break;
  }
  if (W.Teams[1].TimeToContact < kPressureKick && (kind == 1 || kind == 4) && E.EventCode != 5) kind = 8;
  return kind;
}

// ------------------------------------------------------------------ search

// Columns of the elevation table: where the kick goes.
enum TKickColumn { kTouchColumn, kInFieldColumn, kSpaceColumn, kChaseColumn, kGoalColumn };

struct TElevationRow {
  i32 Kind;
  TElevationRange Columns[5];
};

// Degrees by kind; the in-field column is the touch column 10 lower.
constexpr TElevationRow kElevations[] = {
    {1, {{40, 50}, {30, 40}, {30, 50}, {40, 50}, {40, 50}}},
    {2, {{-10, 10}, {-10, 10}, {-10, 10}, {-10, 10}, {-10, 10}}},
    {3, {{45, 55}, {35, 45}, {45, 55}, {40, 47}, {45, 55}}},
    {4, {{55, 65}, {45, 55}, {55, 65}, {55, 65}, {55, 65}}},
    {5, {{40, 50}, {30, 40}, {40, 50}, {40, 50}, {40, 50}}},
    {8, {{54, 60}, {44, 50}, {54, 60}, {54, 60}, {54, 60}}},
};

TElevationRange ElevationFor(i32 Kind, TKickColumn Column) {
  for (const TElevationRow& r : kElevations) {
    if (r.Kind == Kind) return r.Columns[Column];
  }
  return kElevations[0].Columns[Column];
}

// One search request, as block 1's KickSearch fields hold it.
struct TKickSearch {
  f32 Mode;
  bool Grid, Cap;
  double SpeedMin, SpeedMax;          // m/s
  double HeadingFirst, HeadingSecond;  // degrees
  TElevationRange Elevation;          // degrees
};

void RequestSearch(TTeamBlock& B, const TKickSearch& S) {
  B.KickSearchMode = S.Mode;
  B.KickSearchGrid = Flag(S.Grid);
  B.KickSearchSpeedCap = Flag(S.Cap);
  B.KickSearchSpeedMin = ToF32(S.SpeedMin);
  B.KickSearchSpeedMax = ToF32(S.SpeedMax);
  B.KickSearchHeadingMin = ToF32(S.HeadingFirst);
  B.KickSearchHeadingMax = ToF32(S.HeadingSecond);
  B.KickSearchElevationMin = ToF32(S.Elevation.Low);
  B.KickSearchElevationMax = ToF32(S.Elevation.High);
}

void AimSearch(TTeamBlock& B, double X, double Z) {
  B.KickSearchTargetX = ToF32(X);
  B.KickSearchTargetZ = ToF32(Z);
}

// Runs the request of block 1 from (X, 0.5, Z) and makes its answer the
// event's launch and run angle.
void SearchKick(const TWorld& W, const TPlayer& C, TActionEvent& E, double X, double Z) {
  const TTeamBlock& B = W.Teams[1];
  const TLaunchParams L =
      FindKick(kKickTries, B.KickSearchGrid != 0, B.KickSearchSpeedCap != 0, ToF32(X), kKickStartHeight, ToF32(Z),
               B.KickSearchSpeedMin, B.KickSearchSpeedMax, B.KickSearchElevationMin, B.KickSearchElevationMax,
               B.KickSearchHeadingMin, B.KickSearchHeadingMax, B.KickSearchMode, B.KickSearchTargetX,
               B.KickSearchTargetZ, 0.0f, W.PitchWidth, W.PitchLength, C.MaxKickSpeed);
  E.KickLaunchSpeed = L.Speed;
  E.KickLaunchElevation = L.Elevation;
  E.KickLaunchHeading = L.Heading;
  E.Angle = L.Heading;
}

// A search of the kicks that leave the foot 0.85 m from C, beside heading h.
void SearchKickFromFoot(const TWorld& W, const TPlayer& C, TActionEvent& E, double h) {
  const TDirection u = HeadingDirection(h + kFootTurn);
  SearchKick(W, C, E, C.Pos.x + kFootOffset * u.x, C.Pos.z + kFootOffset * u.z);
}

// Per mille rating to a margin in metres: Base for a perfect kicker, Base +
// Spread for a hopeless one.
double RatingMargin(const TPlayer& C, double Base, double Spread) {
  return Base + Spread * (1000.0 - C.KickAccuracyProb) / 1000.0;
}

// ------------------------------------------------------------------ placement 1: touch or down the line

// Deep in his own half, not carried back there, and touch within reach.
bool TouchKickOpen(const TWorld& W, const TPlayer& C) {
  const double line22 = -W.PitchLength / 2.0 + 22.0;
  const double z = C.Pos.z;
  if (!(z < line22 && (line22 - z) / 5.0 > 0.7)) return false;
  if (W.Teams[1].CarriedIntoOwn22 != 0) return false;
  const double half = W.PitchWidth / 2.0;
  const double line = W.BallPos.x >= 0 ? half : -half;
  return std::fabs(line - W.BallPos.x) <= 0.6 * C.MaxKickRange;
}

// Over the near touch line, by a margin that grows as the kicker's rating
// falls; the heading is stepped across the quarter towards that line.
void KickToTouch(TWorld& W, const TPlayer& C, TActionEvent& E, i32 Kind) {
  const double beyond = W.PitchWidth / 2.0 + RatingMargin(C, 3.0, 5.5);
  const bool right = C.Pos.x > 0;
  TTeamBlock& B = W.Teams[1];
  RequestSearch(B, {kKickModeFindTouch, true, true, 0.875 * C.MaxKickSpeed, C.MaxKickSpeed, right ? 90.0 : 5.0,
                    right ? 175.0 : 90.0, ElevationFor(Kind, kTouchColumn)});
  B.KickSearchTargetX = ToF32(right ? beyond : -beyond);
  SearchKick(W, C, E, C.Pos.x, C.Pos.z);
}

// Towards the near touch line and up-field as far as he kicks, landing
// inside the field: the further in from touch, the shorter of the try line.
void KickDownTheLine(TWorld& W, const TPlayer& C, TActionEvent& E, i32 Kind) {
  const double margin = RatingMargin(C, 2.5, 5.75);
  const double half = W.PitchWidth / 2.0;
  const double sign = C.Pos.x > 0 ? 1.0 : -1.0;
  const double a = std::fabs(C.Pos.x - sign * (half - margin));
  const double range = C.MaxKickRange;
  double f = range - 0.5 > a ? std::sqrt(range * range - a * a) : 5.0;
  if (f < 5.0) f = 5.0;
  const double x = std::clamp(C.Pos.x + sign * a, -half + margin, half - margin);
  const double lateral = std::fabs(C.Pos.x - x);
  const double end = W.PitchLength / 2.0;
  double z = std::min(C.Pos.z + f, end - 7.0);
  if (lateral < 12.5) z = std::min(z, end - 8.5);
  if (lateral < 7.0) z = std::min(z, end - 10.0);
  z = std::max(z, C.Pos.z + 0.5);

  TTeamBlock& B = W.Teams[1];
  AimSearch(B, x, z);
  const double h = HeadingToPoint(C.Pos.x, C.Pos.z, B.KickSearchTargetX, B.KickSearchTargetZ, 90.0f);
  double top = C.MaxKickSpeed * Distance2D(C.Pos.x, C.Pos.z, B.KickSearchTargetX, B.KickSearchTargetZ) / range;
  double bottom = top - 5.0;
  if (bottom < 15.0) {
    bottom = 15.0;
    top = 20.0;
  }
  if (top > C.MaxKickSpeed) {
    top = C.MaxKickSpeed;
    if (top <= bottom) bottom = 0.95 * top;
  }
  RequestSearch(B, {kKickModeNearPoint, false, true, bottom, top, h + 7.5, h - 7.5,
                    ElevationFor(Kind, kInFieldColumn)});
  SearchKick(W, C, E, C.Pos.x, C.Pos.z);
}

// ------------------------------------------------------------------ placements 2 and 3: space and contest

// Where candidate landing points are drawn: z from Far back to Near, x from
// Left across Width.
struct TKickBand {
  double Near, Far, Left, Width;
};

// A band up to 5 m beyond the kicker's range (or 26 m when he kicks short),
// Depth deep but at least Lead ahead of him, WidthShare of his range wide,
// kept 5 m inside the touch and try lines.
TKickBand KickBand(const TWorld& W, const TPlayer& C, double Depth, double Lead, double WidthShare) {
  const double range = C.MaxKickRange;
  TKickBand b;
  b.Far = std::min(C.Pos.z + std::max(range, 21.0) + 5.0, W.PitchLength / 2.0 - 5.0);
  b.Near = b.Far - Depth;
  if (C.Pos.z + Lead > b.Near) {
    b.Near = C.Pos.z + Lead;
    if (b.Near >= b.Far) b.Near = 0.95 * b.Far;
  }
  const double half = W.PitchWidth / 2.0;
  b.Width = std::min(WidthShare * range, W.PitchWidth - 10.0);
  b.Left = std::max(C.Pos.x - b.Width / 2.0, -half + 5.0);
  if (b.Left + b.Width > half - 5.0) b.Left = half - 5.0 - b.Width;
  return b;
}

// A point of the band: two draws of 1..1000 thousandths, across then along.
TVector2 DrawBandPoint(const TKickBand& b) {
  const double u1 = RandomRange(1, 1001) / 1000.0;
  const double u2 = RandomRange(1, 1001) / 1000.0;
  return {ToF32(b.Left + u1 * b.Width), ToF32(b.Far + u2 * (b.Near - b.Far))};
}

// The soonest an opponent reaches P; with TurnDelay, one short of P turns
// round first.
double OpponentTime(const TWorld& W, const TVector2& P, bool TurnDelay) {
  double least = kNoArrival;
  for (int p = 1; p <= PlayerCount(W); ++p) {
    const TPlayer& D = W.Teams[2].Players[p];
    double t = RunTime(D, P.x, P.z);
    if (Busy(D)) t += kBusyDelay;
    if (TurnDelay && D.Pos.z < P.z) t += kTurnDelay;
    least = std::min(least, t);
  }
  return least;
}

// The soonest a team-mate of the kicker (he included) can contest at P;
// one offside or ahead of the kicker has to get back first.
double ChaserTime(const TWorld& W, const TPlayer& C, const TVector2& P) {
  const i32 kicker = W.Teams[1].BallCarrier;
  double least = kNoArrival;
  for (int p = 1; p <= PlayerCount(W); ++p) {
    const TPlayer& M = W.Teams[1].Players[p];
    double t = RunTime(M, P.x, P.z);
    if (Busy(M)) t += kBusyDelay;
    if (p != kicker && M.OffsideMark > 0) t += kOutOfPlayDelay;
    if (p != kicker && M.Pos.z > C.Pos.z + kAheadOfKicker) t += kOutOfPlayDelay;
    least = std::min(least, t);
  }
  return least;
}

// Behind the defence: of 25 points, the one deepest up-field that the
// defence is slowest to.
void KickIntoSpace(TWorld& W, const TPlayer& C, TActionEvent& E, i32 Kind) {
  const TKickBand band = KickBand(W, C, 10.0, 5.0, 0.7);
  TVector2 target{};
  double best = std::numeric_limits<double>::lowest();
  double T = 0.0;
  for (int k = 1; k <= 25; ++k) {
    const TVector2 p = DrawBandPoint(band);
    const double t = OpponentTime(W, p, false);
    const double score = 1.5 * p.z + 50.0 * t;
    if (score > best) {
      best = score;
      target = p;
      T = t;
    }
  }
  TTeamBlock& B = W.Teams[1];
  AimSearch(B, target.x, target.z);
  const double h = HeadingToPoint(C.Pos.x, C.Pos.z, target.x, target.z, 90.0f);
  const double top = C.MaxKickSpeed;
  const TElevationRange e = SpaceKickElevation(W, C, Kind, target.x, target.z, T, ToF32(top));
  RequestSearch(B, {kKickModeNearPoint, false, true, 0.4 * top, top, h - 10.0, h + 10.0, e});
  SearchKickFromFoot(W, C, E, h);
}

// For the chasers: the band shaped by the kind, then of 50 points the one
// the kicker's side reaches soonest before the opponents.
void ContestableKick(TWorld& W, const TPlayer& C, TActionEvent& E, i32 Kind) {
  TKickBand band = KickBand(W, C, 30.0, 7.0, 0.85);
  const double D = band.Far - band.Near;
  auto narrow = [&band, D](double NearShare, double FarShare) {
    band.Near += NearShare * D;
    band.Far = band.Near + FarShare * (band.Far - band.Near);
  };
  switch (Kind) {
    case 1: band.Near += 0.75 * D; break;
    case 2: narrow(0.05, 0.55); break;
    case 3: narrow(0.05, 0.7); break;
    case 4: narrow(0.2, 0.9); break;
    case 8: narrow(0.4, 0.99); break;
    default: break;
  }
  TVector2 target{};
  double best = std::numeric_limits<double>::lowest();
  for (int k = 1; k <= 50; ++k) {
    const TVector2 p = DrawBandPoint(band);
    const double score = OpponentTime(W, p, true) - ChaserTime(W, C, p);
    if (score > best) {
      best = score;
      target = p;
    }
  }
  TTeamBlock& B = W.Teams[1];
  AimSearch(B, target.x, target.z);
  const double h = HeadingToPoint(C.Pos.x, C.Pos.z, target.x, target.z, 90.0f);
  RequestSearch(B, {kKickModeNearPoint, false, true, 0.5 * C.MaxKickSpeed, C.MaxKickSpeed, h - 10.0, h + 10.0,
                    ElevationFor(Kind, kChaseColumn)});
  SearchKickFromFoot(W, C, E, h);
}

// ------------------------------------------------------------------ placements 4 and 5

// Over the bar. A drop kick far out may be struck harder than his usual top
// speed and is not held to it.
void KickAtGoal(TWorld& W, const TPlayer& C, TActionEvent& E, i32 Kind) {
  const double h = HeadingToPoint(C.Pos.x, C.Pos.z, kPosts.x, kPosts.z, 90.0f);
  double top = C.MaxKickSpeed;
  const bool dropKick = Kind == 5;
  if (dropKick && Distance2D(C.Pos.x, C.Pos.z, kPosts.x, kPosts.z) / static_cast<double>(C.MaxKickRange) > 0.75) {
    top += 0.125 * C.MaxKickSpeed;
  }
  RequestSearch(W.Teams[1], {kKickModeAtGoal, false, !dropKick, 0.875 * C.MaxKickSpeed, top, h - 5.0, h + 5.0,
                             ElevationFor(Kind, kGoalColumn)});
  SearchKick(W, C, E, C.Pos.x, C.Pos.z);
}

// Square into the near touch, no search.
void KickStraightToTouch(const TPlayer& C, TActionEvent& E) {
  E.KickLaunchHeading = C.Pos.x > 0 ? 181.0f : 1.0f;
  E.Angle = E.KickLaunchHeading;
  E.KickLaunchElevation = 40.0f;
  E.KickLaunchSpeed = 32.0f;
}

// ------------------------------------------------------------------ common end

// The release-time distribution of a kind.
TDistribution& ReleaseOf(TPlayer& C, i32 Kind) {
  switch (Kind) {
    case 2: return C.GrubberReleaseTime;
    case 3: return C.ChipReleaseTime;
    case 4: return C.KickReleaseTime4;
    case 5: return C.DropKickReleaseTime;
    case 8: return C.KickReleaseTime6;
    default: return C.PuntRightFootReleaseTime;
  }
}

// How the kicked ball bounces, by kind: the speed kept, the change of
// elevation and of heading (degrees).
void SetBounces(TWorld& W, i32 Kind) {
  Arr1<TDistribution, 3>& S = W.BounceErrors;
  switch (Kind) {
    case 2:
    case 8:
      SetDistribution(S[1], 0.75, 0.1, 0.65, 0.8);
      SetDistribution(S[2], 7.5, 5, -10, 7.5);
      SetDistribution(S[3], 0, 10, -30, 30);
      break;
    case 3:
      SetDistribution(S[1], 0.75, 0.1, 0.65, 0.8);
      SetDistribution(S[2], -7.5, -5, -20, 0);
      SetDistribution(S[3], 0, 10, -30, 30);
      break;
    case 4:
      SetDistribution(S[1], 0.65, 0.1, 0.65, 0.8);
      SetDistribution(S[2], -10, 10, -20, 0);
      SetDistribution(S[3], 0, 15, -35, 35);
      break;
    default:  // 1 and 5
      SetDistribution(S[1], 0.7, 0.1, 0.6, 0.75);
      SetDistribution(S[2], -10, 10, -15, 15);
      SetDistribution(S[3], 0, 20, -90, 90);
      break;
  }
}

// The launch capped, the run-up and facing (a pressure kick turns away),
// the release countdown, the bounces, and the launch handed to the ball step.
void FinishKick(TWorld& W, TPlayer& C, TActionEvent& E, i32 Kind) {
  const double fastest = kSpeedCutShare * C.MaxKickSpeed;
  if (E.KickLaunchSpeed > fastest) E.KickLaunchSpeed = ToF32(fastest);

  C.KickRunAngle = E.Angle;
  C.KickFacing = C.KickRunAngle;
  if (Kind == 8) {
    E.Angle = NormaliseHeading(ToF32(E.Angle + kPressureTurn));
    C.KickRunAngle = E.Angle;
    C.KickFacing = NormaliseHeading(ToF32(C.KickFacing + kPressureFacing));
  }

  TTeamBlock& B = W.Teams[1];
  C.PuntRightFootReleaseTime.value = 0.5f;
  if (Kind == 8) {
    const double least = kPressureRunShare * C.maxspeed;
    if (E.DesSpeed < least) E.DesSpeed = ToF32(least);
  }
  C.KickRunSpeed = E.DesSpeed;
  TDistribution& release = ReleaseOf(C, Kind);
  release.value = DrawClamped(release);
  B.KickTimeLeft = release.value;
  if (Kind == 4 || Kind == 8) C.PuntRightFootReleaseTime.value = release.value;

  SetBounces(W, Kind);

  if (C.KickRunSpeed < kLeastRunSpeed) C.KickRunSpeed = ToF32(kLeastRunSpeed);
  B.KickChosen = kTrue32;
  B.KickSpeed = E.KickLaunchSpeed;
  B.KickElevation = E.KickLaunchElevation;
  B.KickHeading = E.KickLaunchHeading;
}

// The share of his maxspeed a kicker of the kind runs at, at most.
double RunShareOf(f32 Kind) {
  if (Kind == 1.0f || Kind == 4.0f || Kind == 5.0f) return 0.35;
  if (Kind == 2.0f || Kind == 3.0f) return 0.7;
  if (Kind == 8.0f) return kPressureRunShare;
  return 1.0;
}

}  // namespace

TElevationRange SpaceKickElevation(const TWorld& W, const TPlayer& C, i32 Kind, f32 TargetX, f32 TargetZ,
                                   double T, double SpeedMax) {
  TElevationRange r = ElevationFor(Kind, kSpaceColumn);
  if (Kind != 1 && Kind != 4) return r;
  const double distance = Distance2D(C.Pos.x, C.Pos.z, TargetX, TargetZ);
  if (T + 0.5 > distance / SpeedMax) {
    r = {25.0, 35.0};
  } else {
    // Hang long enough for a team-mate to get there.
    const TPlayer& M = W.Teams[1].Players[RandomRange(1, PlayerCount(W) + 1)];
    double hang = M.maxspeed > 0 ? (TargetZ - C.Pos.z) / static_cast<double>(M.maxspeed) + 0.25 : kNoArrival;
    if (TargetZ >= W.PitchLength / 2.0 - 22.0) hang += 0.25;
    const double up = 0.5 * W.Gravity * hang;  // m/s, the upward speed of that hang
    double centre = kSteepestCentre;
    if (SpeedMax - 0.5 > up) {
      const double ratio = std::min(1.0, std::fabs(up) / SpeedMax);
      centre = std::min(kSteepestCentre, std::asin(ratio) * kRadToDeg);
    }
    r = {centre - 5.0, centre + 5.0};
  }
  // Lifted near the try line and near the kicker.
  const double g = std::fabs(TargetZ - W.PitchLength / 2.0);
  const double k = std::fabs(static_cast<double>(C.Pos.z) - TargetZ);
  const double b1 = std::max(0.0, 40.0 - 0.2 * g - 0.03 * g * g);
  const double b = std::max(0.0, b1 - 0.2 * k - 0.01 * k * k);
  r.Low += b;
  r.High += b;
  if (r.High > kSteepTop) r = {kSteepBottom, kSteepTop};
  return r;
}

void DecideKick(TWorld& W) {
  TPlayer* carrier = CarrierOf(W);
  if (carrier == nullptr) return;
  TPlayer& C = *carrier;
  TActionEvent* event = CurrentEventOf(C);
  if (event == nullptr || !KickAsked(W, *event) || !FreeToKick(W, C)) return;
  TActionEvent& E = *event;

  W.Teams[1].StrategyTimer = 0.0f;
  C.passcatchtimer = 0.0f;
  C.KickTimer = kKickTimerStart;
  const i32 kind = KickKindOf(W, E);
  C.KickKind = static_cast<f32>(kind);

  switch (E.EventCode) {
    case 1:
      if (TouchKickOpen(W, C)) {
        KickToTouch(W, C, E, kind);
      } else {
        KickDownTheLine(W, C, E, kind);
      }
      break;
    case 2: KickIntoSpace(W, C, E, kind); break;
    case 3: ContestableKick(W, C, E, kind); break;
    case 4: KickAtGoal(W, C, E, kind); break;
    case 5: KickStraightToTouch(C, E); break;
    default: break;  // the set move's own launch
  }
  FinishKick(W, C, E, kind);
}

void ContinueKick(TWorld& W) {
  TPlayer* carrier = CarrierOf(W);
  if (carrier == nullptr || !(carrier->KickTimer > 0)) return;
  TPlayer& C = *carrier;
  if (C.ActionSeq.seqON != 0) {
    double v = C.speed;
    if (const TActionEvent* E = CurrentEventOf(C)) v = std::min(v, static_cast<double>(E->DesSpeed));
    v = std::min(v, RunShareOf(C.KickKind) * C.maxspeed);
    v = std::min(v, static_cast<double>(C.maxspeed));
    C.KickRunSpeed = ToF32(v);
  }
  RunFromOldPos(W, C, C.KickFacing, C.KickRunAngle, C.KickRunSpeed);
}
