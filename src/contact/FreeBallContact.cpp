#include "contact/ContactHolds.h"
#include "contact/ContactSteps.h"
#include "contact/FreeBallBoundaries.h"
#include "contact/FreeBallCatch.h"
#include "contact/FreeBallChase.h"
#include "contact/FreeBallGoalKicks.h"
#include "contact/FreeBallSpill.h"

namespace {

// Holds and missed dives with nobody carrying the ball: a block-2 player
// reaching the block-1 player he targets holds him (his own momentum first),
// both go to ground, and a dive past its middle without a hold misses.
void HoldAndMissFreeBallTargets(TWorld& W) {
  THoldRules rules;
  rules.HolderMomentumFirst = true;
  HoldFallAndMissDives(W, rules, 0);
}

}  // namespace

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
    StopFreeBallAtBoundary(W);
  }
  if (W.gamestate == gsRunning) StopCatchAtBoundary(W);
  if (W.gamestate == gsFreeBall) HoldAndMissFreeBallTargets(W);
  SettleGoalKicks(W);
}
