#include "core/StrategyShapes.h"

#include <gtest/gtest.h>

#include <cstring>

#include "core/WorldDefaults.h"

namespace {

TEST(StrategyShapesTest, ShapesRiseToTwoPeaksSetByTheirAngles) {
  BuildStrategyShapes();
  struct Case {
    int shape;
    f32 e1, e2;
  };
  const Case cases[] = {{1, 57.735f, 63.195f}, {2, 70.021f, 76.234f}, {3, 36.397f, 43.392f},
                        {4, 17.633f, 29.143f}, {5, 26.795f, 39.381f}, {6, 36.397f, 50.142f},
                        {10, 17.633f, 23.092f}};
  for (const Case& c : cases) {
    const TStrategyShape& s = StrategyParams.Shapes[c.shape];
    EXPECT_EQ(s.SegmentCount, 4) << c.shape;
    EXPECT_EQ(s.Capacity, 20) << c.shape;
    EXPECT_EQ(s.CurrentSegment, 3) << c.shape;
    const f32 durations[4] = {100, 15, 15, 100};
    const f32 starts[4] = {0, c.e1, c.e2, c.e1};
    const f32 ends[4] = {c.e1, c.e2, c.e1, 0};
    for (int k = 1; k <= 4; ++k) {
      EXPECT_EQ(s.Durations[k], durations[k - 1]) << c.shape << " " << k;
      EXPECT_NEAR(s.StartValues[k], starts[k - 1], 0.001) << c.shape << " " << k;
      EXPECT_NEAR(s.EndValues[k], ends[k - 1], 0.001) << c.shape << " " << k;
    }
    EXPECT_EQ(s.Durations[5], 0.0f);
  }
  // Segments meet: each starts where the one before ends.
  const TStrategyShape& four = StrategyParams.Shapes[4];
  for (int k = 2; k <= 4; ++k) EXPECT_EQ(four.StartValues[k], four.EndValues[k - 1]);
  for (int shape = 7; shape <= 9; ++shape) {
    const TStrategyShape zero{};
    EXPECT_EQ(std::memcmp(&StrategyParams.Shapes[shape], &zero, sizeof zero), 0) << shape;
  }
}

TEST(StrategyShapesTest, TemplateSequences) {
  TWorld& W = World;
  InitialiseWorld(W);
  BuildActionSeqTemplates(W);
  const TActionSeq& blank = StrategyParams.ActionSeqTemplate;
  EXPECT_EQ(blank.seqON, -1);
  EXPECT_EQ(blank.NumEvents, 1);
  EXPECT_EQ(blank.CurrEventIndex, 0);
  for (const TActionEvent& e : blank.EventArray) {
    EXPECT_EQ(e.EventType, 0);
    EXPECT_EQ(e.Angle, 90.0f);
    EXPECT_EQ(e.DesSpeed, 10.5f);
    EXPECT_EQ(e.DistOrig, 100.0f);
    EXPECT_EQ(e.Deadline, 50.0f);
    EXPECT_EQ(e.RelPlayer, 1);
    EXPECT_EQ(e.RelDistance, 5.0f);
    EXPECT_EQ(e.RelHeading, 90.0f);
    EXPECT_EQ(e.Intercept, -1);
    EXPECT_EQ(e.KickLaunchSpeed, 20.0f);
    EXPECT_EQ(e.KickLaunchElevation, 45.0f);
    EXPECT_EQ(e.KickLaunchHeading, 90.0f);
    EXPECT_EQ(e.EndCondition, 0);
    EXPECT_EQ(e.RelMovementOn, 0);
    // The flag after EventCode, the facing words and the last four values.
    EXPECT_EQ(e.LongPass, 0);
    EXPECT_EQ(e.FaceMode, 0);
    EXPECT_EQ(e.FaceAngle, 90.0f);
    EXPECT_EQ(e.FaceOffset, 0.0f);
    EXPECT_EQ(e.FaceTarget, 1);
    EXPECT_EQ(e.Scale, 10.0f);
    EXPECT_EQ(e.RangeLow, 0.0f);
    EXPECT_EQ(e.RangeHigh, 10.0f);
    EXPECT_EQ(e.AimAngle, 5.0f);
  }

  const TActionSeq& neg = StrategyParams.SupportTemplateNegX;
  const TActionSeq& pos = StrategyParams.SupportTemplatePosX;
  for (const TActionSeq* seq : {&neg, &pos}) {
    EXPECT_EQ(seq->seqON, -1);
    EXPECT_EQ(seq->NumEvents, 3);
    const f32 dist[3] = {5, 5, 15};
    const i32 ends[3] = {6, 6, 0};
    const bool32 rel[3] = {-1, -1, 0};
    const f32 durations[3] = {0, 0, 1};
    for (int k = 1; k <= 3; ++k) {
      const TActionEvent& e = seq->EventArray[k];
      EXPECT_EQ(e.DesSpeed, 10.0f) << k;
      EXPECT_EQ(e.SpeedFraction, 1.0f) << k;
      EXPECT_EQ(e.DistOrig, dist[k - 1]) << k;
      EXPECT_EQ(e.EndCondition, ends[k - 1]) << k;
      EXPECT_EQ(e.RelMovementOn, rel[k - 1]) << k;
      EXPECT_EQ(e.Duration, durations[k - 1]) << k;
      EXPECT_EQ(e.RelOwnTeam, -1) << k;
      EXPECT_EQ(e.RelPlayer, 10) << k;
      EXPECT_EQ(e.FollowOffset, 1) << k;
      EXPECT_EQ(e.LongPass, -1) << k;
      EXPECT_EQ(e.FaceAngle, 90.0f) << k;
      EXPECT_EQ(e.AimAngle, 5.0f) << k;
    }
    // Events past the third are the blank template's.
    EXPECT_EQ(std::memcmp(&seq->EventArray[4], &blank.EventArray[4], sizeof(TActionEvent)), 0);
    EXPECT_EQ(seq->EventArray[1].RelDistance, 1.75f);
    EXPECT_NEAR(seq->EventArray[2].RelDistance, 2.012, 0.001);
    EXPECT_EQ(seq->EventArray[3].RelDistance, 2.0f);
    EXPECT_EQ(seq->EventArray[3].RelHeading, 340.0f);
  }
  EXPECT_EQ(neg.EventArray[1].RelHeading, 320.0f);
  EXPECT_NEAR(neg.EventArray[2].RelHeading, 48.2, 0.05);
  EXPECT_EQ(pos.EventArray[1].RelHeading, 220.0f);
  EXPECT_NEAR(pos.EventArray[2].RelHeading, 131.8, 0.05);
  // The two scratch fields keep the values of the last computation.
  EXPECT_EQ(W.SearchBestDist, 1.5f);
  EXPECT_NEAR(W.SearchDist, 1.3406, 0.0001);
}

TEST(StrategyShapesTest, DefaultFieldZones) {
  InitialiseWorld(World);
  FieldStrategy[1].Normal.Zones[20].x1 = 99.0f;  // left over from an earlier set-up
  BuildDefaultFieldZones();
  const TFieldStrategy& t1 = FieldStrategy[1];
  EXPECT_EQ(t1.CatchUpThreshold, 1.0f);
  const TFieldStrategyHalf& h = t1.Normal;
  ASSERT_EQ(h.ZoneCount, 12);
  const f32 bounds[13] = {-60, -50, -39, -28, -19, -10, 0, 10, 19, 28, 39, 50, 60};
  for (int k = 1; k <= 12; ++k) {
    EXPECT_EQ(h.Zones[k].z1, bounds[k - 1]) << k;
    EXPECT_EQ(h.Zones[k].z2, bounds[k]) << k;
    EXPECT_EQ(h.Zones[k].x1, -35.0f) << k;
    EXPECT_EQ(h.Zones[k].x2, 35.0f) << k;
  }
  EXPECT_EQ(h.Zones[20].x1, 0.0f);
  const i16 weights[6] = {377, 377, 113, 113, 19, 0};
  EXPECT_EQ(h.Families[1].OptionCount, 6);
  for (int zone = 1; zone <= 30; ++zone) {
    for (int j = 1; j <= 6; ++j) EXPECT_EQ(h.Families[1].Weights[zone][j], weights[j - 1]) << zone;
    // Every zone names a line shape, also where the file will name none.
    EXPECT_EQ(h.OpenPlayStrategy[zone], 2.0f) << zone;
    EXPECT_EQ(h.SetPlayStrategy[zone], 5.0f) << zone;
    EXPECT_EQ(h.LineSpeed[zone], 0.0f) << zone;
  }
  for (int f = 2; f <= 5; ++f) EXPECT_EQ(h.Families[f].OptionCount, 0) << f;
  EXPECT_EQ(std::memcmp(&t1.CatchUp, &t1.Normal, sizeof(TFieldStrategyHalf)), 0);
  EXPECT_EQ(std::memcmp(&FieldStrategy[2], &t1, sizeof(TFieldStrategy)), 0);
}

}  // namespace
