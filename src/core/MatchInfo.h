// The match and team settings of "players.csv" as the match store keeps them
// for the output after the match.
#pragma once

#include "core/Arrays.h"

// matchtype values; 65535 = no value read yet.
using TMatchType = u16;
enum : TMatchType {
  mtNone = 0,
  mtLeague = 1,
  mtLeagueSemi = 2,
  mtLeagueFinal = 3,
  mtLeagueFinalGF = 4,
  mtRanked = 5,
  mtAcademy = 6,
  mtForumShield = 7,
  mtNotGiven = 65535,
};

// The word of a match type as "players.csv" and the output spell it, for
// 0 .. 7; nullptr for any other value.
const char* MatchTypeWord(TMatchType t);

// One squad entry; its index is the player's number in his side.
struct TSquadPlayer {
  i32 playerid;  // 0 = empty entry
  ShortStr<25> firstname;
  ShortStr<25> surname;
  ShortStr<30> appearance;
  i16 jerseynum;
  i16 height;  // centimetres
  i16 weight;
  i16 bodyfat;
  ShortStr<30> player_image_file;
  ShortStr<15> prefposition;
};

// One side's block; Team[1] is the side that kicks off.
struct TTeamInfo {
  i32 teamid;
  ShortStr<25> teamcity;
  ShortStr<25> teamname;
  bool32 homeaway;
  ShortStr<25> jerseyid;
  i32 captainid;
  ShortStr<25> coachfirstname;
  ShortStr<25> coachsurname;
  i32 coachid;
  ShortStr<5> stadlevel;
  ShortStr<5> TeamFlags;
  // The kit texts, in the order of kKitKeys.
  ShortStr<120> custjersey, custshorts, custsocks, custcolar, custsleves, custjerseynumber,
      custwaisttrim, custsponsorfront, custsponsorlowback, custsponsorupperback, custsponsorshorts,
      custjerseyother, custsleevesponsor, custjerseylogo, custflag, custflagfile, team_logo_file;
  Arr1<TSquadPlayer, 25> Squad;
};

// The 17 kit keys of "players.csv", in field order.
constexpr int kKitKeyCount = 17;
extern const char* const kKitKeys[kKitKeyCount];
// Kit text k (0-based, in the order of kKitKeys) of a team.
ShortStr<120>& KitText(TTeamInfo& team, int k);

struct TMatchInfo {
  i32 matchid;
  i32 crowd;
  i32 groundcapacity;
  ShortStr<5> stadiumid;
  TMatchType matchtype;
  i32 winnerifdrawteamid;
  ShortStr<5> MatchFlags;
  ShortStr<5> MatchFlags2;
  Arr1<TTeamInfo, 2> Team;
  i32 MotmTeamId, MotmPlayerId;
  Arr1<i16, 4> MotmFigures;  // points, tries, tackles, turnovers forced
  ShortStr<100> leaguelogostring;
};
