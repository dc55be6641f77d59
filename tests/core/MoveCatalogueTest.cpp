#include "core/MoveCatalogue.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "core/Random.h"
#include "core/WorldDefaults.h"

namespace {

class MoveCatalogueTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static TWorld W;  // large: static storage
    // The books as at program start: earlier tests may have left match
    // working fields (Feasible, HoldTimer) in one book, which no build resets.
    std::memset(static_cast<void*>(&MoveBooks), 0, sizeof MoveBooks);
    RandSeed = 99;
    InitialiseWorld(W);
  }
  static const TMove& Open(int n, int book = 1) { return MoveBooks[book].OpenPlayMoves[n]; }
  static const TMove& Ruck(int n, int book = 1) { return MoveBooks[book].RuckMoves[n]; }
  static const TActionEvent& Ev(const TMove& m, int r, int k) { return m.Seqs[r].EventArray[k]; }
};

std::set<int> Range(std::initializer_list<std::pair<int, int>> spans) {
  std::set<int> s;
  for (auto [a, b] : spans) {
    for (int n = a; n <= b; ++n) s.insert(n);
  }
  return s;
}

const std::set<int> kFilledOpen = Range({{1, 16}, {21, 39}, {41, 59}, {61, 68}, {71, 72}, {81, 83}, {91, 98},
                                          {101, 120}, {127, 132}, {141, 142}});
const std::set<int> kFilledRuck = Range({{1, 92}, {95, 95}, {97, 102}});

f32 Mirror(f32 a) {
  const double m = 180.0 - a;
  return static_cast<f32>(m < 0 ? m + 360.0 : m);
}

TEST_F(MoveCatalogueTest, FilledMovesAtTheListedNumbersWithTheCommonValues) {
  const TActionEvent zeroEvent{};
  const std::set<int> openFreeBallRuns = Range({{101, 120}, {131, 132}});
  const std::set<int> ruckFreeBallRuns = Range({{25, 84}});
  for (int book = 1; book <= 2; ++book) {
    for (bool ruck : {false, true}) {
      const std::set<int>& filled = ruck ? kFilledRuck : kFilledOpen;
      int count = 0;
      for (int n = 1; n <= kMovesPerBook; ++n) {
        const TMove& m = ruck ? Ruck(n, book) : Open(n, book);
        SCOPED_TRACE(testing::Message() << (ruck ? "ruck " : "open ") << n << " book " << book);
        ASSERT_EQ(m.SimTimeStep != 0.0f, filled.count(n) == 1);
        if (m.SimTimeStep == 0.0f) continue;
        ++count;
        EXPECT_EQ(m.SimTimeStep, 0.04f);
        EXPECT_EQ(m.ApplyFirst, kFalse32);
        EXPECT_EQ(m.MinGain, 0.0f);
        EXPECT_EQ(m.StopOnGain, kTrue32);
        EXPECT_EQ(m.PickBySupport, kTrue32);
        EXPECT_EQ(m.PickInOrder, kFalse32);
        const bool runsIntoFreeBall = (ruck ? ruckFreeBallRuns : openFreeBallRuns).count(n) == 1;
        EXPECT_EQ(m.StopOnFreeBall, Flag(!runsIntoFreeBall));
        const int roles = UsedRoles(m);
        EXPECT_GE(roles, 1);
        EXPECT_LE(roles, 3);
        EXPECT_GE(m.CarrierSlot, 1);
        EXPECT_LE(m.CarrierSlot, roles);
        if (ruck) {
          EXPECT_GE(m.PlayKind, 1);
          EXPECT_LE(m.PlayKind, 7);
          const bool forwardFirst = (n >= 5 && n <= 8) || n == 95;
          EXPECT_EQ(m.Shirts[1] == 9, !forwardFirst);
        } else {
          EXPECT_EQ(m.PlayKind, -1);
        }
        for (int r = 1; r <= kMoveRoles; ++r) {
          const TActionSeq& s = m.Seqs[r];
          if (r > roles) {
            EXPECT_EQ(s.seqON, kFalse32) << "role " << r;
            continue;
          }
          EXPECT_EQ(s.seqON, kTrue32);
          EXPECT_GE(s.NumEvents, 1);
          EXPECT_LE(s.NumEvents, 5);
          EXPECT_EQ(s.CurrEventIndex, 0);
          const bool held = ruck && !(n >= 97 && n <= 100 && m.Shirts[r] == 9);
          EXPECT_EQ(s.HoldStartPos, Flag(held)) << "role " << r;
          if (!ruck) {
            EXPECT_EQ(m.Shirts[r], 1);
          }
          for (int k = 1; k <= 10; ++k) {
            const TActionEvent& e = s.EventArray[k];
            if (k > s.NumEvents) {
              EXPECT_EQ(std::memcmp(&e, &zeroEvent, sizeof e), 0) << "role " << r << " event " << k;
              continue;
            }
            EXPECT_EQ(e.Deadline, 50.0f);
            EXPECT_EQ(e.Intercept, kTrue32);
            EXPECT_EQ(e.RelOwnTeam, e.RelMovementOn);
            if (e.EventType != 5 && e.EventType != 55) {
              EXPECT_EQ(e.KickLaunchHeading, 90.0f);
            }
            const bool slow = !ruck && ((n == 48 && r == 1) || (n == 127 && r == 2));
            if (!ruck) {
              EXPECT_EQ(e.DesSpeed, slow ? (n == 48 ? 0.75f : 0.3f) : 10.0f);
            }
          }
        }
      }
      EXPECT_EQ(count, ruck ? 99 : 103);
    }
  }
  EXPECT_EQ(std::memcmp(&MoveBooks[1], &MoveBooks[2], sizeof(TMoveBook)), 0);
}

TEST_F(MoveCatalogueTest, OpenMoves21And31AsWrittenOut) {
  for (int n : {21, 31}) {
    const TMove& m = Open(n);
    SCOPED_TRACE(n);
    EXPECT_EQ(m.SimDuration, 2.75f);
    EXPECT_EQ(m.GainLimit, 10.0f);
    EXPECT_EQ(m.StopOnTackle & m.StopOnFreeBall & m.StopOnForcedRun, kTrue32);
    EXPECT_EQ(m.CarrierSlot, 2);
    EXPECT_EQ(UsedRoles(m), 2);
    EXPECT_EQ(m.Seqs[1].KeyEventIndex, 0);
    EXPECT_EQ(m.Seqs[2].KeyEventIndex, 0);
  }
  const TMove& m21 = Open(21);
  ASSERT_EQ(m21.Seqs[1].NumEvents, 1);
  ASSERT_EQ(m21.Seqs[2].NumEvents, 1);
  const TActionEvent& a = Ev(m21, 1, 1);
  EXPECT_EQ(a.EventType, 0);
  EXPECT_EQ(a.ReceiverOffset, -2);
  EXPECT_EQ(a.Angle, 90.0f);
  EXPECT_EQ(a.SpeedFraction, 1.0f);
  EXPECT_EQ(a.DistOrig, 2.0f);
  EXPECT_EQ(a.EndCondition, 0);
  EXPECT_EQ(a.RelMovementOn, kFalse32);
  const TActionEvent& b = Ev(m21, 2, 1);
  EXPECT_EQ(b.EventType, 2);
  EXPECT_EQ(b.ReceiverOffset, -1);
  EXPECT_EQ(b.Angle, 65.0f);
  EXPECT_EQ(b.SpeedFraction, 1.0f);
  EXPECT_EQ(b.DistOrig, 5.0f);
  EXPECT_EQ(b.KickLaunchSpeed, 20.0f);
  EXPECT_EQ(b.KickLaunchElevation, 45.0f);

  const TMove& m31 = Open(31);
  ASSERT_EQ(m31.Seqs[1].NumEvents, 2);
  ASSERT_EQ(m31.Seqs[2].NumEvents, 2);
  const TActionEvent& r1 = Ev(m31, 1, 1);
  EXPECT_EQ(r1.EventType, 0);
  EXPECT_EQ(r1.ReceiverOffset, -2);
  EXPECT_EQ(r1.Angle, 90.0f);
  EXPECT_EQ(r1.DistOrig, 100.0f);
  EXPECT_EQ(r1.Duration, 10.0f);
  EXPECT_EQ(r1.EndCondition, 6);
  EXPECT_EQ(r1.RelMovementOn, kTrue32);
  EXPECT_EQ(r1.RelPlayer, 10);
  EXPECT_EQ(r1.RelDistance, 1.8f);
  EXPECT_EQ(r1.RelHeading, 225.0f);
  EXPECT_EQ(r1.FollowOffset, 1);  // follows the carrier, one place further in
  EXPECT_EQ(Ev(m31, 1, 2).EventType, 0);
  EXPECT_EQ(Ev(m31, 1, 2).Angle, 115.0f);
  EXPECT_EQ(Ev(m31, 1, 2).DistOrig, 3.5f);
  const TActionEvent& c1 = Ev(m31, 2, 1);
  EXPECT_EQ(c1.EventType, 0);
  EXPECT_EQ(c1.ReceiverOffset, -1);
  EXPECT_EQ(c1.Angle, 45.0f);
  EXPECT_EQ(c1.SpeedFraction, 0.7f);
  EXPECT_EQ(c1.DistOrig, 10.0f);
  EXPECT_EQ(c1.EndCondition, 11);
  const TActionEvent& c2 = Ev(m31, 2, 2);
  EXPECT_EQ(c2.EventType, 2);
  EXPECT_EQ(c2.Angle, 90.0f);
  EXPECT_EQ(c2.SpeedFraction, 0.55f);
  EXPECT_EQ(c2.DistOrig, 5.0f);
}

TEST_F(MoveCatalogueTest, OpenKicks101To120) {
  const TMove& m = Open(101);
  EXPECT_EQ(m.SimDuration, 3.25f);
  EXPECT_EQ(m.StopOnFreeBall, kFalse32);
  EXPECT_EQ(m.StopOnTackle & m.StopOnGain & m.StopOnForcedRun, kTrue32);
  EXPECT_EQ(m.CarrierSlot, 1);
  EXPECT_EQ(UsedRoles(m), 1);
  ASSERT_EQ(m.Seqs[1].NumEvents, 1);
  const TActionEvent& e = Ev(m, 1, 1);
  EXPECT_EQ(e.EventType, 55);
  EXPECT_EQ(e.EventSubType, 3);
  EXPECT_EQ(e.ReceiverOffset, -1);
  EXPECT_EQ(e.Angle, 90.0f);
  EXPECT_EQ(e.DesSpeed, 10.0f);
  EXPECT_EQ(e.SpeedFraction, 0.9f);
  EXPECT_EQ(e.DistOrig, 25.0f);
  EXPECT_EQ(e.KickLaunchSpeed, 17.0f);
  EXPECT_EQ(e.KickLaunchElevation, 45.0f);
  EXPECT_EQ(e.KickLaunchHeading, 90.0f);

  // The Part's table, the speeds as printed there.
  struct TRow { f32 Angle, Speed, Elevation; };
  const TRow rows[20] = {
      {90, 17.0f, 45},      {90, 12.75f, 45},     {67.5, 20.4f, 45},      {45, 22.1f, 45},     {67.5, 14.45f, 45},
      {45, 16.575f, 45},    {112.5, 20.4f, 45},   {135, 22.1f, 45},       {112.5, 14.45f, 45}, {135, 16.575f, 45},
      {90, 15.3f, 17.5},    {90, 11.475f, 20},    {67.5, 18.36f, 17.5},   {45, 19.89f, 17.5},  {67.5, 12.2825f, 20},
      {45, 14.08875f, 20},  {112.5, 18.36f, 17.5}, {135, 19.89f, 17.5},   {112.5, 12.2825f, 20}, {135, 14.08875f, 20},
  };
  for (int n = 101; n <= 120; ++n) {
    SCOPED_TRACE(n);
    const TActionEvent& k = Ev(Open(n), 1, 1);
    const TRow& row = rows[n - 101];
    EXPECT_EQ(k.EventSubType, n <= 110 ? 3 : 2);
    EXPECT_EQ(k.Angle, row.Angle);
    EXPECT_EQ(k.KickLaunchHeading, k.Angle);
    EXPECT_FLOAT_EQ(k.KickLaunchSpeed, row.Speed);
    EXPECT_EQ(k.KickLaunchElevation, row.Elevation);
    EXPECT_EQ(k.SpeedFraction, 0.9f);
    EXPECT_EQ(Open(n).SimDuration, 3.25f);
  }
  // Single precision: 17.0 x 1.2 is one float product, a bit above the float nearest 20.4.
  volatile f32 base = 17.0f, factor = 1.2f;
  EXPECT_EQ(Ev(Open(103), 1, 1).KickLaunchSpeed, base * factor);
  EXPECT_NE(Ev(Open(103), 1, 1).KickLaunchSpeed, 20.4f);
}

TEST_F(MoveCatalogueTest, OpenFamiliesAsTabled) {
  struct TCase { int Move; int Events; i32 Type; f32 FirstAngle, LastAngle, LastDist; i32 Code = 0; };
  const TCase cases[] = {
      {1, 1, 0, 90, 90, 25}, {4, 1, 0, 65, 65, 25}, {10, 1, 0, 140, 140, 25},
      {11, 5, 0, 46.25f, 90, 2}, {12, 5, 0, 133.75f, 90, 2}, {14, 5, 0, 102.5f, 90, 2},
      {15, 1, 7, 3, 3, 2}, {16, 1, 7, 177, 177, 2},
      {63, 3, 0, 65, 40, 15, 1}, {66, 3, 0, 115, 140, 15, 2}, {67, 3, 0, 90, 65, 15, 3}, {68, 3, 0, 90, 115, 15, 4},
      {72, 2, 4, 115, 90, 15}, {83, 2, 11, 115, 115, 15},
      {98, 2, 0, 65, 65, 5}, {129, 5, 0, 20, 70, 2.5f}, {130, 5, 0, 160, 110, 2.5f},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Move);
    const TActionSeq& s = Open(c.Move).Seqs[1];
    ASSERT_EQ(s.NumEvents, c.Events);
    EXPECT_EQ(s.EventArray[1].EventType, c.Type);
    EXPECT_EQ(s.EventArray[1].Angle, c.FirstAngle);
    EXPECT_EQ(s.EventArray[c.Events].Angle, c.LastAngle);
    EXPECT_EQ(s.EventArray[c.Events].DistOrig, c.LastDist);
    if (c.Events == 3) {
      EXPECT_EQ(s.EventArray[2].EventType, 9);
    }
    if (c.Events == 3) {
      EXPECT_EQ(s.EventArray[2].EventCode, c.Code);
    }
  }
  EXPECT_EQ(Ev(Open(2), 1, 1).SpeedFraction, 0.75f);
  EXPECT_EQ(Ev(Open(5), 1, 1).EndCondition, 9);
  EXPECT_EQ(Ev(Open(13), 1, 3).EndCondition, 0);
  EXPECT_EQ(Ev(Open(61), 1, 1).SpeedFraction, 0.85f);
  EXPECT_EQ(Ev(Open(72), 1, 1).ReceiverOffset, 1);
  EXPECT_EQ(Ev(Open(71), 1, 1).SpeedFraction, 0.75f);
  for (int n = 81; n <= 83; ++n) {
    EXPECT_EQ(Open(n).SimDuration, 1.5384616f) << n;
    EXPECT_EQ(Open(n).StopOnForcedRun, kFalse32) << n;
  }
  const i32 offloadSides[8] = {-1, -2, -1, -2, 1, 2, 1, 2};
  for (int n = 91; n <= 98; ++n) {
    SCOPED_TRACE(n);
    const TMove& m = Open(n);
    EXPECT_EQ(m.StopOnTackle | m.StopOnForcedRun, kFalse32);
    EXPECT_EQ(Ev(m, 1, 1).DistOrig, -0.5f);
    EXPECT_EQ(Ev(m, 1, 1).Duration, (n == 93 || n == 94 || n == 97 || n == 98) ? 0.5f : 0.35f);
    EXPECT_EQ(Ev(m, 1, 1).RelHeading, 300.0f);
    EXPECT_EQ(Ev(m, 1, 2).EventType, 12);
    EXPECT_EQ(Ev(m, 1, 2).RelPlayer, 10);
    EXPECT_EQ(Ev(m, 1, 2).RelDistance, 2.0f);
    EXPECT_EQ(Ev(m, 1, 2).ReceiverOffset, offloadSides[n - 91]);
  }
  // 127, 128: a pass at 30 / 150 degrees; the other role 2 m at 0.75.
  EXPECT_EQ(Open(127).CarrierSlot, 2);
  EXPECT_EQ(Open(128).CarrierSlot, 1);
  EXPECT_EQ(Ev(Open(127), 2, 1).EventType, 1);
  EXPECT_EQ(Ev(Open(127), 2, 1).Angle, 30.0f);
  EXPECT_EQ(Ev(Open(127), 1, 1).SpeedFraction, 0.75f);
  EXPECT_EQ(Ev(Open(128), 1, 1).Angle, 150.0f);
  EXPECT_EQ(Ev(Open(128), 1, 1).ReceiverOffset, 1);
  EXPECT_EQ(Ev(Open(128), 2, 1).ReceiverOffset, 2);
  for (int n : {131, 132, 141, 142}) {
    SCOPED_TRACE(n);
    const TActionEvent& k = Ev(Open(n), 1, 1);
    const bool high = n < 140;
    EXPECT_EQ(k.EventType, 55);
    EXPECT_EQ(k.EventSubType, n == 131 ? 4 : n == 132 ? 3 : 0);
    EXPECT_EQ(k.EventCode, high ? 3 : n - 140);
    EXPECT_EQ(k.SpeedFraction, high ? 0.35f : 0.4f);
    EXPECT_EQ(k.KickLaunchSpeed, high ? 25.0f : 28.0f);
    EXPECT_EQ(k.KickLaunchElevation, high ? 62.5f : 60.0f);
    EXPECT_EQ(Open(n).Seqs[1].KeyEventIndex, high ? 0 : 2);
    EXPECT_EQ(Open(n).SimDuration, high ? 3.25f : 2.75f);
  }
}

// 41-59 are 21-39 played to +x: the line runs by x, so the roles come in
// reverse order; headings mirrored, offsets negated, end condition 11 -> 10.
TEST_F(MoveCatalogueTest, SidePlaysToPlusXMirrorThoseToMinusX) {
  int passes = 0, draws = 0;
  for (int n = 21; n <= 39; ++n) {
    const TMove& a = Open(n);
    const TMove& b = Open(n + 20);
    SCOPED_TRACE(n);
    const int roles = UsedRoles(a);
    ASSERT_EQ(UsedRoles(b), roles);
    ASSERT_GE(roles, 2);
    EXPECT_EQ(b.CarrierSlot, roles + 1 - a.CarrierSlot);
    EXPECT_LE(b.CarrierSlot, 2);
    const TActionSeq& carrier = a.Seqs[a.CarrierSlot];
    const i32 last = carrier.EventArray[carrier.NumEvents].EventType;
    passes += last == 1;
    draws += last == 2;
    int secondPassers = 0;
    for (int r = 1; r <= roles; ++r) {
      const TActionSeq& s = a.Seqs[r];
      const TActionSeq& t = b.Seqs[roles + 1 - r];
      ASSERT_EQ(t.NumEvents, s.NumEvents);
      for (int k = 1; k <= s.NumEvents; ++k) {
        const TActionEvent& e = s.EventArray[k];
        const TActionEvent& f = t.EventArray[k];
        EXPECT_TRUE(e.ReceiverOffset == -1 || e.ReceiverOffset == -2);
        EXPECT_EQ(f.ReceiverOffset, -e.ReceiverOffset);
        EXPECT_EQ(f.EventType, e.EventType);
        EXPECT_EQ(f.Angle, Mirror(e.Angle));
        if (e.RelMovementOn) {
          EXPECT_EQ(f.RelHeading, Mirror(e.RelHeading));
        }
        EXPECT_EQ(f.FollowOffset, -e.FollowOffset);
        EXPECT_EQ(f.EndLeadX, -e.EndLeadX);
        EXPECT_NE(e.EndCondition, 10);
        EXPECT_EQ(f.EndCondition, e.EndCondition == 11 ? 10 : e.EndCondition);
        EXPECT_EQ(f.DistOrig, e.DistOrig);
        if (n + 20 != 48) {
          EXPECT_EQ(f.DesSpeed, e.DesSpeed);
        }
        if (r != a.CarrierSlot && e.EventType == 2) ++secondPassers;
      }
    }
    EXPECT_EQ(secondPassers > 0, n == 23 || n == 28 || n == 37);
  }
  EXPECT_EQ(passes, 4);
  EXPECT_EQ(draws, 15);
}

TEST_F(MoveCatalogueTest, RuckMoves1And25AsWrittenOut) {
  for (int n : {1, 25}) {
    const TMove& m = Ruck(n);
    SCOPED_TRACE(n);
    EXPECT_EQ(m.SimDuration, 8.0f);
    EXPECT_EQ(m.GainLimit, 100.0f);
    EXPECT_EQ(m.StopOnTackle & m.StopOnForcedRun & m.StopOnGain, kTrue32);
    EXPECT_EQ(m.StopOnFreeBall, Flag(n == 1));
    EXPECT_EQ(m.PlayKind, n == 1 ? 2 : 5);
    EXPECT_EQ(m.CarrierSlot, 1);
    EXPECT_EQ(m.Shirts[1], 9);
    EXPECT_EQ(m.Shirts[2], 10);
    EXPECT_EQ(m.Shirts[3], 0);
    const TActionSeq& sh = m.Seqs[1];
    EXPECT_EQ(sh.StartX, -0.09f);
    EXPECT_EQ(sh.StartZ, -3.5f);
    EXPECT_EQ(sh.NumEvents, 1);
    EXPECT_EQ(sh.KeyEventIndex, 0);
    const TActionEvent& p = sh.EventArray[1];
    EXPECT_EQ(p.EventType, 1);
    EXPECT_EQ(p.EventSubType, 10);
    EXPECT_EQ(p.Angle, 90.0f);
    EXPECT_EQ(p.DesSpeed, 10.0f);
    EXPECT_EQ(p.DistOrig, 6.25f);
    EXPECT_EQ(p.RelPlayer, 1);
    EXPECT_EQ(p.RelDistance, 5.0f);
    EXPECT_EQ(p.RelHeading, 90.0f);
    EXPECT_EQ(p.KickLaunchSpeed, 20.0f);
    EXPECT_EQ(p.ReceiverOffset, 0);
  }
  const TActionSeq& ten = Ruck(1).Seqs[2];
  EXPECT_EQ(ten.StartX, -6.93f);
  EXPECT_EQ(ten.StartZ, -8.5f);
  ASSERT_EQ(ten.NumEvents, 2);
  EXPECT_EQ(ten.KeyEventIndex, 2);
  EXPECT_EQ(ten.EventArray[1].EventType, 0);
  EXPECT_EQ(ten.EventArray[1].Angle, 59.0f);
  EXPECT_EQ(ten.EventArray[1].DesSpeed, 2.5f);
  EXPECT_EQ(ten.EventArray[1].DistOrig, 0.75f);
  EXPECT_EQ(ten.EventArray[2].EventType, 0);
  EXPECT_EQ(ten.EventArray[2].Angle, 46.0f);
  EXPECT_EQ(ten.EventArray[2].DesSpeed, 10.0f);
  EXPECT_EQ(ten.EventArray[2].DistOrig, 4.5f);

  const TActionSeq& kicker = Ruck(25).Seqs[2];
  EXPECT_EQ(kicker.StartX, -6.76f);
  EXPECT_EQ(kicker.StartZ, -9.06f);
  ASSERT_EQ(kicker.NumEvents, 1);
  const TActionEvent& k = kicker.EventArray[1];
  EXPECT_EQ(k.EventType, 55);
  EXPECT_EQ(k.EventSubType, 3);
  EXPECT_EQ(k.Angle, 67.5f);
  EXPECT_EQ(k.DesSpeed, 2.5f);
  EXPECT_EQ(k.DistOrig, 100.0f);
  EXPECT_EQ(k.KickLaunchSpeed, 12.5f);
  EXPECT_EQ(k.KickLaunchElevation, 38.0f);
  EXPECT_EQ(k.KickLaunchHeading, 67.5f);
}

TEST_F(MoveCatalogueTest, RuckPairsMirrorTheirOddMove) {
  // Move 2 by hand.
  const TMove& two = Ruck(2);
  EXPECT_EQ(two.Seqs[1].StartX, 0.09f);
  EXPECT_EQ(two.Seqs[2].StartX, 6.93f);
  EXPECT_EQ(two.Seqs[2].EventArray[1].Angle, 121.0f);
  EXPECT_EQ(two.Seqs[2].EventArray[2].Angle, 134.0f);

  // Move 26: move 25 with the kicker's x and kick heading only.
  static TMove expected;
  expected = Ruck(25);
  expected.Seqs[2].StartX = 6.76f;
  expected.Seqs[2].EventArray[1].Angle = 112.5f;
  expected.Seqs[2].EventArray[1].KickLaunchHeading = 112.5f;
  EXPECT_EQ(std::memcmp(&expected, &Ruck(26), sizeof expected), 0);

  // Every pair, field by field.
  for (int n = 1; n <= 99; n += 2) {
    if (n >= 93 && n <= 96) continue;
    const TMove& a = Ruck(n);
    const TMove& b = Ruck(n + 1);
    SCOPED_TRACE(n);
    const bool keepScrumHalf = (n >= 25 && n <= 88) || n >= 97;
    EXPECT_EQ(b.PlayKind, a.PlayKind);
    EXPECT_EQ(b.CarrierSlot, a.CarrierSlot);
    EXPECT_EQ(b.StopOnFreeBall, a.StopOnFreeBall);
    for (int r = 1; r <= UsedRoles(a); ++r) {
      const TActionSeq& s = a.Seqs[r];
      const TActionSeq& t = b.Seqs[r];
      EXPECT_EQ(b.Shirts[r], a.Shirts[r]);
      EXPECT_EQ(t.StartX, (keepScrumHalf && a.Shirts[r] == 9) ? s.StartX : -s.StartX) << "role " << r;
      EXPECT_EQ(t.StartZ, s.StartZ);
      ASSERT_EQ(t.NumEvents, s.NumEvents);
      for (int k = 1; k <= s.NumEvents; ++k) {
        const TActionEvent& e = s.EventArray[k];
        const TActionEvent& f = t.EventArray[k];
        const bool exception = (n == 5 && r == 1 && k == 1) || (n == 99 && r == 1 && k == 2);
        if (!exception) {
          EXPECT_EQ(f.Angle, Mirror(e.Angle)) << "role " << r << " event " << k;
        }
        EXPECT_EQ(f.RelHeading, Mirror(e.RelHeading));
        if (e.EventType == 5 || e.EventType == 55) {
          EXPECT_EQ(f.KickLaunchHeading, Mirror(e.KickLaunchHeading));
        }
        EXPECT_EQ(f.EventSubType, e.EventSubType);
        EXPECT_EQ(f.DistOrig, e.DistOrig);
      }
    }
  }
  EXPECT_EQ(Ruck(6).Seqs[1].EventArray[1].Angle, 95.0f);
  EXPECT_EQ(Ruck(5).Seqs[1].EventArray[1].Angle, 70.0f);
  EXPECT_EQ(Ruck(100).Seqs[1].EventArray[2].Angle, 80.0f);
  EXPECT_EQ(Ruck(99).Seqs[1].EventArray[2].Angle, 110.0f);
  EXPECT_EQ(Ruck(98).Seqs[1].EventArray[1].Angle, 350.0f);
  EXPECT_EQ(Ruck(6).Seqs[2].EventArray[2].RelHeading, 342.0f);
  EXPECT_EQ(Ruck(8).Seqs[2].EventArray[2].RelHeading, 230.0f);
}

TEST_F(MoveCatalogueTest, RuckKicks25To84) {
  struct TRow { i16 Kicker; f32 Angle, Speed, Elevation; };
  const TRow odd[30] = {
      {10, 67.5, 12.5, 38}, {10, 60, 13.75, 38}, {10, 45, 15, 38}, {10, 30, 18, 40},
      {12, 65, 12.5, 40},   {12, 53, 14.5, 40},  {12, 35, 17, 40}, {12, 20, 20, 43},
      {10, 67.5, 17.5, 57}, {10, 60, 17.75, 57}, {10, 45, 19, 57}, {10, 30, 22, 59},
      {12, 65, 17.5, 59},   {12, 53, 17.5, 59},  {12, 35, 20, 55}, {12, 20, 23, 51},
      {10, 67.5, 12.25, 23}, {10, 60, 13.5, 18}, {10, 45, 14.75, 18}, {10, 30, 17.75, 20},
      {12, 65, 12.25, 20},  {12, 53, 13.75, 20}, {12, 35, 16.25, 20}, {12, 20, 20, 18},
      {10, 25, 23, 40},     {10, 22.5, 25, 40},  {12, 20, 23, 42}, {12, 20, 25, 42},
      {10, 25, 25, 40},     {10, 22.5, 28, 38},
  };
  volatile f32 x = 6.76f, wide = 1.4f;
  const f32 wideX = x * wide;
  for (int n = 25; n <= 84; ++n) {
    SCOPED_TRACE(n);
    const TMove& m = Ruck(n);
    const TRow& row = odd[(n - 25) / 2];
    const bool isOdd = n % 2 == 1;
    const int kr = row.Kicker == 10 ? 2 : 3;
    EXPECT_EQ(m.PlayKind, 5);
    EXPECT_EQ(m.Shirts[kr], row.Kicker);
    EXPECT_EQ(UsedRoles(m), kr);
    const TActionSeq& s = m.Seqs[kr];
    const TActionEvent& k = s.EventArray[1];
    EXPECT_EQ(k.EventType, 55);
    EXPECT_EQ(k.EventSubType, n <= 40 ? 3 : n <= 56 ? 4 : n <= 72 ? 2 : 1);
    EXPECT_EQ(k.Angle, isOdd ? row.Angle : 180.0f - row.Angle);
    EXPECT_EQ(k.KickLaunchHeading, k.Angle);
    EXPECT_EQ(k.KickLaunchSpeed, row.Speed);
    EXPECT_EQ(k.KickLaunchElevation, row.Elevation);
    EXPECT_EQ(k.DistOrig, 100.0f);
    EXPECT_EQ(k.DesSpeed, row.Kicker == 10 ? 2.5f : 4.5f);
    const f32 oddX = row.Kicker == 10 ? (n >= 81 ? wideX : -6.76f) : -13.76f;
    EXPECT_EQ(s.StartX, isOdd ? oddX : -oddX);
    EXPECT_EQ(m.Seqs[1].StartX, -0.09f);
    if (row.Kicker == 12) {
      const TActionEvent& pass = m.Seqs[2].EventArray[1];
      EXPECT_EQ(pass.EventType, 1);
      EXPECT_EQ(pass.EventSubType, 12);
      EXPECT_EQ(pass.Angle, isOdd ? 50.0f : 130.0f);
      EXPECT_EQ(m.Seqs[2].StartZ, -10.06f);
    }
  }
  EXPECT_EQ(Ruck(81).Seqs[2].StartX, 9.464f);
  EXPECT_EQ(Ruck(84).Seqs[2].StartX, -9.464f);
}

TEST_F(MoveCatalogueTest, OtherRuckFamilies) {
  struct TCase { int Move; i16 PlayKind; i16 Receiver; f32 X, Z; i32 Type, Sub, Code; };
  const TCase cases[] = {
      {3, 2, 12, -6.97f, -8.69f, 0, 0, 0},    {9, 3, 10, -8.56f, -10.76f, 5, 1, 1}, {12, 3, 12, 9.95f, -11.46f, 5, 1, 1},
      {13, 4, 10, -8.56f, -10.76f, 5, 1, 2},  {16, 4, 12, 9.95f, -11.46f, 5, 1, 2}, {17, 6, 10, -8.47f, -12.34f, 5, 5, 4},
      {19, 6, 10, -3.04f, -12.96f, 5, 5, 4},  {21, 6, 12, -10.08f, -12.99f, 5, 5, 4}, {24, 6, 12, 3.91f, -15.7f, 5, 5, 4},
      {85, 7, 10, 8.47f, -12.34f, 5, 1, 5},   {86, 7, 10, -8.47f, -12.34f, 5, 1, 5}, {89, 3, 10, -8.56f, -7.0f, 5, 1, 1},
      {92, 4, 10, 8.56f, -7.0f, 5, 1, 2},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Move);
    const TMove& m = Ruck(c.Move);
    EXPECT_EQ(m.PlayKind, c.PlayKind);
    EXPECT_EQ(m.Shirts[2], c.Receiver);
    EXPECT_EQ(m.Seqs[1].EventArray[1].EventSubType, c.Receiver);
    EXPECT_EQ(m.Seqs[1].EventArray[1].DistOrig, c.Receiver == 10 ? 6.25f : 0.13f);
    EXPECT_EQ(m.Seqs[2].StartX, c.X);
    EXPECT_EQ(m.Seqs[2].StartZ, c.Z);
    EXPECT_EQ(m.Seqs[2].EventArray[1].EventType, c.Type);
    EXPECT_EQ(m.Seqs[2].EventArray[1].EventSubType, c.Sub);
    EXPECT_EQ(m.Seqs[2].EventArray[1].EventCode, c.Code);
  }
  // 85-88: the scrum-half at x -0.09 passes at 170 / 10; 10 chips at 175, 5, 5, 175 with 30 m/s.
  const f32 chip[4] = {175, 5, 5, 175};
  for (int n = 85; n <= 88; ++n) {
    SCOPED_TRACE(n);
    const TMove& m = Ruck(n);
    EXPECT_EQ(m.Seqs[1].StartX, -0.09f);
    EXPECT_EQ(m.Seqs[1].EventArray[1].Angle, n % 2 ? 170.0f : 10.0f);
    EXPECT_EQ(m.Seqs[2].EventArray[1].Angle, chip[n - 85]);
    EXPECT_EQ(m.Seqs[2].EventArray[1].KickLaunchHeading, chip[n - 85]);
    EXPECT_EQ(m.Seqs[2].EventArray[1].KickLaunchSpeed, 30.0f);
    EXPECT_EQ(m.Seqs[2].EventArray[2].Angle, chip[n - 85]);
    EXPECT_EQ(m.Seqs[2].EventArray[2].DesSpeed, 0.8f);
  }
  // 5-8, 95: a forward first; the scrum-half feeds him and follows him.
  const f32 followAngles[4] = {198, 342, 310, 230};
  for (int n = 5; n <= 8; ++n) {
    SCOPED_TRACE(n);
    const TMove& m = Ruck(n);
    const i16 forward = n <= 6 ? 8 : 2;
    EXPECT_EQ(m.PlayKind, 1);
    EXPECT_EQ(m.CarrierSlot, 2);
    EXPECT_EQ(m.Shirts[1], forward);
    EXPECT_EQ(m.Shirts[2], 9);
    EXPECT_EQ(m.Seqs[1].KeyEventIndex, 2);
    EXPECT_EQ(m.Seqs[1].SeqHeadValue, forward == 8 ? 0.55f : 0.0f);
    const TActionEvent& pass = m.Seqs[2].EventArray[1];
    EXPECT_EQ(pass.EventSubType, forward);
    EXPECT_EQ(pass.DesSpeed, 3.0f);
    EXPECT_EQ(pass.DistOrig, 0.0f);
    const TActionEvent& follow = m.Seqs[2].EventArray[2];
    EXPECT_EQ(follow.RelMovementOn, kTrue32);
    EXPECT_EQ(follow.RelOwnTeam, kTrue32);
    EXPECT_EQ(follow.RelPlayer, forward);
    EXPECT_EQ(follow.RelDistance, 2.0f);
    EXPECT_EQ(follow.RelHeading, followAngles[n - 5]);
    EXPECT_EQ(follow.Duration, 100.0f);
    EXPECT_EQ(follow.EndCondition, 1);
  }
  const TMove& m95 = Ruck(95);
  EXPECT_EQ(m95.CarrierSlot, 3);
  EXPECT_EQ(m95.Shirts[1], 5);
  EXPECT_EQ(m95.Shirts[2], 8);
  EXPECT_EQ(m95.Shirts[3], 9);
  EXPECT_EQ(m95.Seqs[1].SeqHeadValue, 0.4f);
  EXPECT_EQ(m95.Seqs[2].SeqHeadValue, 0.55f);
  EXPECT_EQ(m95.Seqs[3].EventArray[1].EventSubType, 5);
  EXPECT_EQ(m95.Seqs[3].EventArray[2].RelPlayer, 5);
  // 97-100: number 8 at +-3.75 or +-7.5; 101, 102: the scrum-half kicks alone.
  const f32 eightX[4] = {3.75f, -3.75f, 7.5f, -7.5f};
  for (int n = 97; n <= 100; ++n) EXPECT_EQ(Ruck(n).Seqs[2].StartX, eightX[n - 97]) << n;
  for (int n = 101; n <= 102; ++n) {
    const TMove& m = Ruck(n);
    EXPECT_EQ(m.PlayKind, n == 101 ? 3 : 4);
    EXPECT_EQ(UsedRoles(m), 1);
    EXPECT_EQ(m.Seqs[1].StartX, -0.09f);
    EXPECT_EQ(m.Seqs[1].EventArray[1].EventType, 5);
    EXPECT_EQ(m.Seqs[1].EventArray[1].EventSubType, 8);
    EXPECT_EQ(m.Seqs[1].EventArray[1].EventCode, n - 100);
    EXPECT_EQ(m.Seqs[1].EventArray[1].DistOrig, 6.25f);
  }
}

}  // namespace
