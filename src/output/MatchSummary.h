// The match summary: ratings and statistics counted after the match from the
// message list and the players' ratings, for the statistics files and the
// game file. Team 1 and team 2 are MatchInfo.Team[1] and [2] (team 1 kicked
// off), not the world's blocks; slot k is squad slot k of that team.
#pragma once

#include "core/Arrays.h"

// One squad slot's figures: who he is, his side and opponents, and his
// counts from the message list. Texts are cut to their lengths.
struct TPlayerSummary {
  i32 playerid;
  ShortStr<25> firstname;
  ShortStr<25> surname;
  ShortStr<30> appearance;
  i16 Age;                  // years, from the 30th character of appearance; else 18
  i16 height;               // cm
  i16 weight;               // kg
  i16 startinglineupindex;  // the squad slot
  i16 PositionRating;       // 0 .. 100, written by the ratings before the player pass
  bool32 homeaway;
  i32 teamid;
  ShortStr<25> teamcity;
  ShortStr<25> teamname;
  ShortStr<30> user;
  i32 OppTeamId;
  ShortStr<25> OppTeamCity;
  ShortStr<25> OppTeamName;
  ShortStr<30> OppUser;     // user of the other team's captain slot
  i16 OppTeamRating;
  ShortStr<25> CompetitionKind1, CompetitionKind2, CompetitionKind3;
  i32 RandomTag;            // 1 .. 100,000,000
  f32 performanceratingraw;
  f32 performancerating;
  i16 MinutesPlayed;
  // Counts of the statistics row, under the row's column names.
  i16 carries, runningmeters, defendersbeaten, tackles, tackleassists, missedtackles, passes,
      passeshittarget, offloads, interceptsthrown, forwardpasses, rucksjoined, rucksjoinedquickly,
      turnovers, totpenalties, handlingerrors, convattempts, convsuccess, pengoalattempts,
      pengoalsuccess, dropgoalattempts, dropgoalsuccess, assists, tries, points, lineoutjumps;
  i16 LineoutsWonOwnThrow;  // lineoutswon minus lineoutwonagainstthrow
  i16 lineoutcleantakes, lineouthandlingerr, lineoutjumpdef, lineoutwonagainstthrow,
      lineoutcleantakesdef, lineouthandlingerrdef, lineoutthrows, lineoutthrowhitjumper,
      lineoutthrowsnotstraight, scrumpenalties, scrumpenaltiesdef;
};

// One team's figures from its statistics row (the percentages as printed),
// plus its count of tightheads won.
struct TTeamFigures {
  i16 score, percentpossession, percentterritory, tackles, missedtackles, tries, handlingerrors,
      offloads, attackingrucks, turnovers, pengoalsuccess, pengoalattempts, convsuccess,
      convattempts, totpenalties, dropgoalsuccess, lineoutthrows, lineoutwonagainstthrow,
      scrumfeeds, TightheadsWon, redzonetime;
};

// One player's entry of the academy scout report: rating estimates 1 .. 99,
// -1 where no estimate was made; the ratings of TPlayerStats in their order,
// without form and bodyfat.
struct TScoutEntry {
  i32 teamid;
  i32 playerid;  // 0 for an empty slot
  i16 jerseynum;
  i16 speed, acceleration, awareness, discipline, fitness, tackling, agility, elusiveness, fend,
      breaktackle, strength, handling, highball, lineoutjumping, lineoutthrow, rucking,
      scrummaging, passing, kicking, goalkicking, finesse, injury, offloads, leadership;
};

struct TMatchSummary {
  i16 MatchDay;    // day of the month of the run's local date
  i16 MatchMonth;  // 1 .. 12
  i32 MatchYear;   // four digits
  Arr1<i16, 2> TeamRating;      // rounded mean position rating of the starters
  Arr1<i16, 2> BestPlayerSlot;  // squad slot of each team's best performer
  Arr1<TTeamFigures, 2> TeamFigures;
  Arr1<Arr1<TPlayerSummary, 25>, 2> Players;  // [team][squad slot]
  Arr1<TScoutEntry, 25> ScoutReport;          // by squad slot; the report is 1..22
};

extern TMatchSummary MatchSummary;

// A player's age from his appearance text: 17 for "a" .. 42 for "z" when the
// text holds 30 characters and the 30th is a lower-case letter; 18 otherwise.
i16 AgeFromAppearance(const ShortStr<30>& Appearance);
