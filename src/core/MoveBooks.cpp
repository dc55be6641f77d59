#include "core/MoveBooks.h"

#include <cstring>
#include <utility>

#include "core/MoveCatalogue.h"
#include "core/Random.h"

Arr1<TMoveBook, 2> MoveBooks;

namespace {

// Every move back to the unfilled state: no roles, no sequences, SimTimeStep
// 0, PlayKind -1, PickBySupport true. The table is cleared byte by byte, so
// that two books built alike compare equal, padding included.
void ClearTable(TMoveTable& table) {
  std::memset(static_cast<void*>(&table), 0, sizeof table);
  for (TMove& m : table) {
    m.PlayKind = -1;
    m.PickBySupport = kTrue32;
  }
}

void BuildBook(TMoveBook& B) {
  ClearTable(B.RuckMoves);
  StoreRuckMoves(B.RuckMoves);
  ClearTable(B.OpenPlayMoves);
  StoreOpenPlayMoves(B.OpenPlayMoves);
}

}  // namespace

TMoveBook& PossessionMoveBook(const TWorld& W) { return MoveBooks[W.Team1InFirstBlock != 0 ? 1 : 2]; }

void BuildMoveBooks() {
  for (TMoveBook& B : MoveBooks) BuildBook(B);
}

int ScanCount(const TMoveBook& Book) {
  return Book.MoveCount < 0 ? 0 : (Book.MoveCount > kMovesPerBook ? kMovesPerBook : Book.MoveCount);
}

int BuildOpenList(TMoveBook& Book) {
  const int n = ScanCount(Book);
  for (int i = 1; i <= n; ++i) Book.OpenList[i] = 0;
  int k = 0;
  for (int m = 1; m <= n; ++m) {
    if (Book.OpenFlags[m] != 0) Book.OpenList[++k] = m;
  }
  return k;
}

void ShuffleOpenList(TMoveBook& Book, int Count, bool KeepMoveOne) {
  const bool upward = RandomRange(1, 1001) < 500;
  for (int step = 0; step < Count; ++step) {
    const int i = upward ? step + 1 : Count - step;
    const int j = RandomRange(1, Count + 1);
    i32& a = Book.OpenList[i];
    i32& b = Book.OpenList[j];
    if (!KeepMoveOne || (a != 1 && b != 1)) std::swap(a, b);
  }
}

void ResetBestResult(TSimResult& R, f32 Score) {
  R.EndBallX = -100000.0f;
  R.EndBallZ = -100000.0f;
  R.EndState = gsRunning;
  R.PossessionLost = kTrue32;
  R.WentToTouch = kTrue32;
  R.SupportScore = Score;
  R.SimTime = 0;
}
