#include "output/OutputUnit.h"

#include "core/RunContext.h"
#include "output/PlayerStatsFile.h"
#include "output/Ratings.h"
#include "platform/Platform.h"

namespace {

// Call points of the team statistics file, the final Man of the Match and
// the academy scout report, which take the player pass's results.
void WriteTeamStatsFile(const TPlayerPassResults&) {}
void PickFinalManOfTheMatch(const TPlayerPassResults&) {}
void WriteScoutReport() {}

}  // namespace

void WriteEventList() {}
void PickManOfTheMatch() {}

void BuildStatsPages() {
  SetMatchDate();
  RateSquads();
  TPlayerPassResults pass = StartPlayerPassResults();
  WritePlayerStatsFile(pass);
  WriteTeamStatsFile(pass);
  PickFinalManOfTheMatch(pass);
  WriteScoutReport();
}

void WriteStatsOutput() { BuildStatsPages(); }

void WriteGameFile() { SetCurrentDir(ExeDir); }
