#include "core/MoveBooks.h"

#include <gtest/gtest.h>

#include <cstring>
#include <type_traits>

#include "core/Random.h"
#include "core/WorldDefaults.h"

namespace {

// The world is large: kept in static storage.
TWorld& FreshWorld() {
  static TWorld W;
  RandSeed = 4242;
  InitialiseWorld(W);
  return W;
}

bool SameBooks() { return std::memcmp(&MoveBooks[1], &MoveBooks[2], sizeof(TMoveBook)) == 0; }

// What the samplers and steps may leave in a book during a match: the next
// build must not see any of it in the tables.
void Dirty(TMoveBook& B) {
  for (auto* table : {&B.OpenPlayMoves, &B.RuckMoves}) {
    TMove& m = (*table)[37];
    m.ApplyFirst = kTrue32;
    m.MinGain = 1.5f;
    m.PlayKind = 4;
    m.Shirts[1] = 9;
    m.Seqs[1].seqON = kTrue32;
    m.Seqs[2].KeyEventIndex = 2;
    m.Seqs[3].EventArray[10].EventSubType = 12;
    m.Seqs[3].EventArray[10].lookForBlocks = kTrue32;
    (*table)[150].PickInOrder = kTrue32;
    (*table)[1].SimTimeStep = 0.5f;  // not 0.04: filled by nothing
  }
}

TEST(MoveBooks, BothBooksComeOutEqualAndEveryUnfilledMoveCleared) {
  // The books as at program start: earlier tests may have left match working
  // fields (Feasible, HoldTimer) in one book, which no build resets.
  std::memset(static_cast<void*>(&MoveBooks), 0, sizeof MoveBooks);
  Dirty(MoveBooks[1]);
  Dirty(MoveBooks[2]);
  MoveBooks[2].RuckMoves[80].Seqs[25].EventArray[1].EventCode = 3;  // book 2 only
  TWorld& W = FreshWorld();
  EXPECT_TRUE(SameBooks());
  int unfilled = 0;
  for (const TMoveBook& B : MoveBooks) {
    for (const auto* table : {&B.OpenPlayMoves, &B.RuckMoves}) {
      for (int m = 1; m <= kMovesPerBook; ++m) {
        const TMove& M = (*table)[m];
        SCOPED_TRACE(testing::Message() << (table == &B.RuckMoves ? "ruck " : "open ") << m);
        EXPECT_EQ(M.ApplyFirst, kFalse32);
        if (M.SimTimeStep != 0.0f) continue;  // filled by the catalogue
        ++unfilled;
        EXPECT_EQ(M.PlayKind, -1);
        EXPECT_EQ(M.PickBySupport, kTrue32);
        EXPECT_EQ(M.PickInOrder, kFalse32);
        EXPECT_EQ(M.MinGain, 0.0f);
        for (int r = 1; r <= kMoveRoles; ++r) {
          EXPECT_EQ(M.Shirts[r], 0);
          EXPECT_EQ(M.Seqs[r].seqON, kFalse32);
          EXPECT_EQ(M.Seqs[r].KeyEventIndex, 0);
          for (const TActionEvent& e : M.Seqs[r].EventArray) {
            EXPECT_EQ(e.EventSubType, 0);
            EXPECT_EQ(e.EventCode, 0);
            EXPECT_EQ(e.lookForBlocks, kFalse32);
          }
        }
      }
    }
  }
  EXPECT_GT(unfilled, 0);
  EXPECT_EQ(W.Teams[1].MoveIndex, 1);
  EXPECT_EQ(W.Teams[2].MoveIndex, 1);
}

TEST(MoveBooks, HeadsAndCoverListsInBothBooks) {
  MoveBooks[2].SamplingOn = kTrue32;
  MoveBooks[1].CoverLists[9][5] = 7;
  FreshWorld();
  const i16 row10[8] = {12, 13, 15, 9, 14, 11, 0, 0};
  const i16 row9[5] = {10, 12, 13, 0, 0};
  for (const TMoveBook& B : MoveBooks) {
    EXPECT_EQ(B.SamplingOn, kFalse32);
    EXPECT_EQ(B.MoveCount, 150);
    for (int i = 1; i <= 8; ++i) EXPECT_EQ(B.CoverLists[10][i], row10[i - 1]) << "row 10 place " << i;
    for (int i = 1; i <= 5; ++i) EXPECT_EQ(B.CoverLists[9][i], row9[i - 1]) << "row 9 place " << i;
    for (int i = 8; i <= 25; ++i) EXPECT_EQ(B.CoverLists[10][i], 0);
  }
}

TEST(MoveBooks, SideInPossessionPicksItsMatchTeamsBook) {
  static TWorld W;
  W.Team1InFirstBlock = kTrue32;
  EXPECT_EQ(&PossessionMoveBook(W), &MoveBooks[1]);
  W.Team1InFirstBlock = kFalse32;
  EXPECT_EQ(&PossessionMoveBook(W), &MoveBooks[2]);
  W.Team1InFirstBlock = 1;  // any nonzero value reads as set
  EXPECT_EQ(&PossessionMoveBook(W), &MoveBooks[1]);
}

// The books stay outside the world: a look-ahead copy is one block copy of a
// world smaller than a single table of moves.
static_assert(std::is_trivially_copyable_v<TWorld>);
static_assert(sizeof(TWorld) < sizeof(TMoveBook::RuckMoves));

}  // namespace
