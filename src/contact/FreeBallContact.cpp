#include "contact/ContactSteps.h"
#include "contact/FreeBallCatch.h"
#include "contact/FreeBallChase.h"
#include "contact/FreeBallSpill.h"

void FreeBallContact(TWorld& W) {
  ScanBallArrival(W);
  TMarkChance mark;
  const int winner = ChooseCatchingBlock(W);
  if (winner == 1) {
    if (FreeBallCatchHolds(W, 1)) {
      CatchInBlock1(W, mark);
    } else {
      SpillFreeBall(W, 1);
    }
  }
  ApplyRestartTenMetreRule(W);
  if (winner == 2) {
    if (FreeBallCatchHolds(W, 2)) {
      CatchInBlock2(W, mark);
    } else {
      SpillFreeBall(W, 2);
    }
  }
  CallMark(W, mark);
  if (W.gamestate == gsFreeBall) {
    DeflectFreeBall(W);
    StartCatchAttempts(W);
  }
}
