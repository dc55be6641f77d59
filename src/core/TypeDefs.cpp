#include "core/TypeDefs.h"

#include "core/MatchStore.h"
#include "core/WorkCounters.h"

TWorld World;
TWorld LookAheadWorld;

const char* GameStateName(TGameState s) {
  static const char* const kNames[26] = {
      "UserInterface", "running",  "passing",  "gottackled", "freeball",      "maul",
      "unspecified",   "scrum",    "kickrestartset", "lineout", "tryscored",  "replaying",
      "transition",    "animseqeditor", "leaguechamps", "GSmisc01", "GSmisc02", "GSmisc03",
      "GSmisc04",      "GSmisc05", "GSmisc06", "GSmisc07",   "GSmisc08",      "GSmisc09",
      "GSmisc10",      "huddle"};
  return s <= 25 ? kNames[s] : "unspecified";
}

void PostMessage(TWorld& W, i32 teamID, i32 playerID, u8 message, f32 extravalue) {
  for (int k = 1; k <= 10; ++k) {
    if (W.MessageSlotFree[k] == 0) continue;
    W.MessageSlotFree[k] = kFalse32;
    TMatchMessage& m = W.MessageQueue[k];
    m.teamID = teamID;
    m.playerID = playerID;
    m.message = message;
    m.time = MatchStore.RecordClock;
    m.extravalue = extravalue;
    return;
  }
  // No free slot: the message is dropped.
}

void TakeLookAheadCopy() {
  ++WorkCounters.WorldCopies;
  LookAheadWorld = World;
  LookAheadWorld.LiveWorld = kFalse32;
}
