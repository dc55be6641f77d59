#include "setup/ReadMatchAndTeams.h"

#include <cmath>
#include <limits>
#include <string>
#include <utility>

#include "core/MatchStore.h"
#include "core/Random.h"
#include "core/RunContext.h"
#include "core/TypeDefs.h"
#include "platform/Form.h"
#include "platform/Platform.h"
#include "setup/CsvRules.h"

namespace {

// The identifier becomes part of every output file name: it must name a
// file inside the output folder. The longest output name adds 31 characters
// to it, so this keeps every name within the usual 255-byte limit.
constexpr size_t kMaxFileIDLength = 200;

bool IsSafeFileID(const std::string& id) {
  if (id.size() > kMaxFileIDLength) return false;
  for (const unsigned char c : id)
    if (c < 0x20 || c == 0x7F || c == '/' || c == '\\') return false;
  return true;
}

void ReadFileID() {
  FileID.clear();
  FileSuffix.clear();
  const std::string path = InputDir() + "fileID.txt";
  if (!FileExists(path)) return;
  TLines lines;
  if (!lines.LoadFromFile(path)) RaiseFileError(path, 0, "Cannot open file " + path);
  const std::string id = lines.Count() > 0 ? lines.Lines[0] : std::string();
  if (!IsSafeFileID(id))
    RaiseFileError(path, 1, "the run identifier must be at most 200 characters with no '/', '\\' "
                            "or control character");
  FileID = id;
  Form1.Memo3.Add(FileID);
  FileSuffix = FileID.empty() ? std::string() : "_" + FileID;
}

void SetMatchDefaults(TMatchInfo& m) {
  m.stadiumid.Assign("");
  m.MatchFlags.Assign("zzzzz");
  m.MatchFlags2.Assign("zzzzz");
  // One stadium level drawn per team, team 1 first.
  for (TTeamInfo& t : m.Team) {
    t.teamid = 0;
    t.captainid = 0;
    t.stadlevel.Assign(std::to_string(RandomRange(1, 6)));
    t.TeamFlags.Assign("zzzzz");
    t.coachid = 0;
    for (int k = 0; k < kKitKeyCount; ++k) KitText(t, k).Assign("");
  }
  m.matchtype = mtNotGiven;
  m.winnerifdrawteamid = -1;
  m.matchid = -1;
  m.crowd = 0;
  m.groundcapacity = 1;
  m.leaguelogostring.Assign("");
}

// What the match pass has taken so far beside the match record.
struct TMatchPass {
  i32 KickOffTeam = 0;
  bool HalfLengthTaken = false;
  bool InjuriesTaken = false;
  bool AILevelTaken = false;
  bool GameSpeedTaken = false;
};

// The half length in seconds: minutes x 60 held as a 32-bit float.
f32 HalfLengthSeconds(const TCsvRow& row, int c) {
  const double seconds = CsvReal(row, c) * 60.0;
  if (std::fabs(seconds) > std::numeric_limits<f32>::max()) {
    RaiseCsvError(*row.File, row.Line(), row.Name(c),
                  "'" + row.Value(c) + "' minutes is out of range for a half");
  }
  return static_cast<f32>(seconds);
}

void ApplyMatchKey(const TCsvRow& row, int c, TMatchInfo& m, TMatchPass& pass) {
  const std::string& key = row.Name(c);
  const std::string& v = row.Value(c);
  if (key == "leaguelogostring") {
    if (m.leaguelogostring.len == 0 && !v.empty()) m.leaguelogostring.Assign(v);
  } else if (key == "matchid") {
    if (m.matchid < 0 && !v.empty()) m.matchid = CsvInteger(row, c);
  } else if (key == "crowd") {
    if (m.crowd <= 0 && !v.empty()) m.crowd = CsvInteger(row, c);
  } else if (key == "groundcapacity") {
    if (m.groundcapacity <= 1 && !v.empty()) m.groundcapacity = CsvInteger(row, c);
  } else if (key == "stadiumid") {
    if (m.stadiumid.len == 0) m.stadiumid.Assign(v);
  } else if (key == "teamid") {
    if (m.Team[1].teamid == 0) m.Team[1].teamid = CsvInteger(row, c);
    if (!v.empty()) {
      const i32 id = CsvInteger(row, c);
      if (id != m.Team[1].teamid) m.Team[2].teamid = id;
    }
  } else if (key == "kickoffteamid") {
    if (pass.KickOffTeam == 0 && !v.empty()) pass.KickOffTeam = CsvInteger(row, c);
  } else if (key == "halflength") {
    if (!pass.HalfLengthTaken && !v.empty()) {
      // Only a positive length is taken; a later row may still give one.
      const f32 seconds = HalfLengthSeconds(row, c);
      if (seconds > 0.0f) {
        World.halflength = seconds;
        pass.HalfLengthTaken = true;
      }
    }
  } else if (key == "injurieson") {
    if (!pass.InjuriesTaken && !v.empty()) {
      World.injurieson = Flag(v != "false");
      pass.InjuriesTaken = true;
    }
  } else if (key == "ailevel") {
    if (!pass.AILevelTaken && !v.empty()) {
      const u16 level = static_cast<u16>(CsvInteger(row, c));
      AILevel = level == 1 ? 900 : (level == 3 ? 550 : 750);
      pass.AILevelTaken = true;
    }
  } else if (key == "gamespeed") {
    if (!pass.GameSpeedTaken && !v.empty()) {
      GameSpeed = static_cast<u16>(CsvInteger(row, c)) == 1 ? 0.08014286f : 0.085f;
      pass.GameSpeedTaken = true;
    }
  } else if (key == "matchtype") {
    if (m.matchtype == mtNotGiven) {
      m.matchtype = mtNone;
      if (!v.empty()) {
        for (TMatchType t = mtNone; t <= mtForumShield; ++t) {
          if (v == MatchTypeWord(t)) m.matchtype = t;
        }
      }
    }
  } else if (key == "winnerifdrawteamid") {
    if (m.winnerifdrawteamid == -1) {
      m.winnerifdrawteamid = 0;
      if (!v.empty()) m.winnerifdrawteamid = CsvInteger(row, c);
    }
  }
}

bool MatchPassDone(const TMatchInfo& m) {
  return m.stadiumid.len != 0 && m.Team[1].teamid != 0 && m.Team[2].teamid != 0 &&
         m.matchtype != mtNotGiven && m.winnerifdrawteamid != -1;
}

void MatchPass(const TCsvFile& file, TMatchInfo& m, TMatchPass& pass) {
  for (int r = 1; r <= file.RowCount(); ++r) {
    const TCsvRow row = CsvRow(file, r);
    for (int c = 1; c <= file.ColumnCount(); ++c) ApplyMatchKey(row, c, m, pass);
    if (MatchPassDone(m)) break;
  }
}

// The first data row whose teamid is the given id; 0 when none is.
int FindTeamRow(const TCsvFile& file, i32 teamid) {
  for (int r = 1; r <= file.RowCount(); ++r) {
    const TCsvRow row = CsvRow(file, r);
    i32 id = 0;
    for (int c = 1; c <= file.ColumnCount(); ++c) {
      if (row.Name(c) == "teamid") id = CsvInteger(row, c);
    }
    if (id == teamid) return r;
  }
  return 0;
}

void ApplyTeamKey(const TCsvRow& row, int c, TTeamInfo& t) {
  const std::string& key = row.Name(c);
  const std::string& v = row.Value(c);
  if (key == "homeaway") {
    t.homeaway = Flag(v == "home");
  } else if (key == "jerseyid") {
    t.jerseyid.Assign(v);
  } else if (key == "teamcity") {
    t.teamcity.Assign(v);
  } else if (key == "teamname") {
    t.teamname.Assign(v);
  } else if (key == "coachsurname") {
    t.coachsurname.Assign(v);
  } else if (key == "coachfirstname") {
    t.coachfirstname.Assign(v);
  } else if (key == "captainid") {
    if (!v.empty()) t.captainid = CsvInteger(row, c);
  } else if (key == "coachid") {
    if (!v.empty()) t.coachid = CsvInteger(row, c);
  } else if (key == "stadlevel") {
    t.stadlevel.Assign(v);
  } else {
    for (int k = 0; k < kKitKeyCount; ++k) {
      if (key == kKitKeys[k]) KitText(t, k).Assign(v);
    }
  }
}

void TeamPass(const TCsvFile& file, TTeamInfo& t) {
  const int r = FindTeamRow(file, t.teamid);
  if (r == 0) return;
  const TCsvRow row = CsvRow(file, r);
  for (int c = 1; c <= file.ColumnCount(); ++c) ApplyTeamKey(row, c, t);
}

// Team[1] becomes the side that kicks off: the named side, or a draw when
// the file names neither.
void DecideKickOff(TMatchInfo& m, i32 kickOffTeam) {
  bool swap = false;
  if (kickOffTeam == m.Team[2].teamid) {
    swap = true;
  } else if (kickOffTeam != m.Team[1].teamid) {
    swap = RandomRange(1, 1001) < 500;
  }
  if (swap) std::swap(m.Team[1], m.Team[2]);
}

}  // namespace

void ReadMatchAndTeams() {
  ReadFileID();
  const std::string path = InputDir() + "players.csv";
  const TCsvFile file = LoadCsvFile(path);
  TMatchInfo& m = MatchStore.MatchInfo;
  SetMatchDefaults(m);
  // A match without two teams must not run and be reported as a success.
  if (file.RowCount() < 1) RaiseFileError(path, 0, "the file has a header but no data row");
  TMatchPass pass;
  MatchPass(file, m, pass);
  if (m.Team[1].teamid == 0 || m.Team[2].teamid == 0) {
    RaiseFileError(path, 0, "the rows name fewer than two teams (column \"teamid\")");
  }
  TeamPass(file, m.Team[1]);
  TeamPass(file, m.Team[2]);
  for (TTeamInfo& t : m.Team) {
    if (t.teamname == "Youth Academy" && m.matchtype == mtAcademy) {
      t.jerseyid.Assign("0");
      m.MatchFlags.s[0] = 'n';
    }
  }
  m.MatchFlags.s[2] = 'o';
  DecideKickOff(m, pass.KickOffTeam);
  World.Teams[1].teamid = m.Team[1].teamid;
  World.Teams[2].teamid = m.Team[2].teamid;
}
