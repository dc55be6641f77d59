#include "core/PlayerStateDump.h"

#include <string>

#include "core/MatchStore.h"
#include "core/NumberFormat.h"
#include "core/RunLog.h"

namespace {

const char* const kHeader =
    "team,upordownteam,id,num,governedby,numgoverning,target,numtargetting,passtimer,chasertimer,"
    "desiredspeed,maxspeed,seqON,playertofollow,playertofollowtimer,freeballcatchtimer,"
    "standuptimer,passcatchtimer,TackleAttemptTimer,RuckTimer,LineOutTimer,GettingTackledTimer,"
    "OldTackleTimer,KickTimer,BreakTackleTimer,StepTimer,shimmytimer,SpecialAnimTimer,currentAnim,"
    "currentframe,maxframes,framfrac,CurrEventIndex,EventArray[1].DesSpeed,"
    "tempplayer.ActionSeq.EventArray[1].DistOrig,tempplayer.ActionSeq.EventArray[1].Angle,"
    "tempplayer.ActionSeq.EventArray[1].Complete,tempplayer.ActionSeq.EventArray[1].RelMovementOn,"
    "EventArray[2].DesSpeed,tempplayer.ActionSeq.EventArray[2].DistOrig,"
    "tempplayer.ActionSeq.EventArray[2].Angle,tempplayer.ActionSeq.EventArray[2].Complete,"
    "tempplayer.ActionSeq.EventArray[2].RelMovementOn,gamestate,"
    "tempplayer.CanInterceptPassOnFull,WillAttemptPassInterCept,tempplayer.DesiredPos.x,"
    "tempplayer.DesiredPos.z,tempplayer.ActionSeq.EventArray[1].lookForBlocks,"
    "tempplayer.ActionSeq.EventArray[2].lookForBlocks";

// Builds one comma-separated line from values of three kinds.
struct TDumpLine {
  std::string Text;

  void Sep() {
    if (!Text.empty()) Text += ',';
  }
  void Int(long v) {
    Sep();
    Text += std::to_string(v);
  }
  void Real(double v) {
    Sep();
    Text += FormatFixedPrecision(v, 7, 4);
  }
  void Flag(bool32 v) {
    Sep();
    Text += v ? "-1" : "0";
  }
  void Str(const std::string& s) {
    Sep();
    Text += s;
  }
};

void AddEvent(TDumpLine& L, const TActionEvent& e) {
  L.Real(e.DesSpeed);
  L.Real(e.DistOrig);
  L.Real(e.Angle);
  L.Flag(e.Complete);
  L.Flag(e.RelMovementOn);
}

std::string PlayerLine(const TWorld& W, int team, const char* label, int p, const TPlayer& P) {
  TDumpLine L;
  L.Int(team);
  L.Str(label);
  for (long v : {static_cast<long>(P.id), static_cast<long>(p), static_cast<long>(P.governedby),
                 static_cast<long>(P.numgoverning), static_cast<long>(P.target),
                 static_cast<long>(P.numtargetting)})
    L.Int(v);
  L.Real(P.passtimer);
  L.Real(P.chasertimer);
  L.Real(P.desiredspeed);
  L.Real(P.maxspeed);
  L.Str(P.ActionSeq.seqON ? "true" : "false");
  L.Int(P.playertofollow);
  for (f32 v : {P.playertofollowtimer, P.freeballcatchtimer, P.standuptimer, P.passcatchtimer,
                P.TackleAttemptTimer, P.RuckTimer, P.LineOutTimer, P.GettingTackledTimer,
                P.OldTackleTimer, P.KickTimer, P.BreakTackleTimer, P.StepTimer, P.shimmytimer,
                P.SpecialAnimTimer})
    L.Real(v);
  L.Str(P.currentAnim.Str());
  L.Real(P.currentframe);
  L.Real(P.maxframes);
  // A player without an animation length would divide by zero and end the
  // match; his fraction is written as 0.
  L.Real(P.maxframes != 0 ? static_cast<double>(P.currentframe) / P.maxframes : 0.0);
  L.Real(P.ActionSeq.CurrEventIndex);
  AddEvent(L, P.ActionSeq.EventArray[1]);
  AddEvent(L, P.ActionSeq.EventArray[2]);
  L.Str(GameStateName(W.gamestate));
  L.Flag(P.CanInterceptPassOnFull);
  L.Flag(P.WillAttemptPassInterCept);
  L.Real(P.DesiredPos.x);
  L.Real(P.DesiredPos.z);
  L.Flag(P.ActionSeq.EventArray[1].lookForBlocks);
  L.Flag(P.ActionSeq.EventArray[2].lookForBlocks);
  return L.Text;
}

}  // namespace

void DumpPlayerStateCsv(TWorld& W, bool OnlyOnePlayer, int PlayerNumber, bool DumpUpTeam,
                        bool DumpDownTeam) {
  WriteRunLog(kHeader);
  for (int t = 1; t <= 2; ++t) {
    const bool up = MatchStore.MatchInfo.Team[t].teamid == W.Teams[1].teamid;
    if (!(up ? DumpUpTeam : DumpDownTeam)) continue;
    const TTeamBlock& block = W.Teams[up ? 1 : 2];
    for (int p = 1; p <= PlayerCount(W); ++p) {
      if (OnlyOnePlayer && p != PlayerNumber) continue;
      WriteRunLog(PlayerLine(W, t, up ? "upteam" : "downteam", p, block.Players[p]));
    }
  }
}
