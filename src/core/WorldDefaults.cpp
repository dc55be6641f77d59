#include "core/WorldDefaults.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "core/AuxState.h"
#include "core/Kinematics.h"
#include "core/MoveBooks.h"
#include "core/Random.h"
#include "core/Replacements.h"
#include "core/StrategyShapes.h"

bool32 SkipLineTables = kFalse32;
f32 PositionScale = 0;

namespace {

// ---------------------------------------------------------------- helpers

struct TSegment {
  double Duration, From, To;
};

template <size_t N>
void SetShape(TStrategyShape& s, const TSegment (&segments)[N], i32 current) {
  static_assert(N >= 1 && N <= 20);
  s = TStrategyShape{};
  s.SegmentCount = static_cast<i32>(N);
  s.Capacity = 20;
  s.CurrentSegment = current;
  for (size_t k = 0; k < N; ++k) {
    const int i = static_cast<int>(k) + 1;
    s.Durations[i] = static_cast<f32>(segments[k].Duration);
    s.StartValues[i] = static_cast<f32>(segments[k].From);
    s.EndValues[i] = static_cast<f32>(segments[k].To);
  }
}

// ---------------------------------------------------------------- tables

// Team-mates by shirt number 1 to 15, in order of preference.
constexpr int kCoverListLength = 7;
constexpr i16 kCoverLists[15][kCoverListLength] = {
    {3, 2, 4, 5, 6, 7, 8},    {1, 3, 4, 5, 6, 7, 8},    {1, 2, 4, 5, 6, 7, 8},
    {5, 2, 3, 1, 6, 7, 8},    {4, 2, 3, 1, 6, 7, 8},    {7, 8, 4, 5, 1, 2, 3},
    {6, 8, 4, 5, 1, 2, 3},    {7, 6, 4, 5, 1, 2, 3},    {10, 12, 13},
    {12, 13, 15, 9, 14, 11},  {15, 14, 12},             {13, 15, 10, 9, 11, 14},
    {12, 15, 10},             {15, 11, 12},             {11, 14, 12},
};

// The default roster by shirt number 1 to 15.
struct TRosterEntry {
  double Height, Weight, MaxSpeed, Acceleration;
  i16 LookForOffloadProb;
  double SupportCommitProb;
  i16 BreakdownChance;
  double RunAngleMean, RunAngleSd, RunAngleMin, RunAngleMax;
  double DefenceTimeMean, DefenceTimeSd;
  double ActionTime1Mean, ActionTime1Max;
  double StrengthScaleMean, StrengthScaleSd;
  double ActionTime3Mean, ActionTime3Sd;
};

// The sd of 0.8 and 0.9 for shirts 7 and 8 are kept as they are: stored
// matches rely on them.
constexpr TRosterEntry kRoster[15] = {
    {1.84, 118, 8.1, 5.5, 300, 900, 700, 0.3, 0.1, 0.01, 0.5, 4.0, 1.5, 1.0, 2.0, 2.0, 0.5, 0.2, 0.4},
    {1.83, 110, 8.0, 5.1, 300, 900, 700, 0.38, 0.15, 0.1, 0.55, 4.0, 1.5, 1.0, 2.0, 2.0, 0.5, 0.2, 0.4},
    {1.86, 112, 8.1, 5.8, 300, 900, 700, 0.25, 0.12, 0.01, 0.45, 4.0, 1.5, 1.0, 2.0, 2.0, 0.5, 0.2, 0.4},
    {1.95, 113, 8.3, 5.8, 300, 900, 500, 0.35, 0.1, 0.05, 0.55, 4.0, 1.5, 1.2, 3.0, 2.0, 0.5, 0.4, 0.4},
    {1.99, 118, 8.4, 5.9, 300, 900, 500, 0.25, 0.1, 0.01, 0.35, 4.0, 1.5, 1.0, 2.0, 2.0, 0.5, 0.2, 0.4},
    {1.96, 105, 8.3, 6.5, 300, 950, 750, 0.3, 0.12, 0.01, 0.45, 4.0, 1.5, 1.0, 2.0, 2.0, 0.5, 0.2, 0.4},
    {1.87, 106, 8.35, 6.2, 300, 999, 999, 0.2, 0.8, 0.01, 0.3, 4.0, 1.5, 1.0, 2.0, 2.0, 0.5, 0.2, 0.4},
    {1.93, 105, 8.15, 6.0, 300, 950, 750, 0.35, 0.9, 0.01, 0.48, 4.0, 1.5, 1.0, 2.0, 2.0, 0.5, 0.2, 0.4},
    {1.82, 92, 8.4, 7.0, 100, 800, 400, 0.21, 0.11, 0.01, 0.35, 3.5, 1.5, 1.0, 2.0, 1.5, 0.5, 0.5, 0.4},
    {1.79, 91, 8.45, 7.1, 100, 400, 200, 0.21, 0.07, 0.01, 0.31, 3.0, 1.5, 1.5, 3.0, 1.8, 0.5, 1.0, 0.4},
    {1.85, 95, 9.0, 7.0, 100, 400, 200, 0.28, 0.15, 0.01, 0.47, 2.0, 1.5, 1.8, 3.0, 2.0, 0.5, 1.0, 0.4},
    {1.8, 95, 8.4, 7.3, 200, 550, 200, 0.3, 0.11, 0.01, 0.42, 4.0, 3.2, 1.2, 2.0, 1.7, 0.5, 0.5, 0.4},
    {1.86, 95, 8.4, 7.5, 200, 550, 200, 0.27, 0.11, 0.01, 0.39, 4.0, 3.0, 1.2, 2.0, 1.75, 0.5, 0.5, 0.4},
    {1.89, 98, 8.8, 7.4, 100, 450, 200, 0.32, 0.11, 0.01, 0.5, 2.5, 1.5, 1.0, 2.0, 1.0, 0.25, 0.5, 0.4},
    {1.84, 92, 8.7, 7.7, 100, 450, 200, 0.24, 0.08, 0.01, 0.42, 2.0, 1.5, 1.25, 2.0, 1.4, 0.5, 0.75, 0.4},
};

// ---------------------------------------------------------------- steps

// Head flags and both blocks' statistics and ruck times.
void SetHeadStart(TWorld& W) {
  W.injurieson = kTrue32;
  W.CatchSearchStep = 0.01f;
  W.CatchReach = 0.65f;
  // A pass's throw is chosen among this many points along the receiver's
  // run: the whole candidate table. Nothing else sets the count; left at 0,
  // no pass would ever be thrown.
  W.ThrowTargetCount = static_cast<i16>(decltype(TThrowTargetTable::Entries)::kSize);
  W.TimeSinceSetPiece = 10.0f;
  SkipLineTables = kTrue32;
  W.HalfTimeReached = kTrue32;
  for (TTeamBlock& T : W.Teams) {
    T.PlayOption = 1;
    SetDistribution(T.RuckTime, 2.9, 1.51, 0.62, 2.9 + 2.5 * 1.51);
    SetDistribution(T.TurnoverRuckTime, 2.9, 1.51, 1.0, 2.9 + 2.5 * 1.51);
  }
}

// The move-book heads and the team-mate tables by shirt number.
void SetMoveBookHeads(TWorld& W) {
  for (TMoveBook& B : MoveBooks) {
    B.SamplingOn = kFalse32;
    B.MoveCount = 150;
  }
  for (TTeamBlock& T : W.Teams) T.MoveIndex = 1;
  auto& lists = MoveBooks[1].CoverLists;
  for (int shirt = 1; shirt <= 15; ++shirt) {
    for (int i = 1; i <= 25; ++i) {
      lists[shirt][i] = (i <= kCoverListLength) ? kCoverLists[shirt - 1][i - 1] : i16{0};
    }
  }
  MoveBooks[2].CoverLists = lists;
}

// Clock, flags and the two head distributions.
void SetClockAndFlags(TWorld& W) {
  W.DefenceCycleTimer = 0;
  W.clock = 0;
  W.halflength = 2400.0f;
  W.RecordingOn = kTrue32;
  W.LiveWorld = kTrue32;
  W.Team1InFirstBlock = kTrue32;
  SetDistribution(W.PassDrawParams, 0.15, 0.1, 0.075, 0.4);
  // Its mean lies below its min; kept as it is.
  SetDistribution(W.HeadDistribution2, 0.25, 0.2, 0.3, 0.55);
  for (TInfringement& I : W.Infringements) I.Kind = 0;
}

// The pitch.
void SetPitch(TWorld& W) {
  W.PlayersPerTeam = 15;
  PositionScale = 50.0f;
  W.PitchLength = 100.0f;
  W.PitchWidth = 70.0f;
  W.InGoalDepth = 10.0f;
  W.GoalPostGap = 5.6f;
  W.PostRadius = 0.15f;
  W.PostHeight = 7.0f;
  W.CrossbarHeight = 3.0f;
  W.TryLineZ = static_cast<f32>(0.5 * W.PitchLength);
  W.PitchConst5 = 5.0f;
  W.TouchLineX[1] = static_cast<f32>(-0.5 * W.PitchWidth);
  W.TouchLineX[2] = static_cast<f32>(0.5 * W.PitchWidth);
  // Until the defence finds a running line that meets touch: the try line.
  W.RunLineTouchZ = static_cast<f32>(0.5 * W.PitchLength);
}

// Profiles drawn and the rest animation, block 1 then block 2.
void SetProfilesAndAnimation(TWorld& W) {
  for (TTeamBlock& T : W.Teams) {
    for (int p = 1; p <= PlayerCount(W); ++p) {
      TPlayer& P = T.Players[p];
      P.ProfileChoice[1] = 0;
      ChooseRandomProfile(P.ProfileChoice);
      SetBreathing(P);
    }
  }
}

// Support grid: weights 1 in rows 1 to 7 of the 11 x 11 square.
void SetSupportGrid(TTeamBlock& T) {
  constexpr int kSide = 11;
  T.SupportGridSize = kSide;
  for (int r = 1; r <= kSide; ++r) {
    for (int c = 1; c <= kSide; ++c) {
      T.SupportGridWeights[r][c] = (r <= 7) ? 1 : 0;
      T.SupportGridWeightsAlt2[r][c] = 0;
    }
  }
  T.SupportGridWeightsAlt1 = T.SupportGridWeights;
  constexpr int kAlt2Cells[][2] = {{1, 1}, {1, 2}, {1, 3}, {1, 4}, {1, 8}, {1, 9}, {1, 10},
                                   {1, 11}, {2, 5}, {2, 7}, {3, 3}, {3, 4}, {3, 8}, {3, 9}};
  for (const auto& cell : kAlt2Cells) T.SupportGridWeightsAlt2[cell[0]][cell[1]] = 15;
}

// The side-specific spot offsets of the pack as block 1 holds them (behind
// the mark, negative z); side -1 mirrors them in z for block 2.
void SetSetPiecePoints(const TWorld& W, TTeamBlock& T, double side) {
  TSpotTable& S = T.PackSpots;
  for (int i = 1; i <= 5; ++i) {
    const f32 x = static_cast<f32>(i - 3);
    S.OffsetA[i] = {x, 0.0f};
    S.OffsetA[i + 5] = {x, static_cast<f32>(side * -0.75)};
  }
  const double s = W.PackSpacing;    // 0.6
  const double d = W.RuckDepthUnit;  // 0.5
  const double points[10][2] = {{0, 0},          {-s, 0},         {s, 0},          {-s / 2, -d},
                                {s / 2, -d},     {0, -2 * d},     {-1.5 * s, -d},  {1.5 * s, -d},
                                {-s / 2, -2 * d}, {s / 2, -2 * d}};
  for (int i = 1; i <= 10; ++i) {
    // 0.0 + keeps the zeros of the mirrored side at +0.
    S.OffsetB[i] = {static_cast<f32>(points[i - 1][0]),
                        static_cast<f32>(0.0 + side * points[i - 1][1])};
  }
}

// The line profile of block 1 and the slot offsets filled from it.
void SetLineProfile(TTeamBlock& T) {
  SetShape(T.CurrentStrategy, {{100, 0, 40}, {100, 40, 0}}, 0);
  for (int k = -100; k <= 100; ++k) {
    const f32 z = (k == 0) ? 0.0f : ProfileValueAt(T.CurrentStrategy, static_cast<f32>(k));
    T.LineSlotPos[101 + k] = {static_cast<f32>(k), z};
  }
}

// The team-block working defaults.
void SetBlockWorkingDefaults(TWorld& W) {
  TTeamBlock& T1 = W.Teams[1];
  TTeamBlock& T2 = W.Teams[2];
  SetSupportGrid(T1);
  W.PackSpacing = 0.6f;
  W.RuckDepthUnit = 0.5f;
  W.RuckBindDepth = 0.4f;
  W.PackAux = 0.15f;
  SetSetPiecePoints(W, T1, 1.0);
  SetSetPiecePoints(W, T2, -1.0);
  constexpr f32 kDistances[8] = {0.5f, 1, 2, 4, 8, 16, 32, 50};
  for (int i = 1; i <= 8; ++i) T1.DistanceTable[i] = kDistances[i - 1];
  SetLineProfile(T1);
  SetShape(T1.PeakShape,
           {{100, 0, 35}, {3, 35, 38}, {0.5, 38, 41}, {0.5, 41, 38}, {3, 38, 35}, {100, 35, 0}}, 4);
  constexpr double kPeaks[4] = {12.5, 10.5, 14.5, 17.5};
  for (int i = 1; i <= 4; ++i) {
    const double p = kPeaks[i - 1];
    SetShape(T1.PeakShapes[i], {{100, 0, 5}, {15, 5, p}, {15, p, 5}, {100, 5, 0}}, 3);
  }
  SetShape(T1.FlatShape, {{100, 0.2, 0.2}, {100, 0.2, 0.2}}, 0);
  // The tail values are set on block 2; CopyBlocks carries them to block 1.
  T2.DefenceShapeValue = 0.2f;
  SetShape(T2.DefenceStepShape,
           {{100, 0, -40}, {4, -40, -42}, {5, -42, -42}, {5, -42, -42}, {4, -42, -40}, {100, -40, 0}},
           4);
  SetShape(T2.DefenceShape, {{100, 0, -5}, {100, -5, 0}}, 0);
}

// Physics and the eight directions round a player.
void SetPhysics(TWorld& W) {
  W.Gravity = 9.81f;
  W.GroundFriction = 1.06f;
  constexpr f32 kHeadings[8] = {180, 225, 270, 315, 0, 45, 90, 135};
  constexpr int kOffsets[4] = {-2, -3, 2, 3};
  for (int k = 1; k <= 8; ++k) {
    W.PointHeadings[k] = kHeadings[k - 1];
    for (int j = 1; j <= 4; ++j) W.PointNeighbours[k][j] = (k - 1 + kOffsets[j - 1] + 8) % 8 + 1;
  }
}

// The pass and kick release times and the strength values, in
// record order (the draws among them are part of the order of draws).
void SetReleaseAndStrengthDefaults(TPlayer& P) {
  SetDistribution(P.PassSpread, 0, 0.05, 0, 1.0);
  SetDistribution(P.PopPassLeftReleaseTime, 0.15, 0.01, 0.15, 0.25);
  SetDistribution(P.ShortPassLeftReleaseTime, 0.2, 0.01, 0.2, 0.3);
  SetDistribution(P.MediumPassLeftReleaseTime, 0.25, 0.01, 0.25, 0.35);
  SetDistribution(P.LongPassLeftReleaseTime, 0.3, 0.01, 0.3, 0.4);
  SetDistribution(P.StandingStillPassLeftReleaseTime, 0.25, 0.01, 0.25, 0.35);
  SetDistribution(P.DummyhalfPassLeftReleaseTime, 0.4, 0.01, 0.3, 0.55);
  SetDistribution(P.PopPassRightReleaseTime, 0.15, 0.01, 0.15, 0.25);
  SetDistribution(P.ShortPassRightReleaseTime, 0.2, 0.01, 0.2, 0.3);
  SetDistribution(P.MediumPassRightReleaseTime, 0.25, 0.01, 0.25, 0.35);
  SetDistribution(P.LongPassRightReleaseTime, 0.3, 0.01, 0.3, 0.4);
  SetDistribution(P.StandingStillPassRightReleaseTime, 0.25, 0.01, 0.25, 0.35);
  SetDistribution(P.DummyhalfPassRightReleaseTime, 0.4, 0.01, 0.3, 0.55);
  // Its mean (0.45) lies above its max (0.31), so every draw gives 0.31 or
  // less; kept as it is.
  const double longMean = P.LongPassLeftReleaseTime.mean;
  SetDistribution(P.DrawAndPassStartTime, 0.15 + longMean, 0.075, 0.15, 0.01 + longMean);
  P.DrawAndPassStartTime.value = DrawDistribution(P.DrawAndPassStartTime);
  SetDistribution(P.OffloadReleaseTime, 0.55, 0.04, 0.5, 0.6);
  SetDistribution(P.PuntRightFootReleaseTime, 0.375, 0.04, 0.35, 0.45);
  SetDistribution(P.GrubberReleaseTime, 0.3, 0.04, 0.25, 0.35);
  SetDistribution(P.ChipReleaseTime, 0.3, 0.04, 0.25, 0.35);
  SetDistribution(P.KickReleaseTime4, 0.375, 0.04, 0.35, 0.45);
  SetDistribution(P.DropKickReleaseTime, 0.75, 0.05, 0.75, 0.85);
  SetDistribution(P.KickReleaseTime6, 0.5, 0.05, 0.45, 0.65);
  SetDistribution(P.ScrumPower, 500, 100, 1, 1200);
  SetDistribution(P.StrengthPower, 500, 100, 1, 1200);
  SetDistribution(P.StrengthPower2, 1000, 100, 1, 1200);
  P.StrengthPower2.value = DrawDistribution(P.StrengthPower2);
  SetDistribution(P.RuckFactor, 0.9, 0.05, 0.01, 0.98);
  P.RuckFactor.value = DrawDistribution(P.RuckFactor);
}

// The defaults of one player record.
void SetPlayerDefaults(TPlayer& P) {
  P.turnoverLossFactor = 100.0f;
  P.maxGenPlaySims = 7;
  P.simsPerGenPlayAction = 1;
  SetDistribution(P.TacklerCount, 1.25, 0.1, 0.01, 2.0);
  P.TacklerCountValue = DrawDistribution(P.TacklerCount);
  constexpr f32 kDecisionValues[5] = {0.25f, 0.25f, 0.5f, 0.5f, 0};
  for (int i = 1; i <= 5; ++i) P.DecisionValues[i] = kDecisionValues[i - 1];
  SetDistribution(P.AwarenessReactionTime, 0.1, 0.075, 0, 0.75);
  P.injury = 1;
  P.GoalKickDeviation0 = 0;
  P.GoalKickDeviation1 = 5.0f;
  P.GoalKickDeviation2 = 10.0f;
  P.KickDeviation0 = 0;
  P.KickDeviation1 = 5.0f;
  P.KickDeviation2 = 15.0f;
  SetDistribution(P.AuxDistribution1, 0.25, 0.1, 0.01, 0.5);
  P.SupportRunCall = kFalse32;
  P.SupportAfterPassProb = 1000.0f;
  P.BallTrack = 1;
  P.PosCopyX = P.Pos.x;
  P.PosCopyZ = P.Pos.z;
  P.DesiredSpeedAux = 0.25f;
  P.speed = 0;
  P.Velocity = {0, 0};
  P.OldVelocity = {0, 0};
  P.passtimer = P.passcatchtimer = P.DiveTimer = P.shimmytimer = P.standuptimer = 0;
  P.BreakTackleTimer = P.StepTimer = P.KickTimer = P.freeballcatchtimer = 0;
  P.ForcedRunTimer = P.SpecialAnimTimer = P.CelebrateTimer = 0;
  P.OffsideMark = 0;
  P.maxpassspeed = 12.0f;
  P.maxpassspeed2 = 20.0f;
  P.KickProb = 750;
  P.KickAccuracyProb = 750;
  P.MaxKickSpeed = 20.0f;
  P.MaxGoalKickSpeed = 20.0f;
  P.SpeedLossSlope = -0.658f;
  SetDistribution(P.AuxDistribution2, 0.7, 0.1, 0.25, 0.85);
  SetDistribution(P.DefensiveRunningAngleReactionTime, 0.12, 0.08, 0.01, 0.5);
  SetDistribution(P.ReactionDelayExtra1, 0.1, 0.04, 0, 0.5);
  SetDistribution(P.ReactionDelayExtra2, 0.1, 0.04, 0, 0.5);
  SetDistribution(P.ReactionDelayA, 0.05, 0.05, 0, 0.2);
  SetDistribution(P.ReactionDelayB, 0.1, 0.05, 0.01, 0.15);
  SetDistribution(P.StrengthChance, 0.2, 0.1, 0.01, 1.0);
  P.passAccuracySDDir = 2.3f;
  P.passAccuracySDLaunch = 2.3f;
  P.passImagAccuracyFactor = 1.0f;
  SetReleaseAndStrengthDefaults(P);
  P.ElusivenessValue = 500.0f;
  P.FinesseProb = 100;
  P.IndisciplineProb = 100;
  P.MakeTackleProb = 801;
  P.BreakTackleProb = 101;
  P.CleanCatchProb = 985;
  P.HighBallProb = 801;
  P.HoldBallOnContactProb = 901;
  P.BreakTackleProb2 = 801;
  P.fend = 801;
  P.ElusivenessProb = 501;
  P.LineoutJumpProb = 501;
  P.lineoutjumping = 501;
  P.lineoutthrow = 501;
  P.AwarenessProb = 900;
  P.MarkProb = 500;
  P.KickReturnKickProb = 500;
  P.ShimmyAux1 = 2.9f;
  P.ShimmyAux2 = 3.2f;
  P.trycelebration = 1;
  P.TryCelebrationChosen = kFalse32;
  P.FreeBallCatchValue = 0;
  P.HighBallProb2 = 1;
  P.DisciplineProb = 900;
  // Decision values that no rating gives: an even chance, nothing extra.
  P.SideStepBeatProb = 500;
  P.DummyPassRating = 500;
  P.DummyBiteRating = 500;
  // Only the comparison of two players' values counts: equal values give no
  // ball-back roll at the tackle.
  P.BallSecurity = 500;
  P.StandUpSpeed = 0;
  P.ExtraMovesFlag = kFalse32;
  P.ReplanInterval = TDistribution{};
}

// The roster values of one shirt number.
void SetRosterValues(TPlayer& P, int shirt) {
  const TRosterEntry& R = kRoster[shirt - 1];
  P.Height = static_cast<f32>(R.Height);
  P.Weight = static_cast<f32>(R.Weight);
  P.maxspeed = static_cast<f32>(R.MaxSpeed);
  P.MaxSpeedNonFatigued = P.maxspeed;
  P.JogSpeed = static_cast<f32>(0.75 * P.maxspeed);
  P.CruiseSpeed = static_cast<f32>(0.7 * P.maxspeed);
  P.Acceleration = static_cast<f32>(R.Acceleration);
  P.AccelerationInit = P.Acceleration;
  P.LookForOffloadProb = R.LookForOffloadProb;
  P.SupportCommitProb = static_cast<f32>(R.SupportCommitProb);
  P.BreakdownChance = R.BreakdownChance;
  P.BreakdownValue = 900.0f;
  SetDistribution(P.RunningAngleReactionTime, R.RunAngleMean, R.RunAngleSd, R.RunAngleMin, R.RunAngleMax);
  SetDistribution(P.DefenceTime, R.DefenceTimeMean, R.DefenceTimeSd, 0.1, 7.0);
  SetDistribution(P.ActionTime1, R.ActionTime1Mean, 0.5, 1.0, R.ActionTime1Max);
  SetDistribution(P.StrengthScale, R.StrengthScaleMean, R.StrengthScaleSd, 1.0, 3.0);
  SetDistribution(P.ActionTime3, R.ActionTime3Mean, R.ActionTime3Sd, 0, 3.0);
  if (shirt == 15) {
    P.Fatigued = kFalse32;
    P.FatigueLevel = 0;
    P.FatigueFreshTime = 200;
    P.FatigueTiredTime = 45;
    P.FatigueTimer = static_cast<f32>(P.FatigueFreshTime + RandomRange(1, 11));
  }
}

// Block 1's players: defaults, roster values by shirt number, body size.
void SetBlockOnePlayers(TWorld& W) {
  TTeamBlock& T = W.Teams[1];
  for (TPlayer& P : T.Players) SetPlayerDefaults(P);
  for (int p = 1; p <= std::min(PlayerCount(W), 15); ++p) SetRosterValues(T.Players[p], p);
  for (int p = 1; p <= PlayerCount(W); ++p) {
    TPlayer& P = T.Players[p];
    P.BodyWidth = static_cast<f32>(0.15 * P.Height);
    P.BodyDepth = static_cast<f32>(0.8 * P.BodyWidth);
  }
}

// The side-specific set-piece points, which each block keeps for itself:
// the pack's two spot-offset tables and the scrum side pairs.
struct TSidePoints {
  Arr1<TVector2, 10> OffsetA, OffsetB, ScrumSidePairs;
};

TSidePoints SidePointsOf(const TTeamBlock& T) {
  return {T.PackSpots.OffsetA, T.PackSpots.OffsetB, T.ScrumSidePairs};
}

void RestoreSidePoints(TTeamBlock& T, const TSidePoints& P) {
  T.PackSpots.OffsetA = P.OffsetA;
  T.PackSpots.OffsetB = P.OffsetB;
  T.ScrumSidePairs = P.ScrumSidePairs;
}

// The block's tail: every field after StrategyTimer.
constexpr size_t kTailBegin = offsetof(TTeamBlock, StrategyTimer) + sizeof(f32);

// Block 1 copied onto block 2 and onto the bench records.
void CopyBlocks(TWorld& W) {
  TTeamBlock& T1 = W.Teams[1];
  TTeamBlock& T2 = W.Teams[2];
  for (int p = 1; p <= PlayerCount(W); ++p) T2.Players[p] = T1.Players[p];
  const TPlayer first = T1.Players[1];
  for (int p = PlayerCount(W) + 1; p <= 22; ++p) {
    T1.Players[p] = first;
    T2.Players[p] = first;
  }
  auto* b1 = reinterpret_cast<unsigned char*>(&T1);
  auto* b2 = reinterpret_cast<unsigned char*>(&T2);
  std::memcpy(b1 + kTailBegin, b2 + kTailBegin, sizeof(TTeamBlock) - kTailBegin);
  // Block 2 keeps its own set-piece points; a local copy serves as the
  // scratch, so the look-ahead world is left alone.
  const TSidePoints saved = SidePointsOf(T2);
  std::memcpy(b2, b1, sizeof(TTeamBlock));
  RestoreSidePoints(T2, saved);
}

// The ball's radius and the nine error distributions of bounces,
// deflections and passes.
void SetErrorDistributions(TWorld& W) {
  W.BallRadius = 0.092f;
  SetDistribution(W.BounceErrors[1], 0.7, 0.1, 0.6, 0.75);
  SetDistribution(W.BounceErrors[2], -10, 10, -15, 15);
  SetDistribution(W.BounceErrors[3], 0, 20, -90, 90);
  // Its mean lies below its min; kept as it is.
  SetDistribution(W.HeadDistributions[1], 0.35, 0.1, 0.6, 0.75);
  SetDistribution(W.HeadDistributions[2], -5, 10, -20, 20);
  SetDistribution(W.HeadDistributions[3], 0, 20, -90, 90);
  SetDistribution(W.HeadDistributions[4], 0.75, 0.1, 0.65, 0.8);
  SetDistribution(W.HeadDistributions[5], 7.5, 5, -10, 7.5);
  SetDistribution(W.HeadDistributions[6], 0, 10, -30, 30);
}

void SetAuxState() {
  AuxState = TAuxState{};
  AuxState.TurnRate = 400.0f;
  AuxState.AuxValue = -1.0f;
}

}  // namespace

void SetBreathing(TPlayer& P) {
  P.currentAnim.Assign("breathing");
  P.currentframe = 0;
  P.maxframes = 1839.0f;
  P.AnimLoop = kTrue32;
}

void InitialiseWorld(TWorld& W) {
  std::memset(&W, 0, sizeof W);  // a plain record: every field 0 before the defaults
  SetHeadStart(W);
  SetMoveBookHeads(W);
  StrategyParams.ClosingThreshold = 0.7f;
  BuildActionSeqTemplates(W);
  BuildMoveBooks();
  SetClockAndFlags(W);
  SetPitch(W);
  SetProfilesAndAnimation(W);
  SetBlockWorkingDefaults(W);
  SetPhysics(W);
  SetBlockOnePlayers(W);
  CopyBlocks(W);
  SetErrorDistributions(W);
  SetAuxState();
}
