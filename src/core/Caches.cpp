#include "core/Caches.h"

#include <cstring>

TTurnMemoEntry TurnMemo[1 << kTurnMemoBits];
TLayoutMemo LayoutMemo;
TBoxMullerTable BoxMullerTable;
TCircleTrigTable CircleTrigTable;

void ResetCaches() {
  std::memset(TurnMemo, 0, sizeof TurnMemo);
  for (TLineLayout& M : LayoutMemo.Layouts) M.Used = false;
  LayoutMemo.Next = 0;
  BoxMullerTable.Filled = false;
  CircleTrigTable.Filled = false;
}
