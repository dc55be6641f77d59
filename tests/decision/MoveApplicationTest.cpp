#include "decision/MoveApplication.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "AllocationCounter.h"
#include "MoveBookScene.h"
#include "core/DrawCount.h"
#include "core/FloatFlags.h"
#include "core/MoveBooks.h"
#include "core/SlotLines.h"
#include "core/StrategyShapes.h"
#include "platform/Form.h"

namespace {

constexpr int kRuckMove = 40;  // fixture slots of the tables
constexpr int kOpenMove = 40;
constexpr int kHolder = 9;
constexpr int kCarrier = 10;
constexpr f32 kTop = 8.0f;  // m/s, everybody's maxspeed

// Every block-1 player 60 m up-field with nothing running (so nobody is a
// support candidate and nobody is busy), top speed 8 m/s. In gottackled the
// mark is the centre spot and player 9 holds the ball; in running player 10
// carries it there.
class MoveApplication : public ::testing::Test {
 protected:
  static inline TWorld W;

  void SetUp() override {
    MakeMoveBookScene(W);
    W.LiveWorld = kTrue32;
    for (int p = 1; p <= 25; ++p) {
      TPlayer& P = Player(p);
      P.Pos = {static_cast<f32>(p - 8), 0.0f, 60.0f};
      P.maxspeed = kTop;
    }
    W.Teams[1].SetPieceHolder = kHolder;
    W.Teams[1].BallCarrier = kCarrier;
    Player(kCarrier).Pos = {0.0f, 0.0f, 0.0f};
    Form1.Memo2.Clear();
  }

  static TPlayer& Player(int p) { return W.Teams[1].Players[p]; }
  static TActionSeq& Seq(int p) { return Player(p).ActionSeq; }
  static TMoveBook& Book() { return MoveBooks[1]; }

  static bool Apply(int move) {
    bool32 feasible = 12345;
    ApplyMove(W, move, feasible);
    EXPECT_FALSE(FloatErrorRaised());
    EXPECT_TRUE(feasible == kTrue32 || feasible == kFalse32);
    return feasible != 0;
  }

  // Ruck fixture: role 1 (the holder's) passes to shirt 10 and waits 3 m
  // behind the mark; role 2, shirt 10, waits at (-6, -8), runs, then runs on
  // beside shirt 9.
  static TMove& FixtureRuckMove() {
    TMove& M = Book().RuckMoves[kRuckMove];
    std::memset(static_cast<void*>(&M), 0, sizeof M);
    M.PlayKind = 2;
    M.CarrierSlot = 1;
    M.Shirts[1] = 9;
    M.Shirts[2] = 10;
    TActionSeq& H = M.Seqs[1];
    H.seqON = kTrue32;
    H.NumEvents = 1;
    H.StartZ = -3.0f;
    H.EventArray[1].EventType = 1;
    H.EventArray[1].EventSubType = 10;
    TActionSeq& R = M.Seqs[2];
    R.seqON = kTrue32;
    R.NumEvents = 2;
    R.StartX = -6.0f;
    R.StartZ = -8.0f;
    R.EventArray[1].Angle = 45.0f;
    R.EventArray[2].RelMovementOn = kTrue32;
    R.EventArray[2].RelPlayer = 9;
    return M;
  }

  // Who runs role 2 of the fixture: the one block-1 player other than the
  // holder whose sequence came from it (its first event heads 45 degrees).
  static int RoleTwoPlayer() {
    int found = 0;
    for (int p = 1; p <= 25; ++p) {
      if (p != kHolder && Seq(p).seqON != 0 && Seq(p).EventArray[1].Angle == 45.0f) found = found == 0 ? p : -1;
    }
    return found;
  }
};

// ---------------------------------------------------------------- ruck moves

// The wanted shirt plays when he is free, else the first free player of his
// cover list (10: 12, 13, 15, 9, 14, 11); events naming a listed shirt name
// whoever took his role. With nobody free the move is not feasible and no
// one receives it: the holder's own sequence stops too.
TEST_F(MoveApplication, RuckRoleGoesToTheShirtOrHisFirstFreeCover) {
  struct Case {
    const char* what;
    std::vector<int> busy;  // each busy with a different reason
    int holder;
    int taker;              // of role 2, 0 = nobody
  };
  const Case cases[] = {
      {"shirt 10 free", {}, kHolder, 10},
      {"10 in the ruck", {10}, kHolder, 12},
      {"10 and 12 busy", {10, 12}, kHolder, 13},
      {"10, 12, 13, 15 busy; 9 holds the ball", {10, 12, 13, 15}, kHolder, 14},
      {"every cover busy", {10, 12, 13, 15, 14, 11}, kHolder, 0},
      {"the holder is player 7", {}, 7, 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetUp();
    W.gamestate = gsGotTackled;
    W.Teams[1].SetPieceHolder = c.holder;
    FixtureRuckMove();
    Seq(c.holder).seqON = kTrue32;  // his present orders
    int reason = 0;
    for (int p : c.busy) {
      TPlayer& P = Player(p);
      switch (reason++ % 6) {
        case 0: P.RuckTimer = 1.0f; break;
        case 1: P.RuckTimer2 = 1.0f; break;
        case 2: P.TackleAttemptTimer = 1.0f; break;
        case 3: P.GettingTackledTimer = 1.0f; break;
        case 4: P.OldTackleTimer = 1.0f; break;
        default: W.Teams[1].TackledPlayer = p; break;
      }
    }
    const bool feasible = Apply(kRuckMove);
    EXPECT_EQ(feasible, c.taker != 0);
    EXPECT_EQ(Seq(c.holder).seqON != 0, feasible);
    if (!feasible) {
      EXPECT_EQ(RoleTwoPlayer(), 0);
      continue;
    }
    EXPECT_EQ(RoleTwoPlayer(), c.taker);
    EXPECT_EQ(Seq(c.holder).EventArray[1].EventSubType, c.taker);
    EXPECT_EQ(Seq(c.taker).EventArray[2].RelPlayer, c.holder);
  }
}

// Start points are moved to the mark; one within 0.5 m of a touch line or
// beyond the own in-goal less 0.5 m makes the move not feasible, and the
// roles loaded before it lose their seqON.
TEST_F(MoveApplication, RuckStartPointNearTouchOrDeadBallIsNotFeasible) {
  struct Case {
    const char* what;
    f32 markX, markZ;
    f32 startX, startZ;  // of role 2, from the mark
    bool feasible;
  };
  const Case cases[] = {
      {"0.6 m inside the right touch line", 30.0f, 0.0f, 4.4f, -8.0f, true},
      {"0.4 m inside the right touch line", 30.0f, 0.0f, 4.6f, -8.0f, false},
      {"0.4 m inside the left touch line", -30.0f, 0.0f, -4.6f, -8.0f, false},
      {"0.4 m before the dead-ball line", 0.0f, -51.0f, -6.0f, -8.6f, false},
      {"0.6 m before the dead-ball line", 0.0f, -51.0f, -6.0f, -8.4f, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetUp();
    W.gamestate = gsGotTackled;
    W.MarkX = c.markX;
    W.MarkZ = c.markZ;
    TMove& M = FixtureRuckMove();
    M.Seqs[2].StartX = c.startX;
    M.Seqs[2].StartZ = c.startZ;
    EXPECT_EQ(Apply(kRuckMove), c.feasible);
    const TActionSeq& H = Seq(kHolder);
    EXPECT_EQ(H.HoldStartPos, kTrue32);  // loaded before role 2 was tested
    EXPECT_EQ(H.StartX, c.markX);
    EXPECT_EQ(H.StartZ, ToF32(c.markZ - 3.0));
    EXPECT_EQ(H.seqON != 0, c.feasible);
    EXPECT_EQ(Seq(10).seqON != 0, c.feasible);
    EXPECT_EQ(Seq(10).StartX, ToF32(static_cast<double>(c.markX) + c.startX));
  }
}

// A feasible move puts its line players (LineFlag, not the holder) into the
// side's line at their start x: into the 201-slot line while it holds
// players, keeping a slot he already has, else into the ordered line.
TEST_F(MoveApplication, RuckLinePlayersEnterTheLineAtTheirStartX) {
  for (bool slots : {false, true}) {
    SCOPED_TRACE(slots ? "slot line in use" : "ordered line");
    SetUp();
    W.gamestate = gsGotTackled;
    W.MarkX = 9.25f;  // role 2 starts at x 3.25
    FixtureRuckMove();
    Player(10).LineFlag = kTrue32;
    Player(kHolder).LineFlag = kTrue32;
    TTeamBlock& A = W.Teams[1];
    A.Line.MinPos = -35.0f;
    A.Line.MaxPos = 35.0f;
    if (slots) {
      for (int k = 1; k <= kSlotCount; ++k) A.SetPieceSlotPos[k].x = ToF32((k - 101) * 0.5);
      A.SetPieceLine[kCentreSlot] = kHolder;
    }
    ASSERT_TRUE(Apply(kRuckMove));
    if (slots) {
      EXPECT_EQ(A.SetPieceLine[107], 10);  // x 3.0, the first free slot within 0.5 m of 3.25
      EXPECT_EQ(A.Line.Count, 0);
      int held = 0;
      for (i32 s : A.SetPieceLine) held += s == 10;
      EXPECT_EQ(held, 1);
      Apply(kRuckMove);  // again: he keeps his slot
      EXPECT_EQ(A.SetPieceLine[107], 10);
    } else {
      ASSERT_EQ(A.Line.Count, 1);  // the holder stays out
      EXPECT_EQ(A.Line.Ids[1], 10);
      EXPECT_EQ(A.Line.Pos[1], 3.25f);
    }
  }
}

// ---------------------------------------------------------------- default ruck plays

// Moves 1 and 2 chain along the ordered line from the holder: he passes to
// the next, each runner in between draws and passes on, the last keeps his
// orders. The player next to the holder runs at 0.55 x maxspeed on 65 (move 1)
// or 115 (move 2) degrees, the others at 0.85 x on 75 or 105, straight within
// 5 m of touch; each runner's pass expires after n x 0.85 + 0.25 s.
TEST_F(MoveApplication, DefaultRuckPlaysChainAlongTheLine) {
  struct Runner {
    int player;
    i32 type, receiver;
    f32 speed, angle, deadline;
  };
  struct Case {
    int move;
    std::vector<Runner> runners;
    int untouched;  // the end of the chain
  };
  const f32 tpl = 0.0f;  // template values the holder's pass keeps
  const Case cases[] = {
      {1,
       {{4, 1, 3, tpl, tpl, tpl},
        {3, 2, 2, 0.55f * kTop, 65.0f, 1.95f},
        {2, 2, 1, ToF32(0.85 * kTop), 75.0f, 2.8f}},
       1},
      {2,
       {{4, 1, 5, tpl, tpl, tpl},
        {5, 2, 6, 0.55f * kTop, 115.0f, 1.95f},
        {6, 2, 7, ToF32(0.85 * kTop), 90.0f, 2.8f}},  // within 5 m of touch
       7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "move " << c.move);
    SetUp();
    W.gamestate = gsGotTackled;
    TTeamBlock& A = W.Teams[1];
    A.SetPieceHolder = 4;
    A.Line.Count = 7;
    for (int k = 1; k <= 7; ++k) {
      A.Line.Ids[k] = static_cast<i16>(k);
      Player(k).DesiredPos.x = ToF32((k - 4) * 5.0);
    }
    Player(6).DesiredPos.x = 30.5f;
    Seq(c.untouched).seqON = kTrue32;
    Seq(c.untouched).EventArray[1].Angle = 33.0f;
    EXPECT_TRUE(Apply(c.move));
    for (const Runner& r : c.runners) {
      SCOPED_TRACE(testing::Message() << "player " << r.player);
      const TActionSeq& S = Seq(r.player);
      const TActionEvent& E = S.EventArray[1];
      EXPECT_EQ(S.seqON, kTrue32);
      EXPECT_EQ(E.EventType, r.type);
      EXPECT_EQ(E.EventSubType, r.receiver);
      if (r.type != 2) continue;
      EXPECT_EQ(E.DesSpeed, r.speed);
      EXPECT_EQ(E.Angle, r.angle);
      EXPECT_EQ(E.Deadline, r.deadline);
      EXPECT_EQ(S.KeyEventIndex, 1);
    }
    EXPECT_EQ(Seq(c.untouched).EventArray[1].Angle, 33.0f);
    EXPECT_EQ(Seq(4).EventArray[1].DesSpeed, StrategyParams.ActionSeqTemplate.EventArray[1].DesSpeed);
  }
}

// Busy players, the tackled player, released breakdown runners and, with the
// mark near touch, idle players on its touch side stay out of the chain; a
// holder at the end of it runs himself.
TEST_F(MoveApplication, DefaultRuckPlayChainLeavesOutBusyPlayers) {
  struct Case {
    const char* what;
    void (*leaveOut)(TWorld&);  // applied to player 3
    int receiver;               // of the holder's pass in move 1
  };
  const Case cases[] = {
      {"nothing", [](TWorld&) {}, 3},
      {"standing up", [](TWorld& w) { w.Teams[1].Players[3].standuptimer = 0.5f; }, 2},
      {"tackled", [](TWorld& w) { w.Teams[1].TackledPlayer = 3; }, 2},
      {"released breakdown runner",
       [](TWorld& w) {
         w.Teams[1].Players[3].ActionSeq.seqON = kTrue32;
         w.Teams[1].Players[3].ActionSeq.SeqHeadValue = 0.4f;
       },
       2},
      {"idle on the touch side of a mark near touch",
       [](TWorld& w) {
         w.MarkX = -33.0f;
         w.Teams[1].Players[3].DesiredPos.x = -34.0f;
       },
       2},
      {"running on the touch side of a mark near touch",
       [](TWorld& w) {
         w.MarkX = -33.0f;
         w.Teams[1].Players[3].DesiredPos.x = -34.0f;
         w.Teams[1].Players[3].ActionSeq.seqON = kTrue32;
         w.Teams[1].Players[3].ActionSeq.EventArray[1].EventType = 2;
       },
       3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetUp();
    W.gamestate = gsGotTackled;
    TTeamBlock& A = W.Teams[1];
    A.SetPieceHolder = 4;
    A.Line.Count = 4;
    for (int k = 1; k <= 4; ++k) A.Line.Ids[k] = static_cast<i16>(k);
    c.leaveOut(W);
    Apply(1);
    EXPECT_EQ(Seq(4).EventArray[1].EventType, 1);
    EXPECT_EQ(Seq(4).EventArray[1].EventSubType, c.receiver);
  }
  // At the end of the chain (and missing from the line) he runs 0.75 m.
  for (int line : {4, 0}) {
    SetUp();
    W.gamestate = gsGotTackled;
    W.Teams[1].SetPieceHolder = 4;
    W.Teams[1].Line.Count = static_cast<i16>(line);
    for (int k = 1; k <= line; ++k) W.Teams[1].Line.Ids[k] = static_cast<i16>(k);
    Apply(2);
    const TActionEvent& E = Seq(4).EventArray[1];
    EXPECT_EQ(E.EventType, 0);
    EXPECT_EQ(E.DesSpeed, ToF32(0.95 * kTop));
    EXPECT_EQ(E.Angle, 10.0f);
    EXPECT_EQ(E.DistOrig, 0.75f);
  }
}

// ---------------------------------------------------------------- open play

// Support candidates by width and depth (dz behind the carrier), on the side
// of the play: AttackSide 1 plays to smaller x, 2 to larger, else the
// carrier's sideways speed decides.
TEST_F(MoveApplication, OpenPlaySupportCandidatesByBand) {
  struct Case {
    const char* what;
    i32 attackSide;
    f32 vx;
    f32 x, z;  // the team-mate, the carrier at (0, 0)
    bool candidate;
  };
  const Case cases[] = {
      {"3.5 m across, 8 m behind", 0, 0.0f, 3.5f, -8.0f, false},
      {"3.5 m across, 6.9 m behind", 0, 0.0f, 3.5f, -6.9f, true},
      {"2 m across, 4.1 m behind", 0, 0.0f, -2.0f, -4.1f, false},
      {"2 m across, 3.9 m behind", 0, 0.0f, -2.0f, -3.9f, true},
      {"12 m across, 21 m behind", 0, 0.0f, 12.0f, -21.0f, true},
      {"12 m across, 21.5 m behind", 0, 0.0f, 12.0f, -21.5f, false},
      {"level with him", 0, 0.0f, 2.0f, 0.0f, true},
      {"ahead of him", 0, 0.0f, 2.0f, 0.5f, false},
      {"play to smaller x: 8 m the other way, 0.4 m behind", 1, 0.0f, 8.0f, -0.4f, false},
      {"play to smaller x: 8 m the other way, 0.6 m behind", 1, 0.0f, 8.0f, -0.6f, true},
      {"play to smaller x: 16 m the other way", 1, 0.0f, 16.0f, -5.0f, false},
      {"play to larger x: 8 m the other way, 1.9 m behind", 2, 0.0f, -8.0f, -1.9f, false},
      {"play to larger x: 8 m the other way, 2.1 m behind", 2, 0.0f, -8.0f, -2.1f, true},
      {"running to larger x: 8 m the other way, 1.9 m behind", 0, 1.0f, -8.0f, -1.9f, false},
      {"running to larger x: 8 m on his side, 1.9 m behind", 0, 1.0f, 8.0f, -1.9f, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetUp();
    W.gamestate = gsRunning;
    W.Teams[1].AttackSide = c.attackSide;
    Player(kCarrier).Velocity.x = c.vx;
    Player(3).Pos = {c.x, 0.0f, c.z};
    Apply(1);
    const TPlayerList& L = Book().Assignment;
    EXPECT_EQ(L[1] == 3 || L[2] == 3, c.candidate);
    EXPECT_TRUE(L[1] == kCarrier || L[2] == kCarrier);
  }
  // A busy team-mate is no candidate.
  SetUp();
  W.gamestate = gsRunning;
  Player(3).Pos = {3.5f, 0.0f, -5.0f};
  Player(3).shimmytimer = 0.2f;
  Apply(1);
  EXPECT_EQ(Book().Assignment[2], 0);
}

// Fixture open move: three roles, the carrier's the second. Role 1 runs and
// then runs beside the player one place out; role 2 passes to the player one
// place before the carrier, then kicks; role 3 runs.
TMove& FixtureOpenMove() {
  TMove& M = MoveBooks[1].OpenPlayMoves[kOpenMove];
  std::memset(static_cast<void*>(&M), 0, sizeof M);
  M.PlayKind = -1;
  M.CarrierSlot = 2;
  M.PickBySupport = kTrue32;
  for (int r = 1; r <= 3; ++r) {
    M.Shirts[r] = 1;
    TActionSeq& S = M.Seqs[r];
    S.seqON = kTrue32;
    S.NumEvents = 2;
    S.EventArray[1].Angle = ToF32(10.0 * r);
    S.EventArray[1].SpeedFraction = 0.5f;
    S.EventArray[1].ReceiverOffset = -1;
  }
  M.Seqs[1].EventArray[2].RelMovementOn = kTrue32;
  M.Seqs[1].EventArray[2].FollowOffset = 1;
  M.Seqs[2].EventArray[1].EventType = 1;
  M.Seqs[2].EventArray[2].EventType = 55;
  M.Seqs[2].EventArray[2].EventSubType = 3;  // the kick kind stays
  M.Seqs[2].EventArray[2].ReceiverOffset = -1;
  return M;
}

// The line by x holds 12, 13, the carrier 10 and 14: the carrier's place 3
// takes role 2, place 2 role 1, place 4 role 3; place 1 has no role.
TEST_F(MoveApplication, OpenPlayRolesAreLaidAroundTheCarrier) {
  W.gamestate = gsRunning;
  FixtureOpenMove();
  const f32 xs[4] = {-10.0f, -5.0f, 0.0f, 5.0f};
  const int ids[4] = {12, 13, kCarrier, 14};
  for (int k = 0; k < 4; ++k) Player(ids[k]).Pos = {xs[k], 0.0f, k == 2 ? 0.0f : -1.0f};
  EXPECT_TRUE(Apply(kOpenMove));
  const TPlayerList& L = Book().Assignment;
  EXPECT_EQ((std::vector<int>{L[1], L[2], L[3], L[4], L[5]}), (std::vector<int>{12, 13, kCarrier, 14, 0}));
  EXPECT_EQ(Seq(12).seqON, kFalse32);
  EXPECT_EQ(Seq(13).EventArray[1].Angle, 10.0f);
  EXPECT_EQ(Seq(kCarrier).EventArray[1].Angle, 20.0f);
  EXPECT_EQ(Seq(14).EventArray[1].Angle, 30.0f);
  for (int p : {13, kCarrier, 14}) {
    EXPECT_EQ(Seq(p).seqON, kTrue32) << p;
    EXPECT_EQ(Seq(p).EventArray[1].DesSpeed, 0.5f * kTop) << p;
    EXPECT_EQ(Seq(p).EventArray[1].EventSubType, 13) << p;  // one place before the carrier's
  }
  EXPECT_EQ(Seq(kCarrier).EventArray[2].EventSubType, 3);
  EXPECT_EQ(Seq(13).EventArray[2].RelPlayer, kCarrier);  // one place out from his own
}

// Places outside the line or past its end: a receiver there is 0, a
// reference player there stops the sequence; a role without a sequence ends
// the loading.
TEST_F(MoveApplication, OpenPlayPlacesOutsideTheLine) {
  struct Case {
    const char* what;
    i32 receiverOffset, followOffset;
    bool thirdRole;
    i32 receiver;
    bool roleOneRuns;
    bool roleThreeLoaded;
  };
  const Case cases[] = {
      {"in the line", -1, 1, true, 13, true, true},
      {"receiver before place 1", -5, 1, true, 0, true, true},
      {"receiver past place 25", 30, 1, true, 0, true, true},
      {"reference on an empty place", -1, 3, true, 13, false, true},
      {"reference past place 25", -1, 40, true, 13, false, true},
      {"reference before place 1", -1, -4, true, 13, false, true},
      {"no third role", -1, 1, false, 13, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetUp();
    W.gamestate = gsRunning;
    TMove& M = FixtureOpenMove();
    for (int r = 1; r <= 3; ++r) M.Seqs[r].EventArray[1].ReceiverOffset = c.receiverOffset;
    M.Seqs[1].EventArray[2].FollowOffset = c.followOffset;
    if (!c.thirdRole) M.Seqs[3].seqON = kFalse32;
    Player(13).Pos = {-5.0f, 0.0f, -1.0f};
    Player(14).Pos = {5.0f, 0.0f, -1.0f};
    Apply(kOpenMove);
    EXPECT_EQ(Seq(kCarrier).EventArray[1].EventSubType, c.receiver);
    EXPECT_EQ(Seq(13).seqON != 0, c.roleOneRuns);
    EXPECT_EQ(Seq(14).seqON != 0, c.roleThreeLoaded);
  }
}

// With PickInOrder the line is the carrier and then the team-mates called up
// for support, in index order; without PickBySupport nobody is loaded, with
// PickInOrder or without.
TEST_F(MoveApplication, OpenPlayFlaggedLineAndNoLine) {
  W.gamestate = gsRunning;
  TMove& M = FixtureOpenMove();
  M.PickInOrder = kTrue32;
  M.CarrierSlot = 1;
  Player(12).SupportRunCall = kTrue32;
  Player(3).SupportRunCall = kTrue32;
  Apply(kOpenMove);
  const TPlayerList& L = Book().Assignment;
  EXPECT_EQ((std::vector<int>{L[1], L[2], L[3], L[4]}), (std::vector<int>{kCarrier, 3, 12, 0}));
  EXPECT_EQ(Seq(kCarrier).EventArray[1].Angle, 10.0f);
  EXPECT_EQ(Seq(12).EventArray[1].Angle, 30.0f);

  for (const bool32 inOrder : {kFalse32, kTrue32}) {
    SetUp();
    W.gamestate = gsRunning;
    TMove& N = FixtureOpenMove();
    N.PickBySupport = kFalse32;
    N.PickInOrder = inOrder;
    Player(13).Pos = {-5.0f, 0.0f, -1.0f};
    Player(12).SupportRunCall = kTrue32;
    Apply(kOpenMove);
    EXPECT_EQ(Book().Assignment[1], 0) << inOrder;
    EXPECT_EQ(Seq(kCarrier).seqON, kFalse32) << inOrder;
    EXPECT_EQ(Seq(12).seqON, kFalse32) << inOrder;
  }
}

// ---------------------------------------------------------------- trace, states, cost

// Between 3123 and 3125 s each pass event given a receiver traces the move in
// the run log, in the match world only.
TEST_F(MoveApplication, ReceiverTraceOnlyInTheWindowAndInTheMatchWorld) {
  struct Case {
    const char* what;
    f32 clock;
    bool live;
    size_t lines;
  };
  const Case cases[] = {
      {"in the window", 3124.0f, true, 3},
      {"at its end", 3125.0f, true, 0},
      {"at its start", 3123.0f, true, 0},
      {"look-ahead copy in the window", 3124.0f, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetUp();
    W.gamestate = gsRunning;
    W.clock = c.clock;
    W.LiveWorld = Flag(c.live);
    FixtureOpenMove();
    Player(13).Pos = {-5.0f, 0.0f, -1.0f};
    Apply(kOpenMove);
    ASSERT_EQ(Form1.Memo2.Count(), c.lines);
    if (c.lines == 0) continue;
    EXPECT_EQ(Form1.Memo2.Lines[0], "////////////////");
    EXPECT_EQ(Form1.Memo2.Lines[1], "//move index " + std::to_string(kOpenMove));
    EXPECT_EQ(Form1.Memo2.Lines[2], "//receiver 13");
  }
}

// Only running and gottackled apply a move; a move number outside the table
// applies nothing, and in gottackled is not feasible. No random draw, no
// allocation.
TEST_F(MoveApplication, StatesMoveNumbersAndCost) {
  struct Case {
    const char* what;
    TGameState state;
    i32 move;
    bool feasible;
  };
  const Case cases[] = {
      {"passing", gsPassing, kRuckMove, true},
      {"gottackled, move 0", gsGotTackled, 0, false},
      {"gottackled, move 151", gsGotTackled, 151, false},
      {"running, move 151", gsRunning, 151, true},
      {"running, catalogue move 21", gsRunning, 21, true},
      {"gottackled, catalogue move 25", gsGotTackled, 25, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetUp();
    W.gamestate = c.state;
    Player(13).Pos = {-5.0f, 0.0f, -1.0f};
    const u32 seed = RandSeed;
    StartCountingAllocations();
    const bool feasible = Apply(c.move);
    EXPECT_EQ(StopCountingAllocations(), 0);
    EXPECT_EQ(DrawsSince(seed), 0);
    EXPECT_EQ(feasible, c.feasible);
    const bool loaded = Seq(kCarrier).seqON != 0 || Seq(kHolder).seqON != 0;
    EXPECT_EQ(loaded, c.move == 21 || c.move == 25);
  }
}

}  // namespace
