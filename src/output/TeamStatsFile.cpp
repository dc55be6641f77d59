#include "output/TeamStatsFile.h"

#include <cmath>
#include <string>

#include "core/MatchStore.h"
#include "core/Rounding.h"
#include "core/RunContext.h"
#include "core/RunLog.h"
#include "core/TypeDefs.h"
#include "output/MatchSummary.h"
#include "output/MessageCounts.h"
#include "output/OutputLines.h"
#include "platform/Form.h"

const char* const kTeamStatsHeader =
    "teamid,score,timeinpossession,timeinownhalf,percentpossession,percentterritory,redzonetime,"
    "attackingrucks,mauls,maulmeters,tackles,missedtackles,tries,passes,genplaykicks,pengoalattempts,"
    "dropgoalattempts,convattempts,pengoalsuccess,dropgoalsuccess,convsuccess,offloads,turnovers,"
    "carries,tacklesbreaks,runningmeters,hitups,hitupmeters,penaltiesholdingon,penaltiesoffside,"
    "penaltiesdangeroustackle,penaltiesnotrollingaway,penaltiesmisconduct,penaltiesobstruction,"
    "penaltieshandsinruck,totpenalties,yellowcards,redcards,linebreaks,handlingerrors,marks,"
    "lineoutthrows,lineoutthrowsnotstraight,lineoutswon,scrumfeeds,scrumswon,substitutions,"
    "forwardpasses,injuries,lineoutwonagainstthrow,totmin,defendersbeaten,passeshittarget,"
    "interceptsthrown,firsttoruck,lineoutjumps,lineoutcleantakes,lineouthandlingerr,scrumpenalties,"
    "lineoutjumpdef,lineoutcleantakesdef,lineouthandlingerrdef,scrumpenaltiesdef,"
    "lineoutthrowhitjumper,coachid";

namespace {

constexpr i16 kPenaltyWarningAbove = 20;  // penalties of one team
constexpr double kNoDataPercent = 50.0;
constexpr int kWarningRepeats = 6;

// One team's figures as its row names them: the shared counts (its score is
// their points), its further counts, and the last-value figures, rounded
// extravalues (s or m), 0 without a message.
struct TTeamCounts : TMessageCounts {
  i16 attackingrucks, mauls, substitutions, injuries, firsttoruck, TightheadsWon;
  i32 timeinpossession;   // P, s
  i32 timeinownhalf;      // A, s
  i32 otherpossession;    // Q: the other team's P, s
  i32 otherownhalf;       // B: the other team's A, s
  i32 redzonetime;        // s
  i32 maulmeters;         // m
  i16 percentpossession;  // 100 P / (P + Q) as a 32-bit float, rounded; 50 without data
  i16 percentterritory;   // 100 B / (A + B) likewise
};

// Adds one of the team's own messages to every column whose rule it meets.
void CountOwnMessage(const TMatchMessage& m, TTeamCounts& c) {
  if (CountSharedMessage(m, c)) return;
  const i32 value = RoundToI32(m.extravalue);
  switch (m.message) {
    case msgAttackingRuck: ++c.attackingrucks; break;
    case msgMaul: ++c.mauls; break;
    case msgSubstitution: ++c.substitutions; break;
    case msgInjury: ++c.injuries; break;
    case msgTightheadWon: ++c.TightheadsWon; break;
    case msgRuckJoined:
      if (std::islessequal(RoundHalfEven(m.extravalue), 1.0)) ++c.firsttoruck;
      break;
    case msgPossessionTime: c.timeinpossession = value; break;
    case msgOwnHalfTime: c.timeinownhalf = value; break;
    case msgRedZoneTime: c.redzonetime = value; break;
    case msgMaulMetres: c.maulmeters = value; break;
    default: break;
  }
}

// 100 x Part / (Part + Rest) held as a 32-bit float, then rounded; 50 when
// the two sum to 0 or less.
i16 RoundedShare(i32 Part, i32 Rest) {
  const double sum = static_cast<double>(Part) + Rest;
  if (sum <= 0.0) return RoundToI16(kNoDataPercent);
  return RoundToI16(ToF32(100.0 * Part / sum));
}

// The counts of team TeamId's own messages, the other team's last possession
// and own-half times, and the two percentages.
TTeamCounts CountTeamMessages(i32 TeamId) {
  TTeamCounts c{};
  const TMatchStore& S = MatchStore;
  const int count = ReadableMessageCount(S);
  for (int i = 1; i <= count; ++i) {
    const TMatchMessage& m = S.Messages[i];
    if (m.teamID == TeamId)
      CountOwnMessage(m, c);
    else if (m.message == msgPossessionTime)
      c.otherpossession = RoundToI32(m.extravalue);
    else if (m.message == msgOwnHalfTime)
      c.otherownhalf = RoundToI32(m.extravalue);
  }
  c.percentpossession = RoundedShare(c.timeinpossession, c.otherpossession);
  c.percentterritory = RoundedShare(c.otherownhalf, c.timeinownhalf);
  return c;
}

// The row of 65 fields in the header's order. The coach id is written in
// full (32 bits).
std::string TeamRow(const TTeamInfo& Team, const TTeamCounts& c, i16 RunningMetres, i16 TotMin) {
  TCsvLine row;
  row.Int(Team.teamid).Int(c.points).Int(c.timeinpossession).Int(c.timeinownhalf);
  row.Int(c.percentpossession).Int(c.percentterritory).Int(c.redzonetime).Int(c.attackingrucks);
  row.Int(c.mauls).Int(c.maulmeters).Int(c.tackles).Int(c.missedtackles).Int(c.tries).Int(c.passes);
  row.Int(c.genplaykicks).Int(c.pengoalattempts).Int(c.dropgoalattempts).Int(c.convattempts);
  row.Int(c.pengoalsuccess).Int(c.dropgoalsuccess).Int(c.convsuccess).Int(c.offloads);
  row.Int(c.turnovers).Int(c.carries).Int(c.tacklesbreaks).Int(RunningMetres).Int(c.hitups);
  row.Int(RoundToI64(c.hitupmetres));
  row.Int(c.penaltiesholdingon).Int(c.penaltiesoffside).Int(c.penaltiesdangeroustackle);
  row.Int(c.penaltiesnotrollingaway).Int(c.penaltiesmisconduct).Int(c.penaltiesobstruction);
  row.Int(c.penaltieshandsinruck).Int(c.totpenalties).Int(c.yellowcards).Int(c.redcards);
  row.Int(c.linebreaks).Int(c.handlingerrors).Int(c.marks).Int(c.lineoutthrows);
  row.Int(c.lineoutthrowsnotstraight).Int(c.lineoutswon).Int(c.scrumfeeds).Int(c.scrumswon);
  row.Int(c.substitutions).Int(c.forwardpasses).Int(c.injuries).Int(c.lineoutwonagainstthrow);
  row.Int(TotMin).Int(c.defendersbeaten).Int(c.passeshittarget).Int(c.interceptsthrown);
  row.Int(c.firsttoruck).Int(c.lineoutjumps).Int(c.lineoutcleantakes).Int(c.lineouthandlingerr);
  row.Int(c.scrumpenalties).Int(c.lineoutjumpdef).Int(c.lineoutcleantakesdef);
  row.Int(c.lineouthandlingerrdef).Int(c.scrumpenaltiesdef).Int(c.lineoutthrowhitjumper);
  row.Int(Team.coachid);
  return row.Str();
}

// The 21 figures kept for the Man of the Match and the game file.
TTeamFigures FiguresOf(const TTeamCounts& c) {
  TTeamFigures f;
  f.score = c.points;
  f.percentpossession = c.percentpossession;
  f.percentterritory = c.percentterritory;
  f.tackles = c.tackles;
  f.missedtackles = c.missedtackles;
  f.tries = c.tries;
  f.handlingerrors = c.handlingerrors;
  f.offloads = c.offloads;
  f.attackingrucks = c.attackingrucks;
  f.turnovers = c.turnovers;
  f.pengoalsuccess = c.pengoalsuccess;
  f.pengoalattempts = c.pengoalattempts;
  f.convsuccess = c.convsuccess;
  f.convattempts = c.convattempts;
  f.totpenalties = c.totpenalties;
  f.dropgoalsuccess = c.dropgoalsuccess;
  f.lineoutthrows = c.lineoutthrows;
  f.lineoutwonagainstthrow = c.lineoutwonagainstthrow;
  f.scrumfeeds = c.scrumfeeds;
  f.TightheadsWon = c.TightheadsWon;
  f.redzonetime = WrapToI16(c.redzonetime);
  return f;
}

void WarnOfExcessivePenalties() {
  WriteRunLog(std::string(54, '/'));
  for (int i = 0; i < kWarningRepeats; ++i) WriteRunLog("//Possible excessive number of penalties bug");
  WriteRunLog(std::string(52, '/'));
}

}  // namespace

void WriteTeamStatsFile(const TPlayerPassResults& Results) {
  TLines& box = Form1.ListBox1;
  box.Clear();
  box.Add(kTeamStatsHeader);
  for (int t = 1; t <= 2; ++t) {
    const TTeamInfo& team = MatchStore.MatchInfo.Team[t];
    const TTeamCounts c = CountTeamMessages(team.teamid);
    box.Add(TeamRow(team, c, Results.RunningMetres[t], Results.TimePlayedMax));
    if (t == 2) {
      SaveLinesOrRaise(box, OutputDir + "teamInternet" + FileSuffix + ".csv");
      if (MatchSummary.TeamFigures[1].totpenalties > kPenaltyWarningAbove ||
          c.totpenalties > kPenaltyWarningAbove)
        WarnOfExcessivePenalties();
    }
    MatchSummary.TeamFigures[t] = FiguresOf(c);
  }
}
