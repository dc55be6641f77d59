// The counts that the player pass and the team pass after the match both
// keep by the same rules, under the statistics files' column names. Each
// pass counts its own further kinds beside them.
#pragma once

#include "core/Arrays.h"
#include "core/TypeDefs.h"

// Counts of messages, wrapping in 16 bits, and the points they score.
struct TMessageCounts {
  i16 points;  // 5 a try, 3 a penalty or drop goal, 2 a conversion
  i16 carries, passes, offloads, genplaykicks, pengoalattempts, pengoalsuccess, dropgoalattempts,
      dropgoalsuccess, convattempts, convsuccess, tackles, missedtackles, tacklesbreaks, linebreaks,
      tries, turnovers, penaltiesholdingon, penaltiesoffside, penaltiesdangeroustackle,
      penaltiesnotrollingaway, penaltiesmisconduct, penaltiesobstruction, penaltieshandsinruck,
      totpenalties, handlingerrors, marks, lineoutthrows, lineoutthrowsnotstraight, lineoutswon,
      lineoutwonagainstthrow, scrumfeeds, scrumswon, forwardpasses, yellowcards, redcards, hitups,
      defendersbeaten, lineoutjumps, lineoutcleantakes, lineouthandlingerr, lineoutthrowhitjumper,
      scrumpenalties, lineoutjumpdef, lineoutcleantakesdef, lineouthandlingerrdef, scrumpenaltiesdef,
      passeshittarget, interceptsthrown;
  f32 hitupmetres;  // m, the hit-ups' extravalues summed as a 32-bit float
};

// Adds the message to every count whose rule it meets and returns true, or
// returns false for a kind counted here by no rule. Each penalty kind 21..27
// and msgScrumPenalty also add to totpenalties. Lineout and scrum-penalty
// messages count as the side's own when their extravalue rounds (half to
// even) to exactly 1, as defending otherwise. Only the first line-break
// stage counts.
bool CountSharedMessage(const TMatchMessage& m, TMessageCounts& c);
