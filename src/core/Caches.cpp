#include "core/Caches.h"

#include <cstring>

TTurnMemoEntry TurnMemo[1 << kTurnMemoBits];
TLayoutMemo LayoutMemo;
TLastHeading LastTargetHeading{kNoHeadingBits, {0.0, 0.0}};
TBoxMullerTable BoxMullerTable;

void ResetCaches() {
  std::memset(TurnMemo, 0, sizeof TurnMemo);
  for (TLineLayout& M : LayoutMemo.Layouts) M.Used = false;
  LayoutMemo.Next = 0;
  LastTargetHeading = {kNoHeadingBits, {0.0, 0.0}};
  BoxMullerTable.Filled = false;
}
