#include "core/WorldDefaults.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <cstring>

#include "core/AuxState.h"
#include "core/MoveBooks.h"
#include "core/Random.h"
#include "core/Replacements.h"
#include "core/StrategyShapes.h"

namespace {

// The world is large: tests keep theirs in static storage.
TWorld& FreshWorld(u32 seed = 12345) {
  static TWorld W;
  RandSeed = seed;
  InitialiseWorld(W);
  return W;
}

// A copy of a block with its side-specific set-piece points cleared, kept in
// one of two static slots: blocks are too large for the stack.
const TTeamBlock& WithoutSidePoints(const TTeamBlock& T, int slot) {
  static TTeamBlock copies[2];
  TTeamBlock& copy = copies[slot];
  copy = T;
  copy.PackSpots.OffsetA = {};
  copy.PackSpots.OffsetB = {};
  copy.ScrumSidePairs = {};
  return copy;
}

bool SamePlayer(const TPlayer& a, const TPlayer& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

void ExpectDist(const TDistribution& d, f32 mean, f32 sd, f32 min, f32 max) {
  EXPECT_FLOAT_EQ(d.mean, mean);
  EXPECT_FLOAT_EQ(d.sd, sd);
  EXPECT_FLOAT_EQ(d.min, min);
  EXPECT_FLOAT_EQ(d.max, max);
  EXPECT_EQ(d.useMin, kTrue32);
  EXPECT_EQ(d.useMax, kTrue32);
}

}  // namespace

TEST(InitialiseWorld, BlockTwoEqualsBlockOneExceptItsMirroredSetPiecePoints) {
  const TWorld& W = FreshWorld();
  const TTeamBlock& T1 = W.Teams[1];
  const TTeamBlock& T2 = W.Teams[2];
  for (int p = 1; p <= 25; ++p) EXPECT_TRUE(SamePlayer(T1.Players[p], T2.Players[p])) << p;
  const TTeamBlock& a = WithoutSidePoints(T1, 0);
  const TTeamBlock& b = WithoutSidePoints(T2, 1);
  EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0);

  for (int i = 1; i <= 10; ++i) {
    EXPECT_EQ(T1.PackSpots.OffsetA[i].x, T2.PackSpots.OffsetA[i].x);
    EXPECT_EQ(T1.PackSpots.OffsetA[i].z, -T2.PackSpots.OffsetA[i].z);
    EXPECT_EQ(T1.PackSpots.OffsetB[i].x, T2.PackSpots.OffsetB[i].x);
    EXPECT_EQ(T1.PackSpots.OffsetB[i].z, -T2.PackSpots.OffsetB[i].z);
  }
  EXPECT_FLOAT_EQ(T1.PackSpots.OffsetA[1].x, -2.0f);
  EXPECT_FLOAT_EQ(T1.PackSpots.OffsetA[10].x, 2.0f);
  EXPECT_FLOAT_EQ(T1.PackSpots.OffsetA[7].z, -0.75f);
  EXPECT_FLOAT_EQ(T2.PackSpots.OffsetA[7].z, 0.75f);
  const f32 scrum[10][2] = {{0, 0},       {-0.6f, 0},     {0.6f, 0},      {-0.3f, -0.5f}, {0.3f, -0.5f},
                            {0, -1.0f},   {-0.9f, -0.5f}, {0.9f, -0.5f},  {-0.3f, -1.0f}, {0.3f, -1.0f}};
  for (int i = 1; i <= 10; ++i) {
    EXPECT_FLOAT_EQ(T1.PackSpots.OffsetB[i].x, scrum[i - 1][0]) << i;
    EXPECT_FLOAT_EQ(T1.PackSpots.OffsetB[i].z, scrum[i - 1][1]) << i;
  }
  // The mirrored zeros are +0, not -0.
  EXPECT_FALSE(std::signbit(T2.PackSpots.OffsetB[1].z));
}

TEST(InitialiseWorld, BenchRecordsCopyPlayerOneAndTheLastThreeKeepTheDefaults) {
  const TWorld& W = FreshWorld();
  for (int b = 1; b <= 2; ++b) {
    for (int p = 16; p <= 22; ++p) EXPECT_TRUE(SamePlayer(W.Teams[b].Players[p], W.Teams[1].Players[1])) << p;
  }
  const TPlayer& last = W.Teams[1].Players[25];
  EXPECT_EQ(last.Height, 0.0f);  // no roster values
  EXPECT_EQ(last.BreakdownChance, 0);
  EXPECT_EQ(last.BodyWidth, 0.0f);
  EXPECT_EQ(last.ProfileChoice[2] + last.ProfileChoice[3] + last.ProfileChoice[4] + last.ProfileChoice[5], 0);
  EXPECT_EQ(last.currentAnim.len, 0);
  EXPECT_EQ(last.MakeTackleProb, 801);
  EXPECT_FLOAT_EQ(last.SupportAfterPassProb, 1000.0f);
  // Decision values without a rating behind them.
  EXPECT_EQ(last.SideStepBeatProb, 500);
  EXPECT_EQ(last.DummyPassRating, 500);
  EXPECT_EQ(last.DummyBiteRating, 500);
  EXPECT_EQ(last.StandUpSpeed, 0.0f);
  EXPECT_EQ(last.ExtraMovesFlag, 0);
  EXPECT_EQ(last.ReplanInterval.sd, 0.0f);
  ExpectDist(last.DropKickReleaseTime, 0.75f, 0.05f, 0.75f, 0.85f);
  EXPECT_GE(last.RuckFactor.value, 0.01f);
  EXPECT_LE(last.RuckFactor.value, 0.98f);
  // The bench copies carry the profiles and the rest animation of player 1.
  EXPECT_TRUE(W.Teams[1].Players[16].currentAnim == "breathing");
}

TEST(InitialiseWorld, RosterByShirtNumber) {
  const TWorld& W = FreshWorld();
  const auto& P = W.Teams[1].Players;
  EXPECT_FLOAT_EQ(P[11].JogSpeed, 6.75f);
  EXPECT_FLOAT_EQ(P[11].CruiseSpeed, static_cast<f32>(0.7 * 9.0f));
  EXPECT_FLOAT_EQ(P[11].MaxSpeedNonFatigued, 9.0f);
  EXPECT_FLOAT_EQ(P[3].AccelerationInit, 5.8f);
  EXPECT_FLOAT_EQ(P[5].Weight, 118.0f);
  EXPECT_FLOAT_EQ(P[5].Height, 1.99f);
  EXPECT_FLOAT_EQ(P[5].BodyWidth, static_cast<f32>(0.15 * P[5].Height));
  EXPECT_FLOAT_EQ(P[5].BodyDepth, static_cast<f32>(0.8 * P[5].BodyWidth));
  EXPECT_EQ(P[7].BreakdownChance, 999);
  EXPECT_FLOAT_EQ(P[7].SupportCommitProb, 999.0f);
  EXPECT_EQ(P[9].LookForOffloadProb, 100);
  EXPECT_FLOAT_EQ(P[9].BreakdownValue, 900.0f);
  ExpectDist(P[7].RunningAngleReactionTime, 0.2f, 0.8f, 0.01f, 0.3f);
  ExpectDist(P[2].RunningAngleReactionTime, 0.38f, 0.15f, 0.1f, 0.55f);
  ExpectDist(P[12].DefenceTime, 4.0f, 3.2f, 0.1f, 7.0f);
  ExpectDist(P[10].ActionTime1, 1.5f, 0.5f, 1.0f, 3.0f);
  ExpectDist(P[14].StrengthScale, 1.0f, 0.25f, 1.0f, 3.0f);
  ExpectDist(P[15].ActionTime3, 0.75f, 0.4f, 0.0f, 3.0f);
  // Only the full-back gets the fatigue defaults.
  EXPECT_EQ(P[15].FatigueFreshTime, 200);
  EXPECT_EQ(P[15].FatigueTiredTime, 45);
  EXPECT_GE(P[15].FatigueTimer, 201.0f);
  EXPECT_LE(P[15].FatigueTimer, 210.0f);
  EXPECT_EQ(P[14].FatigueFreshTime, 0);
}

TEST(InitialiseWorld, DrawAndPassStartTimeStaysWithinItsClampsWhateverTheDraw) {
  for (u32 seed : {1u, 77u, 4242u, 99999u, 0xDEADBEEFu}) {
    const TWorld& W = FreshWorld(seed);
    for (const TPlayer& P : W.Teams[1].Players) {
      ExpectDist(P.DrawAndPassStartTime, 0.45f, 0.075f, 0.15f, 0.31f);
      EXPECT_GE(P.DrawAndPassStartTime.value, 0.15f);
      EXPECT_LE(P.DrawAndPassStartTime.value, 0.31f);
      EXPECT_GE(P.TacklerCountValue, 0.01f);
      EXPECT_LE(P.TacklerCountValue, 2.0f);
    }
  }
}

// The draws come in a fixed order: the profiles of 15 players of each
// block, then four distributions for each of the 25 records of block 1,
// then the full-back's fatigue timer.
TEST(InitialiseWorld, DrawsInTheFixedOrder) {
  const u32 seed = 2024;
  const TWorld& W = FreshWorld(seed);
  const u32 endSeed = RandSeed;

  RandSeed = seed;
  Arr1<u16, 5> firstProfiles{};
  for (int i = 1; i <= 30; ++i) {
    Arr1<u16, 5> scratch{};
    ChooseRandomProfile(scratch);
    if (i == 1) firstProfiles = scratch;
  }
  for (int p = 1; p <= 25; ++p) {
    const f32 tacklers = GaussianRandom(1.25f, 0.1f, 0.01f, 2.0f, kTrue32, kTrue32);
    const TDistribution& d = W.Teams[1].Players[1].DrawAndPassStartTime;
    const f32 drawAndPass = GaussianRandom(d.mean, d.sd, d.min, d.max, kTrue32, kTrue32);
    const f32 power2 = GaussianRandom(1000.0f, 100.0f, 1.0f, 1200.0f, kTrue32, kTrue32);
    const f32 ruck = GaussianRandom(0.9f, 0.05f, 0.01f, 0.98f, kTrue32, kTrue32);
    if (p >= 16 && p <= 22) continue;  // overwritten by copies of player 1
    const TPlayer& P = W.Teams[1].Players[p];
    EXPECT_EQ(tacklers, P.TacklerCountValue) << p;
    EXPECT_EQ(drawAndPass, P.DrawAndPassStartTime.value) << p;
    EXPECT_EQ(power2, P.StrengthPower2.value) << p;
    EXPECT_EQ(ruck, P.RuckFactor.value) << p;
  }
  EXPECT_EQ(static_cast<f32>(200 + RandomRange(1, 11)), W.Teams[1].Players[15].FatigueTimer);
  EXPECT_EQ(RandSeed, endSeed);
  for (int c = 2; c <= 5; ++c) EXPECT_EQ(W.Teams[1].Players[1].ProfileChoice[c], firstProfiles[c]);
}

TEST(InitialiseWorld, LeavesNothingOfAnEarlierWorldBehind) {
  static TWorld dirty;
  std::memset(&dirty, 0x5A, sizeof dirty);
  RandSeed = 31;
  InitialiseWorld(dirty);
  const TWorld& clean = FreshWorld(31);
  EXPECT_EQ(std::memcmp(&dirty, &clean, sizeof dirty), 0);
}

TEST(InitialiseWorld, HeadPitchAndPhysics) {
  const TWorld& W = FreshWorld();
  struct {
    const char* name;
    f32 got, want;
  } const cases[] = {
      {"CatchSearchStep", W.CatchSearchStep, 0.01f}, {"CatchReach", W.CatchReach, 0.65f},
      {"TimeSinceSetPiece", W.TimeSinceSetPiece, 10.0f}, {"halflength", W.halflength, 2400.0f},
      {"PitchLength", W.PitchLength, 100.0f},        {"PitchWidth", W.PitchWidth, 70.0f},
      {"InGoalDepth", W.InGoalDepth, 10.0f},         {"GoalPostGap", W.GoalPostGap, 5.6f},
      {"PostRadius", W.PostRadius, 0.15f},           {"PostHeight", W.PostHeight, 7.0f},
      {"CrossbarHeight", W.CrossbarHeight, 3.0f},    {"TryLineZ", W.TryLineZ, 50.0f},
      {"PitchConst5", W.PitchConst5, 5.0f},          {"touch left", W.TouchLineX[1], -35.0f},
      {"touch right", W.TouchLineX[2], 35.0f},       {"Gravity", W.Gravity, 9.81f},
      {"GroundFriction", W.GroundFriction, 1.06f},   {"PackSpacing", W.PackSpacing, 0.6f},
      {"RuckDepthUnit", W.RuckDepthUnit, 0.5f},      {"RuckBindDepth", W.RuckBindDepth, 0.4f},
      {"PackAux", W.PackAux, 0.15f},                 {"BallRadius", W.BallRadius, 0.092f},
      {"PositionScale", PositionScale, 50.0f},       {"TurnRate", AuxState.TurnRate, 400.0f},
      {"AuxValue", AuxState.AuxValue, -1.0f},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.want) << c.name;
  EXPECT_EQ(W.PlayersPerTeam, 15);
  // Every pass's throw is chosen among the whole candidate table.
  EXPECT_EQ(W.ThrowTargetCount, 100);
  EXPECT_EQ(W.injurieson, kTrue32);
  EXPECT_EQ(W.HalfTimeReached, kTrue32);
  EXPECT_EQ(W.RecordingOn, kTrue32);
  EXPECT_EQ(W.LiveWorld, kTrue32);
  EXPECT_EQ(W.Team1InFirstBlock, kTrue32);
  EXPECT_EQ(SkipLineTables, kTrue32);
  EXPECT_EQ(W.MatchPhase, 0);  // the kick-off reset sets it
  ExpectDist(W.HeadDistribution2, 0.25f, 0.2f, 0.3f, 0.55f);
  ExpectDist(W.HeadDistributions[1], 0.35f, 0.1f, 0.6f, 0.75f);
  ExpectDist(W.HeadDistributions[5], 7.5f, 5.0f, -10.0f, 7.5f);
  ExpectDist(W.Teams[2].TurnoverRuckTime, 2.9f, 1.51f, 1.0f, 6.675f);

  const f32 headings[8] = {180, 225, 270, 315, 0, 45, 90, 135};
  const int neighbours[8][4] = {{7, 6, 3, 4}, {8, 7, 4, 5}, {1, 8, 5, 6}, {2, 1, 6, 7},
                                {3, 2, 7, 8}, {4, 3, 8, 1}, {5, 4, 1, 2}, {6, 5, 2, 3}};
  for (int k = 1; k <= 8; ++k) {
    EXPECT_EQ(W.PointHeadings[k], headings[k - 1]);
    for (int j = 1; j <= 4; ++j) EXPECT_EQ(W.PointNeighbours[k][j], neighbours[k - 1][j - 1]) << k;
  }
}

TEST(InitialiseWorld, SupportGridProfilesAndTail) {
  const TWorld& W = FreshWorld();
  for (const TTeamBlock& T : W.Teams) {
    EXPECT_EQ(T.SupportGridSize, 11);
    for (int r = 1; r <= 11; ++r) {
      for (int c = 1; c <= 11; ++c) {
        EXPECT_EQ(T.SupportGridWeights[r][c], r <= 7 ? 1 : 0);
        EXPECT_EQ(T.SupportGridWeightsAlt1[r][c], T.SupportGridWeights[r][c]);
      }
    }
    const char* alt2[3] = {"XXXX...XXXX", "....X.X....", "..XX...XX.."};
    for (int r = 1; r <= 11; ++r) {
      for (int c = 1; c <= 11; ++c) {
        const bool set = r <= 3 && alt2[r - 1][c - 1] == 'X';
        EXPECT_EQ(T.SupportGridWeightsAlt2[r][c], set ? 15 : 0) << r << "," << c;
      }
    }
    // The tail values set on block 2 reach block 1.
    EXPECT_FLOAT_EQ(T.DefenceShapeValue, 0.2f);
    EXPECT_EQ(T.DefenceStepShape.SegmentCount, 6);
    EXPECT_EQ(T.DefenceStepShape.CurrentSegment, 4);
    EXPECT_FLOAT_EQ(T.DefenceStepShape.EndValues[2], -42.0f);
    EXPECT_EQ(T.DefenceShape.SegmentCount, 2);
    EXPECT_FLOAT_EQ(T.DefenceShape.EndValues[1], -5.0f);
    EXPECT_EQ(T.PlayOption, 1);
    EXPECT_EQ(T.MoveIndex, 1);
    EXPECT_FLOAT_EQ(T.DistanceTable[8], 50.0f);
  }
  const TTeamBlock& T1 = W.Teams[1];
  EXPECT_FLOAT_EQ(T1.PeakShapes[4].EndValues[2], 17.5f);
  EXPECT_EQ(T1.PeakShapes[4].CurrentSegment, 3);
  EXPECT_FLOAT_EQ(T1.PeakShape.StartValues[3], 38.0f);
  EXPECT_FLOAT_EQ(T1.PeakShape.Durations[3], 0.5f);
  EXPECT_FLOAT_EQ(T1.FlatShape.EndValues[2], 0.2f);
  EXPECT_FLOAT_EQ(T1.CurrentStrategy.EndValues[1], 40.0f);
  EXPECT_FLOAT_EQ(T1.LineSlotPos[101].x, 0.0f);
  EXPECT_FLOAT_EQ(T1.LineSlotPos[101].z, 0.0f);
  EXPECT_FLOAT_EQ(T1.LineSlotPos[1].x, -100.0f);
  EXPECT_FLOAT_EQ(T1.LineSlotPos[201].x, 100.0f);
  // Read by key from the profile's start (its current segment is 0).
  EXPECT_FLOAT_EQ(T1.LineSlotPos[151].z, 20.0f);
  EXPECT_FLOAT_EQ(T1.LineSlotPos[51].z, 0.0f);
}

TEST(InitialiseWorld, MoveBookHeadsAndTemplates) {
  FreshWorld();
  for (const TMoveBook& B : MoveBooks) {
    EXPECT_EQ(B.MoveCount, 150);
    EXPECT_EQ(B.SamplingOn, 0);
  }
  const i16 shirt10[8] = {12, 13, 15, 9, 14, 11, 0, 0};
  for (int i = 1; i <= 8; ++i) EXPECT_EQ(MoveBooks[1].CoverLists[10][i], shirt10[i - 1]);
  EXPECT_EQ(MoveBooks[1].CoverLists[4][1], 5);
  EXPECT_EQ(MoveBooks[1].CoverLists[15][3], 12);
  EXPECT_EQ(MoveBooks[1].CoverLists[15][4], 0);
  EXPECT_EQ(std::memcmp(&MoveBooks[1].CoverLists, &MoveBooks[2].CoverLists, sizeof MoveBooks[1].CoverLists), 0);
  EXPECT_EQ(StrategyParams.ActionSeqTemplate.NumEvents, 1);
  EXPECT_EQ(StrategyParams.SupportTemplatePosX.NumEvents, 3);
  EXPECT_FLOAT_EQ(StrategyParams.ClosingThreshold, 0.7f);
}
