#include "core/PlayerStateDump.h"

void DumpPlayerStateCsv(TWorld& W, bool OnlyOnePlayer, int PlayerNumber, bool DumpUpTeam,
                        bool DumpDownTeam) {
  (void)W;
  (void)OnlyOnePlayer;
  (void)PlayerNumber;
  (void)DumpUpTeam;
  (void)DumpDownTeam;
}
