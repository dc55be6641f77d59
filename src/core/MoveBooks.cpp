#include "core/MoveBooks.h"

#include <cstring>

#include "core/MoveCatalogue.h"

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
