#include "output/PlayerStatsFile.h"

#include <cmath>
#include <string>

#include "core/MatchStats.h"
#include "core/MatchStore.h"
#include "core/NumberFormat.h"
#include "core/Random.h"
#include "core/Rounding.h"
#include "core/RunContext.h"
#include "core/TeamNames.h"
#include "core/TypeDefs.h"
#include "output/MatchSummary.h"
#include "output/MessageCounts.h"
#include "output/OutputLines.h"
#include "output/Ratings.h"
#include "platform/Form.h"

const char* const kPlayerStatsHeader =
    "playerid,teamid,points,tackles,missedtackles,tries,passes,genplaykicks,pengoalattempts,"
    "dropgoalattempts,convattempts,pengoalsuccess,dropgoalsuccess,convsuccess,offloads,turnovers,"
    "carries,tacklesbreaks,runningmeters,hitups,hitupmeters,penaltiesholdingon,penaltiesoffside,"
    "penaltiesdangeroustackle,penaltiesnotrollingaway,penaltiesmisconduct,penaltiesobstruction,"
    "penaltieshandsinruck,totpenalties,yellowcards,redcards,linebreaks,handlingerrors,marks,"
    "lineoutthrows,lineoutthrowsnotstraight,lineoutswon,scrumfeeds,scrumswon,substitutions,"
    "forwardpasses,injuries,timeplayed,assists,defendersbeaten,rucksjoined,rucksjoinedquickly,"
    "passeshittarget,interceptsthrown,tackleassists,lineoutjumps,lineoutcleantakes,"
    "lineouthandlingerr,scrumpenalties,lineoutjumpdef,lineoutcleantakesdef,lineouthandlingerrdef,"
    "scrumpenaltiesdef,lineoutthrowhitjumper,performancerating,performanceratingraw,"
    "turnoversconceded,penaltiesforced,startinglineupindex,lineoutwonagainstthrow";

namespace {

constexpr int kSquadSlots = 25;
constexpr i32 kRandomTagLow = 1;
constexpr i32 kRandomTagHigh = 100000001;  // never drawn

// One listed player's figures as the row names them: the shared counts,
// his further counts and the values of his last message of a running kind,
// in 16 bits.
struct TPlayerCounts : TMessageCounts {
  i16 runningmeters, substitutions, injuries, timeplayed, assists, rucksjoined, rucksjoinedquickly,
      tackleassists, turnoversconceded, penaltiesforced;
};

// Adds one of the player's messages to every column whose rule it meets. A
// timeplayed above TimeMax raises it.
void CountMessage(const TMatchMessage& m, TPlayerCounts& c, i16& TimeMax) {
  if (CountSharedMessage(m, c)) return;
  const i16 value = RoundToI16(m.extravalue);
  switch (m.message) {
    case msgSubstitution: c.substitutions = value; break;
    case msgRunningMetres: c.runningmeters = value; break;
    case msgInjury: c.injuries = value; break;
    case msgTimePlayed:
      c.timeplayed = value;
      if (value > TimeMax) TimeMax = value;
      break;
    case msgRuckJoined:
      ++c.rucksjoined;
      if (std::islessequal(RoundHalfEven(m.extravalue), 3.0)) ++c.rucksjoinedquickly;
      break;
    case msgTryAssist: ++c.assists; break;
    case msgTackleAssist: ++c.tackleassists; break;
    case msgTurnoverConceded: ++c.turnoversconceded; break;
    case msgPenaltyForced: ++c.penaltiesforced; break;
    default: break;
  }
}

// The counts of the messages whose teamID and playerID are the player's.
TPlayerCounts CountPlayerMessages(i32 TeamId, i32 PlayerId, i16& TimeMax) {
  TPlayerCounts c{};
  const TMatchStore& S = MatchStore;
  const int count = ReadableMessageCount(S);
  for (int i = 1; i <= count; ++i) {
    const TMatchMessage& m = S.Messages[i];
    if (m.teamID == TeamId && m.playerID == PlayerId) CountMessage(m, c, TimeMax);
  }
  return c;
}

// The user of the team's captain: the last slot 1..PlayersPerTeam whose
// playerid is the captainid; slot 1's user when none is.
const ShortStr<30>& CaptainUser(int Team) {
  const TTeamInfo& info = MatchStore.MatchInfo.Team[Team];
  int slot = 1;
  for (int j = 1; j <= PlayerCount(World); ++j)
    if (info.Squad[j].playerid == info.captainid) slot = j;
  return MatchStats.PlayerStats[Team][slot].user;
}

template <int N>
void AssignCompetition(ShortStr<N>& Field, i16 Kind) {
  std::string text;
  CompetitionName(Kind, text);
  Field.Assign(text);
}

// Fills the slot's summary in the order of its fields; PositionRating stays
// as the ratings left it. Draws once (RandomTag).
void FillSummary(TPlayerSummary& s, int Team, int Slot, const TPlayerCounts& c) {
  const TTeamInfo& own = MatchStore.MatchInfo.Team[Team];
  const int otherTeam = 3 - Team;
  const TTeamInfo& other = MatchStore.MatchInfo.Team[otherTeam];
  const TSquadPlayer& sq = own.Squad[Slot];
  s.playerid = sq.playerid;
  s.firstname.Assign(sq.firstname.View());
  s.surname.Assign(sq.surname.View());
  s.appearance = sq.appearance;
  s.Age = AgeFromAppearance(sq.appearance);
  s.height = sq.height;
  s.weight = sq.weight;
  s.startinglineupindex = static_cast<i16>(Slot);
  s.homeaway = Flag(own.homeaway != 0);
  s.teamid = own.teamid;
  s.teamcity.Assign(own.teamcity.View());
  s.teamname.Assign(own.teamname.View());
  s.user = MatchStats.PlayerStats[Team][Slot].user;
  s.OppTeamId = other.teamid;
  s.OppTeamCity.Assign(other.teamcity.View());
  s.OppTeamName.Assign(other.teamname.View());
  s.OppUser = CaptainUser(otherTeam);
  s.OppTeamRating = MatchSummary.TeamRating[otherTeam];
  AssignCompetition(s.CompetitionKind1, 1);
  AssignCompetition(s.CompetitionKind2, 2);
  AssignCompetition(s.CompetitionKind3, 3);
  s.RandomTag = RandomRange(kRandomTagLow, kRandomTagHigh);
  s.performanceratingraw = 0.0f;
  s.MinutesPlayed = RoundToI16(c.timeplayed / 60.0);
  s.carries = c.carries;
  s.runningmeters = c.runningmeters;
  s.defendersbeaten = c.defendersbeaten;
  s.tackles = c.tackles;
  s.tackleassists = c.tackleassists;
  s.missedtackles = c.missedtackles;
  s.passes = c.passes;
  s.passeshittarget = c.passeshittarget;
  s.offloads = c.offloads;
  s.interceptsthrown = c.interceptsthrown;
  s.forwardpasses = c.forwardpasses;
  s.rucksjoined = c.rucksjoined;
  s.rucksjoinedquickly = c.rucksjoinedquickly;
  s.turnovers = c.turnovers;
  s.totpenalties = c.totpenalties;
  s.handlingerrors = c.handlingerrors;
  s.convattempts = c.convattempts;
  s.convsuccess = c.convsuccess;
  s.pengoalattempts = c.pengoalattempts;
  s.pengoalsuccess = c.pengoalsuccess;
  s.dropgoalattempts = c.dropgoalattempts;
  s.dropgoalsuccess = c.dropgoalsuccess;
  s.assists = c.assists;
  s.tries = c.tries;
  s.points = c.points;
  s.lineoutjumps = c.lineoutjumps;
  s.LineoutsWonOwnThrow = static_cast<i16>(c.lineoutswon - c.lineoutwonagainstthrow);
  s.lineoutcleantakes = c.lineoutcleantakes;
  s.lineouthandlingerr = c.lineouthandlingerr;
  s.lineoutjumpdef = c.lineoutjumpdef;
  s.lineoutwonagainstthrow = c.lineoutwonagainstthrow;
  s.lineoutcleantakesdef = c.lineoutcleantakesdef;
  s.lineouthandlingerrdef = c.lineouthandlingerrdef;
  s.lineoutthrows = c.lineoutthrows;
  s.lineoutthrowhitjumper = c.lineoutthrowhitjumper;
  s.lineoutthrowsnotstraight = c.lineoutthrowsnotstraight;
  s.scrumpenalties = c.scrumpenalties;
  s.scrumpenaltiesdef = c.scrumpenaltiesdef;
}

// The row of 65 fields in the header's order.
std::string PlayerRow(const TPlayerSummary& s, const TPlayerCounts& c) {
  TCsvLine row;
  row.Int(s.playerid).Int(s.teamid).Int(c.points).Int(c.tackles).Int(c.missedtackles).Int(c.tries);
  row.Int(c.passes).Int(c.genplaykicks).Int(c.pengoalattempts).Int(c.dropgoalattempts);
  row.Int(c.convattempts).Int(c.pengoalsuccess).Int(c.dropgoalsuccess).Int(c.convsuccess);
  row.Int(c.offloads).Int(c.turnovers).Int(c.carries).Int(c.tacklesbreaks).Int(c.runningmeters);
  row.Int(c.hitups).Int(RoundToI64(c.hitupmetres));
  row.Int(c.penaltiesholdingon).Int(c.penaltiesoffside).Int(c.penaltiesdangeroustackle);
  row.Int(c.penaltiesnotrollingaway).Int(c.penaltiesmisconduct).Int(c.penaltiesobstruction);
  row.Int(c.penaltieshandsinruck).Int(c.totpenalties).Int(c.yellowcards).Int(c.redcards);
  row.Int(c.linebreaks).Int(c.handlingerrors).Int(c.marks).Int(c.lineoutthrows);
  row.Int(c.lineoutthrowsnotstraight).Int(c.lineoutswon).Int(c.scrumfeeds).Int(c.scrumswon);
  row.Int(c.substitutions).Int(c.forwardpasses).Int(c.injuries).Int(c.timeplayed).Int(c.assists);
  row.Int(c.defendersbeaten).Int(c.rucksjoined).Int(c.rucksjoinedquickly).Int(c.passeshittarget);
  row.Int(c.interceptsthrown).Int(c.tackleassists).Int(c.lineoutjumps).Int(c.lineoutcleantakes);
  row.Int(c.lineouthandlingerr).Int(c.scrumpenalties).Int(c.lineoutjumpdef);
  row.Int(c.lineoutcleantakesdef).Int(c.lineouthandlingerrdef).Int(c.scrumpenaltiesdef);
  row.Int(c.lineoutthrowhitjumper);
  row.Text(FormatStat(s.performancerating, 1)).Text(FormatStat(s.performanceratingraw, 1));
  row.Int(c.turnoversconceded).Int(c.penaltiesforced).Int(s.startinglineupindex);
  row.Int(c.lineoutwonagainstthrow);
  return row.Str();
}

}  // namespace

TPlayerPassResults StartPlayerPassResults() {
  TPlayerPassResults r{};
  r.BestRawRating[1] = r.BestRawRating[2] = -1.0f;
  r.BestRating[1] = r.BestRating[2] = -1.0f;
  return r;
}

void WritePlayerStatsFile(TPlayerPassResults& Results) {
  TLines& box = Form1.ListBox1;
  box.Clear();
  box.Add(kPlayerStatsHeader);
  Results.TimePlayedMax = 0;
  for (int t = 1; t <= 2; ++t) {
    const TTeamInfo& own = MatchStore.MatchInfo.Team[t];
    Results.RunningMetres[t] = 0;
    Results.BestRawRating[t] = -1.0f;
    for (int k = 1; k <= kSquadSlots; ++k) {
      const i32 playerid = own.Squad[k].playerid;
      if (playerid == 0) continue;
      if (t == 1) Results.TimePlayedMax = 0;
      const TPlayerCounts c = CountPlayerMessages(own.teamid, playerid, Results.TimePlayedMax);
      TPlayerSummary& s = MatchSummary.Players[t][k];
      FillSummary(s, t, k, c);

      s.performanceratingraw = RatingWeightedSum(s);
      if (s.performanceratingraw > Results.BestRawRating[t]) {
        Results.BestRawRating[t] = s.performanceratingraw;
        MatchSummary.BestPlayerSlot[t] = static_cast<i16>(k);
      }
      s.performancerating = ToF32(s.OppTeamRating / 100.0 * s.performanceratingraw);
      if (MatchSummary.BestPlayerSlot[t] == k) Results.BestRating[t] = s.performancerating;

      box.Add(PlayerRow(s, c));
      Results.RunningMetres[t] = WrapToI16(Results.RunningMetres[t] + c.runningmeters);
    }
  }
  SaveLinesOrRaise(box, OutputDir + "playerInternet" + FileSuffix + ".csv");
  box.Clear();
}
