#include "output/OutputUnit.h"

#include <algorithm>
#include <string>

#include "core/MatchStore.h"
#include "core/NumberFormat.h"
#include "core/Rounding.h"
#include "core/RunContext.h"
#include "core/WorldDefaults.h"
#include "output/OutputFile.h"
#include "output/ReplayUnit.h"
#include "platform/Platform.h"

namespace {

const char* const kEventListHeader =
    "message,time,clock,extravalue,teamID,playerID,playerX,playerZ,ballX,ballZ,gamestate,"
    "lastknownhasballteamID,lastknownhasballplayerID";

// The message types that the event list writes.
bool Listed(int type) {
  return (type >= 0 && type <= 9) || type == 14 || type == 15 || type == 18 || (type >= 20 && type <= 29) ||
         type == 45 || type == 49 || type == 50 || type == 57 || type == 58 || type == 59 || type == 61 ||
         type == 62 || (type >= 95 && type <= 105);
}

// Who wears each shirt, per match team: entry p is the id of the player in
// player slot p of the team's block. Starts from the squads; a player coming
// on takes over his shirt.
struct TShirtTables {
  Arr1<Arr1<i32, kTrackPlayers>, 2> Ids;
  int Players;  // PlayersPerTeam, at most 15

  // The last shirt worn by the player, 0 when none (id 0 names no player).
  int ShirtOf(int team, i32 id) const {
    int shirt = 0;
    if (id == 0) return 0;
    for (int p = 1; p <= Players; ++p)
      if (Ids[team][p] == id) shirt = p;
    return shirt;
  }
};

// The event list's walk: the frame at which each message is written and
// what the line reads from it.
class TEventList {
 public:
  TEventList(const TMatchStore& S, const TWorld& W) : S_(S) {
    const double q = S.ReplayQuantum;
    spanX_ = q * PositionScale * W.PitchWidth;
    spanZ_ = q * PositionScale * W.PitchLength;
    shirts_.Players = std::clamp(W.PlayersPerTeam, 0, kTrackPlayers);
    for (int t = 1; t <= 2; ++t)
      for (int p = 1; p <= kTrackPlayers; ++p) shirts_.Ids[t][p] = S.MatchInfo.Team[t].Squad[p].playerid;
  }

  // Takes message k at frame n: a player coming on first takes his shirt,
  // then the line of a listed type is written.
  void Place(TOutputFile& out, const TMatchMessage& msg, int n) {
    const int team = msg.teamID == S_.MatchInfo.Team[1].teamid ? 1 : 2;
    const int inBlockOne = S_.FrameTeam1InFirstBlock[n] != 0 ? 1 : 2;
    // +1 when the message's team held block 1 (attacking +z) at frame n.
    const int m = team == inBlockOne ? 1 : -1;
    if (msg.message == msgPlayerOn) {
      const double r = RoundHalfEven(msg.extravalue);
      if (r >= 1 && r <= shirts_.Players) shirts_.Ids[team][static_cast<int>(r)] = msg.playerID;
    }
    if (Listed(msg.message)) out.WriteLine(Line(msg, n, team, m, inBlockOne));
  }

 private:
  std::string Fractions(const TI16Vec3& v, int m) const {
    return FormatStat((m * v.x + spanX_ / 2) / spanX_, 4) + "," + FormatStat((m * v.z + spanZ_ / 2) / spanZ_, 4) + ",";
  }

  std::string Line(const TMatchMessage& msg, int n, int team, int m, int inBlockOne) const {
    std::string line;
    line += std::to_string(msg.message) + ",";
    line += FormatStat(msg.time, 3) + ",";
    line += FormatStat(S_.FrameClock[n], 3) + ",";
    line += FormatStat(msg.extravalue, 2) + ",";
    line += std::to_string(msg.teamID) + ",";
    line += std::to_string(msg.playerID) + ",";
    const int shirt = shirts_.ShirtOf(team, msg.playerID);
    line += shirt == 0 ? "-1,-1," : Fractions(S_.PlayerTracks[m == 1 ? 1 : 2][shirt].Pos[n], m);
    line += Fractions(S_.FrameBallPos[n], m);
    line += std::to_string(S_.FrameGameState[n]) + ",";
    line += std::to_string(S_.MatchInfo.Team[inBlockOne].teamid) + ",";
    const int h = S_.FrameBallHolder[n];
    line += (h >= 1 && h <= shirts_.Players ? std::to_string(shirts_.Ids[inBlockOne][h]) : "-1000") + ",";
    return line;
  }

  const TMatchStore& S_;
  double spanX_;  // the field's width in stored units, q S W
  double spanZ_;  // its length, q S L
  TShirtTables shirts_;
};

}  // namespace

void WriteEventList() {
  const TMatchStore& S = MatchStore;
  TOutputFile out(OutputDir + "eventlist" + FileSuffix + ".csv");
  out.WriteLine(kEventListHeader);
  const int frames = RecordedFrameCount();
  const int messages = std::clamp<int>(S.MessageCountCopy, 0, kMessageCapacity);
  if (frames > 0) {
    TEventList list(S, World);
    int k = 1;
    // Each message goes to the first frame stamped later than it.
    for (int n = 1; n <= frames && k <= messages; ++n) {
      for (; k <= messages && S.Messages[k].time < S.FrameTimes[n]; ++k) list.Place(out, S.Messages[k], n);
    }
    // Messages of the last frame or later are written at the last frame.
    for (; k <= messages; ++k) list.Place(out, S.Messages[k], frames);
  }
  out.Close();
}

void PickManOfTheMatch() {}
void WriteStatsOutput() {}
void WriteGameFile() { SetCurrentDir(ExeDir); }
