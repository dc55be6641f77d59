#include "output/OutputUnit.h"

#include "core/RunContext.h"
#include "output/GameFile.h"
#include "output/OutputLines.h"
#include "output/PlayerStatsFile.h"
#include "output/Ratings.h"
#include "output/ScoutReport.h"
#include "output/TeamStatsFile.h"
#include "platform/Platform.h"

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

void WriteGameFile() {
  TOutputFile file(OutputDir + "game" + FileSuffix + ".txt");
  WriteGameFileSections(file);
  file.Close();
  SetCurrentDir(ExeDir);
}
