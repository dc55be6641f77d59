#include "output/MessageCounts.h"

#include "core/Rounding.h"

bool CountSharedMessage(const TMatchMessage& m, TMessageCounts& c) {
  const bool own = RoundHalfEven(m.extravalue) == 1.0;
  switch (m.message) {
    case msgCarryEnd: ++c.carries; break;
    case msgPass: ++c.passes; break;
    case msgOffload: ++c.offloads; break;
    case msgGenPlayKick: ++c.genplaykicks; break;
    case msgPenGoalAttempt: ++c.pengoalattempts; break;
    case msgPenGoal: ++c.pengoalsuccess; c.points += 3; break;
    case msgDropGoalAttempt: ++c.dropgoalattempts; break;
    case msgDropGoal: ++c.dropgoalsuccess; c.points += 3; break;
    case msgConvAttempt: ++c.convattempts; break;
    case msgConversion: ++c.convsuccess; c.points += 2; break;
    case msgTackle: ++c.tackles; break;
    case msgMissedTackle: ++c.missedtackles; break;
    case msgTackleBreak: ++c.tacklesbreaks; break;
    case msgLineBreak: ++c.linebreaks; break;
    case msgTry: ++c.tries; c.points += 5; break;
    case msgTurnover: ++c.turnovers; break;
    case msgPenHoldingOn: ++c.penaltiesholdingon; ++c.totpenalties; break;
    case msgPenOffside: ++c.penaltiesoffside; ++c.totpenalties; break;
    case msgPenDangerousTackle: ++c.penaltiesdangeroustackle; ++c.totpenalties; break;
    case msgPenNotRollingAway: ++c.penaltiesnotrollingaway; ++c.totpenalties; break;
    case msgPenMisconduct: ++c.penaltiesmisconduct; ++c.totpenalties; break;
    case msgPenObstruction: ++c.penaltiesobstruction; ++c.totpenalties; break;
    case msgPenHandsInRuck: ++c.penaltieshandsinruck; ++c.totpenalties; break;
    case msgHandlingError: ++c.handlingerrors; break;
    case msgMark: ++c.marks; break;
    case msgLineoutThrow: ++c.lineoutthrows; break;
    case msgLineoutNotStraight: ++c.lineoutthrowsnotstraight; break;
    case msgLineoutWon: ++c.lineoutswon; break;
    case msgLineoutStolen: ++c.lineoutwonagainstthrow; break;
    case msgScrumFeed: ++c.scrumfeeds; break;
    case msgScrumWon: ++c.scrumswon; break;
    case msgForwardPass: ++c.forwardpasses; break;
    case msgYellowCard: ++c.yellowcards; break;
    case msgRedCard: ++c.redcards; break;
    case msgHitUp:
      ++c.hitups;
      c.hitupmetres = ToF32(static_cast<double>(c.hitupmetres) + m.extravalue);
      break;
    case msgDefenderBeaten: ++c.defendersbeaten; break;
    case msgLineoutJump: ++(own ? c.lineoutjumps : c.lineoutjumpdef); break;
    case msgLineoutCleanTake: ++(own ? c.lineoutcleantakes : c.lineoutcleantakesdef); break;
    case msgLineoutHandlingError: ++(own ? c.lineouthandlingerr : c.lineouthandlingerrdef); break;
    case msgLineoutHitJumper: ++c.lineoutthrowhitjumper; break;
    case msgScrumPenalty:
      ++c.totpenalties;
      ++(own ? c.scrumpenalties : c.scrumpenaltiesdef);
      break;
    case msgPassHitTarget: ++c.passeshittarget; break;
    case msgInterceptThrown: ++c.interceptsthrown; break;
    default: return false;
  }
  return true;
}
