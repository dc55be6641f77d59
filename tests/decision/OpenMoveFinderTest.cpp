#include "decision/OpenMoveFinder.h"

#include <gtest/gtest.h>

#include <map>

#include "MoveBookScene.h"
#include "core/DrawCount.h"
#include "core/FloatFlags.h"
#include "core/MoveBooks.h"
#include "core/StrategyShapes.h"

namespace {

constexpr int kCarrier = 10;
constexpr int kMarker = 3;

using TGains = std::map<int, float>;  // open move -> its MinGain

// The scene: block 1 in running, its player 10 carrying the ball at the
// centre spot, running straight up-field; block 2's player 3, his marker,
// 10 m ahead of him; open-move mode 1 with a marker closing in 0.6 s. The
// carrier has finesse, no kicking chance and a re-plan timer still running.
class OpenMoveFinder : public ::testing::Test {
 protected:
  static inline TWorld W;

  void SetUp() override {
    MakeMoveBookScene(W);
    W.gamestate = gsRunning;
    W.TimeSinceSetPiece = 10.0f;
    W.Teams[1].BallCarrier = kCarrier;
    TPlayer& C = Carrier();
    C.Velocity = {0.0f, 5.0f};
    C.finesse = 80;
    C.KickProb = 0;
    C.ReplanTimer = 1.0f;
    Marker().Pos.z = 10.0f;
    StrategyParams.OpenMoveFlag = 1;
    StrategyParams.NearestClosing = 0.6f;
    StrategyParams.NearestDefender = kMarker;
    StrategyParams.HoldReleased = kFalse32;
    StrategyParams.TouchDangerTimer = 0.0f;
  }

  static TPlayer& Carrier() { return W.Teams[1].Players[kCarrier]; }
  static TPlayer& Marker() { return W.Teams[2].Players[kMarker]; }
  static TMoveBook& Book() { return MoveBooks[1]; }

  // The moves open after the call, with the MinGain of the table the state
  // samples.
  static TGains Opened() {
    const TMoveTable& T = W.gamestate == gsGotTackled ? Book().RuckMoves : Book().OpenPlayMoves;
    TGains out;
    for (int m = 1; m <= kMovesPerBook; ++m) {
      if (Book().OpenFlags[m] != 0) out[m] = T[m].MinGain;
    }
    return out;
  }

  static TGains Find() {
    FindOpenMoves(W);
    EXPECT_FALSE(FloatErrorRaised());
    return Opened();
  }

  // Every move of `required` is open with its gain; any other open move is
  // one of `optional` (the moves left to a roll) with its gain.
  static void ExpectOpened(const TGains& got, const TGains& required, const TGains& optional = {}) {
    for (const auto& [m, gain] : required) {
      ASSERT_TRUE(got.contains(m)) << "move " << m << " is not open";
      EXPECT_EQ(got.at(m), gain) << "move " << m;
    }
    for (const auto& [m, gain] : got) {
      if (required.contains(m)) continue;
      ASSERT_TRUE(optional.contains(m)) << "move " << m << " should be closed";
      EXPECT_EQ(gain, optional.at(m)) << "move " << m;
    }
  }
};

TGains Range(int first, int last, float gain) {
  TGains out;
  for (int m = first; m <= last; ++m) out[m] = gain;
  return out;
}

TGains Join(TGains a, const TGains& b) {
  a.insert(b.begin(), b.end());
  return a;
}

// A carrier busy with any of the six actions opens no move of steps 3 to 8:
// only an offload while he is being tackled, and the set-piece starts when he
// holds the ball from a set piece near touch.
TEST_F(OpenMoveFinder, BusyCarrierGetsOnlySetPieceAndOffloadMoves) {
  struct Case {
    const char* what;
    f32 TPlayer::*timer;
  };
  const Case cases[] = {
      {"passtimer", &TPlayer::passtimer},
      {"KickTimer", &TPlayer::KickTimer},
      {"StepTimer", &TPlayer::StepTimer},
      {"BreakTackleTimer", &TPlayer::BreakTackleTimer},
      {"ForcedRunTimer", &TPlayer::ForcedRunTimer},
      {"GettingTackledTimer", &TPlayer::GettingTackledTimer},
  };
  const TGains offloads = Range(91, 98, 2.5f);
  for (const Case& c : cases) {
    for (bool setPiece : {false, true}) {
      SCOPED_TRACE(testing::Message() << c.what << (setPiece ? " at a set-piece start" : ""));
      SetUp();
      StrategyParams.NearestClosing = 0.8f;  // the long plays would open too
      W.Teams[1].OffloadTime = 1.0f;
      Carrier().*c.timer = 0.5f;
      if (setPiece) {
        W.TimeSinceSetPiece = 0.5f;
        W.SetPieceStart = kTrue32;
        W.Teams[1].SetPieceHolder = kCarrier;
        W.BallPos.x = -20.0f;
        Carrier().Pos.x = -25.0f;
      }
      const bool tackled = c.timer == &TPlayer::GettingTackledTimer;
      TGains required = tackled ? offloads : TGains{};
      if (setPiece) required[128] = 1.0f;
      ExpectOpened(Find(), required, Join(offloads, {{127, 1.0f}, {130, 1.0f}}));
    }
  }
  // The free carrier of the same scene opens the plays of his mode.
  SetUp();
  ExpectOpened(Find(),
               {{1, 0.0f}, {4, 0.0f}, {11, 0.5f}, {25, 1.5f}, {26, 1.5f}, {27, 1.5f}, {28, 1.5f}, {81, 2.0f},
                {71, 3.0f}},
               {{61, 1.0f}, {62, 1.0f}, {67, 1.0f}, {68, 1.0f}});
}

// A pass under way leaves him free once a held move has reached its key
// event, but never while he is being tackled.
TEST_F(OpenMoveFinder, HeldMoveReleasedFreesAPassingCarrierUnlessTackled) {
  Carrier().passtimer = 0.3f;
  StrategyParams.HoldReleased = kTrue32;
  EXPECT_TRUE(Find().contains(1));
  SetUp();
  Carrier().passtimer = 0.3f;
  Carrier().GettingTackledTimer = 0.3f;
  StrategyParams.HoldReleased = kTrue32;
  EXPECT_EQ(Find(), TGains{});
}

// Mode 0 opens move 1, and the four quick support plays only for a marker
// closing in under 0.55 s.
TEST_F(OpenMoveFinder, ModeZeroOpensTheQuickPlaysOnlyBelowTheBias) {
  struct Case {
    f32 bias;
    bool quick;
  };
  for (const Case& c : {Case{0.54f, true}, Case{0.55f, false}, Case{0.9f, false}}) {
    SCOPED_TRACE(testing::Message() << "NearestClosing " << c.bias);
    SetUp();
    StrategyParams.OpenMoveFlag = 0;
    StrategyParams.NearestClosing = c.bias;
    Marker().Pos.z = -5.0f;  // the carrier is past him: no side steps
    TGains expected{{1, 0.0f}, {81, 2.0f}};
    if (c.quick) expected = Join(expected, {{26, 1.5f}, {27, 1.5f}, {46, 1.5f}, {47, 1.5f}});
    EXPECT_EQ(Find(), expected);
  }
}

// Near a touch line (or on the alarm's side) only that side's set is open:
// everything steps 3 to 6 opened is closed again.
TEST_F(OpenMoveFinder, CarrierNearTouchGetsOnlyThatSidesSet) {
  struct Case {
    const char* what;
    f32 x;
    f32 alarm;
    bool markerAhead;
    TGains required;
    TGains optional;
  };
  const TGains leftKicks = Join(Range(117, 120, 3.0f), Range(107, 110, 3.0f));
  const Case cases[] = {
      {"left, carrier past his marker", -34.5f, 0.0f, false,
       {{1, 0.0f}, {7, 0.0f}, {8, 0.0f}, {41, 1.0f}, {42, 1.0f}}, Join(leftKicks, {{81, 2.0f}, {83, 2.0f}})},
      {"left, marker ahead", -34.5f, 0.0f, true,
       {{1, 0.0f}, {7, 0.0f}, {8, 0.0f}, {46, 1.0f}, {47, 1.0f}, {62, 1.0f}, {72, 3.0f}},
       Join(leftKicks, {{68, 1.0f}, {81, 2.0f}, {83, 2.0f}})},
      {"touch alarm on the left half", -3.0f, 0.2f, false,
       {{1, 0.0f}, {7, 0.0f}, {8, 0.0f}, {41, 1.0f}, {42, 1.0f}}, Join(leftKicks, {{81, 2.0f}, {83, 2.0f}})},
      {"right, carrier past his marker", 34.5f, 0.0f, false,
       {{1, 0.0f}, {3, 0.0f}, {4, 0.0f}, {21, 1.0f}, {22, 1.0f}},
       Join(Join(Range(113, 116, 3.0f), Range(103, 106, 3.0f)), {{81, 2.0f}, {82, 2.0f}})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetUp();
    StrategyParams.NearestClosing = 0.8f;  // the long plays of step 3 would open
    StrategyParams.TouchDangerTimer = c.alarm;
    Carrier().Pos.x = c.x;
    Carrier().KickProb = 500;
    Marker().Pos.z = c.markerAhead ? 10.0f : -5.0f;
    const TGains got = Find();
    ExpectOpened(got, c.required, c.optional);
    EXPECT_EQ(got.count(81) + got.count(82) + got.count(83), 1u);
  }
  // Exactly 1.0 m from the left touch line he is not within it.
  SetUp();
  Carrier().Pos.x = -34.0f;
  EXPECT_TRUE(Find().contains(11));
}

// In gottackled exactly the ruck moves of the play option are open at
// -4.5 m, and moves 1 and 2 always at -20.0 m.
TEST_F(OpenMoveFinder, RuckMovesOfThePlayOptionAndTheDefaultPlays) {
  for (u16 option : {u16{0}, u16{3}}) {
    SCOPED_TRACE(testing::Message() << "PlayOption " << option);
    SetUp();
    W.gamestate = gsGotTackled;
    W.Teams[1].PlayOption = option;
    TGains expected{{1, -20.0f}, {2, -20.0f}};
    for (int m = 3; m <= kMovesPerBook; ++m) {
      if (Book().RuckMoves[m].PlayKind == option) expected[m] = -4.5f;
    }
    const u32 before = RandSeed;
    EXPECT_EQ(Find(), expected);
    EXPECT_EQ(DrawsSince(before), 0);
    if (option == 3) {
      EXPECT_GT(expected.size(), 2u);
    }
  }
}

// The rolls: a fresh draw for each, and each "one of" one draw more; no
// draw in another state or without a carrier.
TEST_F(OpenMoveFinder, DrawsOneNumberPerRoll) {
  struct Case {
    const char* what;
    TGameState state;
    i32 carrier;
    f32 replan;
    int draws;
  };
  // Mode 1 with a slow marker ahead and a still carrier: the two long plays,
  // the side-step roll, the in-step roll (finesse 80), the kick roll; the
  // re-plan timer, once run out, is two draws more.
  const Case cases[] = {
      {"running", gsRunning, kCarrier, 1.0f, 5},
      {"running, re-plan timer out", gsRunning, kCarrier, 0.0f, 7},
      {"no carrier", gsRunning, 0, 0.0f, 0},
      {"passing", gsPassing, kCarrier, 0.0f, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetUp();
    StrategyParams.NearestClosing = 0.8f;
    W.gamestate = c.state;
    W.Teams[1].BallCarrier = c.carrier;
    Carrier().Velocity.x = 0.05f;
    Carrier().ReplanTimer = c.replan;
    Book().OpenFlags[150] = kTrue32;
    const u32 before = RandSeed;
    FindOpenMoves(W);
    EXPECT_EQ(DrawsSince(before), c.draws);
    EXPECT_EQ(Book().OpenFlags[150] != 0, c.state == gsPassing);
  }
}

// A marker index naming no player reads block 2's player 1, the scan's own
// default.
TEST_F(OpenMoveFinder, MarkerOutsideTheBlockReadsPlayerOne) {
  for (i32 index : {0, 26}) {
    SCOPED_TRACE(index);
    SetUp();
    Marker().Pos.z = -5.0f;
    W.Teams[2].Players[1].Pos.z = 10.0f;
    StrategyParams.NearestDefender = index;
    const TGains got = Find();
    EXPECT_TRUE(got.contains(61) || got.contains(62));
    EXPECT_TRUE(got.contains(25));
  }
}

}  // namespace
