#include "contact/ContactSteps.h"
#include "contact/FreeBallCatch.h"

void FreeBallContact(TWorld& W) {
  ScanBallArrival(W);
  TMarkChance mark;
  const int winner = ChooseCatchingBlock(W);
  if (winner == 1) {
    if (FreeBallCatchHolds(W, 1)) CatchInBlock1(W, mark);
  }
  ApplyRestartTenMetreRule(W);
  if (winner == 2) {
    if (FreeBallCatchHolds(W, 2)) CatchInBlock2(W, mark);
  }
  CallMark(W, mark);
}
