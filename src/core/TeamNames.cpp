#include "core/TeamNames.h"

#include <algorithm>
#include <iterator>

#include "core/MatchStore.h"

namespace {

// The stock team names, in alphabetical order.
const char* const kStockTeamNames[] = {
    "Alderstoats", "Amberbacks", "Anvilhorns", "Ashcrows", "Barleyhorns", "Basaltgoats",
    "Bilgecrabs", "Birchwardens", "Bogwhistlers", "Boulderyaks", "Bramblecats", "Brassfinches",
    "Brinehawks", "Bronzecockerels", "Burrowmen", "Candlewicks", "Chalkwalkers", "Charcoalgulls",
    "Cinder Moths", "Cinderhares", "Claymoles", "Cobblerooks", "Copperstags", "Coralkites",
    "Cragmaws", "Cragowls", "Daggerfins", "Dunelarks", "Duskbadgers", "Eelgrassers", "Emberfoxes",
    "Fenherons", "Fernbucks", "Fjordgliders", "Flintboars", "Frostlynx", "Galeterns",
    "Glenhowlers", "Gorsehounds", "Gritbacks", "Harrowmen", "Hazelhounds", "Heathrams",
    "Heronshaws", "Hillcairns", "Hollowjays", "Inkcaps", "Ironmantids", "Juniperwolves",
    "Kelprunners", "Kilnhearts", "Larchstriders", "Lichenjacks", "Loamhoppers", "Marshwrens",
    "Micaeagles", "Millwheels", "Mirekites", "Mossgliders", "Nettlehogs", "Oakenmarmots",
    "Opalstoats", "Oxbowers", "Peatvoles", "Pebblebacks", "Pikewaders", "Quarryhawks",
    "Quaymasters", "Quillbacks", "Rainplovers", "Reedcutters", "Ridgelarks", "Rimeotters",
    "Rookhollows", "Rushcutters", "Rustbuzzards", "Salt Herons", "Saltgeese", "Scarpwolves",
    "Screegoats", "Shaleoxen", "Shinglebacks", "Silverweasels", "Skerrymen", "Slatecranes",
    "Sleetfalcons", "Sloehares", "Smokeferrets", "Sorrelmustangs", "Spanglers",
    "Sprucewolverines", "Stonecurlews", "Stubblefoxes", "Swalehounds", "Tallowmen", "Tarnspiders",
    "Thawriders", "Thistlebucks", "Tidewalkers", "Timberskinks", "Tinderjacks", "Turfcutters",
    "Umberbison", "Vaultrams", "Vesperbats", "Wadeloons", "Weirdippers", "Whinchargers",
    "Wickerbacks", "Willowgrebes", "Windlassmen", "Yarrowfoxes", "Zephyrkestrels",
};
static_assert(std::size(kStockTeamNames) == 113);

// Logo keys of the club competitions: a match under one of them is no
// international even when neither team is named.
const char* const kClubCompetitionLogos[] = {
    "Logo_AmberlineCup",     "Logo_NorthmereShield", "Logo_GreystoneTrophy",
    "Logo_SaltmarshSeries", "Logo_KestrelVase",     "Logo_TidewaterPlate"};

bool IsClubCompetitionLogo(std::string_view key) {
  return std::any_of(std::begin(kClubCompetitionLogos), std::end(kClubCompetitionLogos),
                     [&](const char* logo) { return key == logo; });
}

}  // namespace

bool IsStockTeamName(std::string_view Name) {
  return std::any_of(std::begin(kStockTeamNames), std::end(kStockTeamNames),
                     [&](const char* stock) { return Name == stock; });
}

void CompetitionName(i16 Kind, std::string& Text) {
  const TMatchInfo& info = MatchStore.MatchInfo;
  Text = "none";
  if (Kind == 1) {
    if (const char* word = MatchTypeWord(info.matchtype)) Text = word;
  } else if (Kind == 2) {
    const TTeamInfo& a = info.Team[1];
    const TTeamInfo& b = info.Team[2];
    if (a.teamname.len == 0 && b.teamname.len == 0) {
      Text = "international";
      if (IsClubCompetitionLogo(info.leaguelogostring.View())) Text.clear();
    }
    if (a.teamname == "All Stars" && b.teamname == "All Stars") Text = "allstars";
  }
}
