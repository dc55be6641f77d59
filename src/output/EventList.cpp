#include "output/OutputUnit.h"

#include <algorithm>
#include <string>

#include "core/MatchStore.h"
#include "core/NumberFormat.h"
#include "core/Rounding.h"
#include "core/RunContext.h"
#include "core/WorldDefaults.h"
#include "output/OutputLines.h"
#include "output/ReplayUnit.h"

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
    if (id == 0) return 0;
    int shirt = 0;
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
  // Fractions of the field's width and length seen from the message's team.
  void AddFractions(TCsvLine& line, const TI16Vec3& v, int m) const {
    line.Text(FormatStat((m * v.x + spanX_ / 2) / spanX_, 4)).Text(FormatStat((m * v.z + spanZ_ / 2) / spanZ_, 4));
  }

  // The 13 columns, each followed by ",".
  std::string Line(const TMatchMessage& msg, int n, int team, int m, int inBlockOne) const {
    TCsvLine line;
    line.Int(msg.message).Text(FormatStat(msg.time, 3)).Text(FormatStat(S_.FrameClock[n], 3));
    line.Text(FormatStat(msg.extravalue, 2)).Int(msg.teamID).Int(msg.playerID);
    const int shirt = shirts_.ShirtOf(team, msg.playerID);
    if (shirt == 0) {
      line.Text("-1").Text("-1");
    } else {
      AddFractions(line, S_.PlayerTracks[m == 1 ? 1 : 2][shirt].Pos[n], m);
    }
    AddFractions(line, S_.FrameBallPos[n], m);
    line.Int(S_.FrameGameState[n]).Int(S_.MatchInfo.Team[inBlockOne].teamid);
    const int h = S_.FrameBallHolder[n];
    if (h >= 1 && h <= shirts_.Players) {
      line.Int(shirts_.Ids[inBlockOne][h]);
    } else {
      line.Int(-1000);
    }
    return line.Str() + ",";
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
