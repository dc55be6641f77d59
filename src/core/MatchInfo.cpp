#include "core/MatchInfo.h"

const char* MatchTypeWord(TMatchType t) {
  static const char* const kWords[] = {"none",       "league",        "leaguesemi", "leaguefinal",
                                       "leaguefinalgf", "ranked",   "academy",    "forumshield"};
  return t <= mtForumShield ? kWords[t] : nullptr;
}

const char* const kKitKeys[kKitKeyCount] = {
    "custjersey",      "custshorts",         "custsocks",           "custcolar",
    "custsleves",      "custjerseynumber",   "custwaisttrim",       "custsponsorfront",
    "custsponsorlowback", "custsponsorupperback", "custsponsorshorts", "custjerseyother",
    "custsleevesponsor", "custjerseylogo",   "custflag",            "custflagfile",
    "team_logo_file"};

ShortStr<120>& KitText(TTeamInfo& team, int k) {
  ShortStr<120>* const fields[kKitKeyCount] = {
      &team.custjersey,         &team.custshorts,        &team.custsocks,
      &team.custcolar,          &team.custsleves,        &team.custjerseynumber,
      &team.custwaisttrim,      &team.custsponsorfront,  &team.custsponsorlowback,
      &team.custsponsorupperback, &team.custsponsorshorts, &team.custjerseyother,
      &team.custsleevesponsor,  &team.custjerseylogo,    &team.custflag,
      &team.custflagfile,       &team.team_logo_file};
  return *fields[k];
}
