#include "core/MoveBooks.h"

Arr1<TMoveBook, 2> MoveBooks;

void BuildMoveBooks() {
  // The call point of the move-book filler: the moves are not filled yet.
}
