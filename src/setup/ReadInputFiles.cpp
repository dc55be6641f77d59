#include "setup/ReadInputFiles.h"

#include "core/MatchStats.h"
#include "core/MatchStore.h"
#include "core/RunContext.h"
#include "core/StrategyShapes.h"
#include "setup/ReadFieldStrategies.h"
#include "setup/ReadMatchAndTeams.h"
#include "setup/ReadPlayerOverrides.h"
#include "setup/ReadPlayers.h"

void ReadInputFiles() {
  for (TStatsListEntry& e : MatchStats.List) {
    e.Text.Assign("");
    e.Value = -1.0f;
    e.Count = 0;
  }
  // The player reader needs both team ids and captains, the field-strategy
  // reader team 1's id, and the copies below the final records.
  ReadMatchAndTeams();
  ReadPlayers();
  ReadFieldStrategies();
  ReadPlayerOverrides();
  if (!ViewerLinkMode) {
    MatchStats.MatchInfo = MatchStore.MatchInfo;
    MatchStats.FieldStrategy[1] = FieldStrategy[1];
    MatchStats.FieldStrategy[2] = FieldStrategy[2];
  }
}
