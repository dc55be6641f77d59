#include "output/GameFile.h"

#include <algorithm>
#include <string>

#include "core/MatchStats.h"
#include "core/NumberFormat.h"
#include "core/Random.h"
#include "core/Rounding.h"
#include "core/StrategyShapes.h"
#include "core/TeamNames.h"
#include "core/WorldDefaults.h"
#include "output/MatchSummary.h"
#include "output/WebSubmission.h"
#include "setup/AnimationCatalogue.h"

namespace {

constexpr double kFrameStep = 0.04;  // s between written frames
// s: the recording clock is a sum of 32-bit steps, so a frame one step
// after the last written one may lie a rounding step short of 0.04 s;
// compared with this margin, well under a step, every such frame is written.
constexpr double kFrameStepMargin = 0.001;
constexpr int kSeedCount = 10;
constexpr i32 kSeedLow = 1, kSeedHigh = 101;        // seeds 1 .. 100
constexpr i32 kStrategyALow = 1, kStrategyAHigh = 21;  // A of a strategy line: 1 .. 20
constexpr i32 kPlayerALow = 1, kPlayerAHigh = 101;     // A of a player or submission line: 1 .. 100
constexpr i32 kBLow = 1, kBHigh = 16;                  // B of every line: 1 .. 15
constexpr int kOptionsPerLine = 6;   // weights of a family line, whatever the family's own count
constexpr int kSettingZones = 6;     // zones of a settings line
constexpr int kMaxZones = 30;
constexpr int kSquadLines = 22;      // player lines and academy report lines
constexpr int kKitLines = 11;        // custjersey .. custsponsorshorts
constexpr int kKitLinesWithOther = 14;  // .. custjerseyother, custsleevesponsor, custjerseylogo
constexpr char kAcademyName[] = "Academy";

// The 34 message types of the message data.
constexpr u8 kWrittenMessages[] = {0,  1,  4,  5,  6,  7,  8,  9,  14, 17, 18, 28,  29,  30,  34,  45,  49,
                                   50, 57, 58, 59, 61, 63, 65, 70, 72, 80, 82, 85, 95, 99, 106, 107, 108};

// The file and one line reused for every data line; no allocation per line
// once the line has grown to the longest.
struct TGameFileOut {
  TOutputFile& File;
  TCsvLine Line;

  void Emit() {
    File.WriteLine(Line.View());
    Line.Clear();
  }
};

std::string TeamMarker(int t, const char* word) { return "//team" + std::to_string(t) + " " + word; }

// The marker, the body's lines and the marker + " ends".
template <class F>
void Section(TGameFileOut& out, const std::string& marker, F body) {
  out.File.WriteLine(marker);
  body();
  out.File.WriteLine(marker + " ends");
}

TTeamInfo& Team(int t) { return MatchStore.MatchInfo.Team[t]; }

i32 Scramble(i32 Value, i32 A, i32 B) { return ScrambleStatValue(Value, A, B, true); }

// ---------------------------------------------------------------- match and teams

void WriteSeeds(TGameFileOut& out) {
  Section(out, "//randseeds", [&] {
    for (int k = 1; k <= kSeedCount; ++k) out.Line.Int(RandomRange(kSeedLow, kSeedHigh));
    out.Emit();
  });
}

void WriteMatchInfo(TGameFileOut& out) {
  const TMatchInfo& info = MatchStore.MatchInfo;
  Section(out, "//general match info", [&] {
    std::string text;
    for (i16 kind = 1; kind <= 3; ++kind) {
      CompetitionName(kind, text);
      out.Line.Text(text);
    }
    out.Line.Int(MatchSummary.MatchDay).Int(MatchSummary.MatchMonth).Int(MatchSummary.MatchYear);
    out.Line.Int(info.winnerifdrawteamid).Int(info.crowd).Int(info.groundcapacity);
    out.Line.Text(info.leaguelogostring.View());
    out.Emit();
  });
}

// "greenbib" for a team named "Academy" and "orangebib" for the other when
// either is so named (both "greenbib" when both are); else the jersey id.
std::string_view Kit(int t) {
  const bool either = Team(1).teamname == kAcademyName || Team(2).teamname == kAcademyName;
  if (!either) return Team(t).jerseyid.View();
  return Team(t).teamname == kAcademyName ? "greenbib" : "orangebib";
}

void WriteTeamData(TGameFileOut& out, int t) {
  const TTeamInfo& team = Team(t);
  // Team 1 is home when its homeaway is set, and team 2 is then away.
  const bool home = (t == 1) == (Team(1).homeaway != 0);
  Section(out, TeamMarker(t, "team data"), [&] {
    out.Line.Int(t).Int(team.teamid).Text(team.teamcity.View()).Text(team.teamname.View());
    out.Line.Int(home ? 1 : 2).Text(Kit(t)).Int(team.captainid);
    out.Line.Text(team.coachfirstname.View()).Text(team.coachsurname.View());
    out.Line.Int(MatchSummary.TeamRating[t]).Text(team.stadlevel.View()).Int(MatchSummary.BestPlayerSlot[t]);
    out.Line.Text(team.team_logo_file.View());
    out.Emit();
  });
}

void WriteCustomJersey(TGameFileOut& out, int t) {
  TTeamInfo& team = Team(t);
  if (team.custjersey.len == 0) return;
  const int lines = team.custjerseyother.len == 0 ? kKitLines : kKitLinesWithOther;
  Section(out, TeamMarker(t, "cust jersey"), [&] {
    for (int k = 0; k < lines; ++k) out.File.WriteLine(KitText(team, k).View());
  });
}

void WriteCustomFlag(TGameFileOut& out, int t) {
  const TTeamInfo& team = Team(t);
  if (team.custflag.len == 0) return;
  Section(out, TeamMarker(t, "cust flag"), [&] {
    out.File.WriteLine(team.custflag.View());
    out.File.WriteLine(team.custflagfile.View());
  });
}

// ---------------------------------------------------------------- strategies

// Six values scrambled with fresh A (1 .. 20) and B (1 .. 15), then A and B.
void StrategyLine(TGameFileOut& out, const i32 (&Values)[kOptionsPerLine]) {
  const i32 a = RandomRange(kStrategyALow, kStrategyAHigh);
  const i32 b = RandomRange(kBLow, kBHigh);
  for (const i32 v : Values) out.Line.Int(Scramble(v, a, b));
  out.Line.Int(a).Int(b);
  out.Emit();
}

// One line per zone 1 .. the family's option count: its weights 1 .. 6.
void FamilyLines(TGameFileOut& out, const TOptionFamily& family) {
  const int zones = std::clamp<int>(family.OptionCount, 0, kMaxZones);
  for (int z = 1; z <= zones; ++z) {
    i32 values[kOptionsPerLine];
    for (int j = 1; j <= kOptionsPerLine; ++j) values[j - 1] = family.Weights[z][j];
    StrategyLine(out, values);
  }
}

// The 3-way code of a ruck setting: 0 -> 1, 2 -> 3, anything else 2.
i32 RuckCode(f32 Setting) {
  const double r = RoundHalfEven(Setting);
  if (r == 2.0) return 3;
  if (r == 0.0) return 1;
  return 2;
}

// Zones 1 .. 6 of a setting, rounded, or as ruck codes.
void SettingLine(TGameFileOut& out, const Arr1<f32, kMaxZones>& Setting, bool AsRuckCode) {
  i32 values[kSettingZones];
  for (int z = 1; z <= kSettingZones; ++z) values[z - 1] = AsRuckCode ? RuckCode(Setting[z]) : RoundToI32(Setting[z]);
  StrategyLine(out, values);
}

void StrategyHalfLines(TGameFileOut& out, const TFieldStrategyHalf& h) {
  FamilyLines(out, h.Families[1]);
  SettingLine(out, h.OpenPlayStrategy, false);  // the first "backlinedepth" value
  SettingLine(out, h.LineSpeed, false);
  SettingLine(out, h.RuckNumAttack, true);
  SettingLine(out, h.RuckNumDef, true);
  for (int f = 2; f <= kOptionFamilyCount; ++f) FamilyLines(out, h.Families[f]);
}

void WriteStrategy(TGameFileOut& out, int t) {
  Section(out, TeamMarker(t, "strategy data"), [&] {
    StrategyHalfLines(out, FieldStrategy[t].Normal);
    StrategyHalfLines(out, FieldStrategy[t].CatchUp);
  });
}

// ---------------------------------------------------------------- squads and statistics

// Squad slot s of team t: 46 values, ratings scrambled with the line's A
// (1 .. 100) and B (1 .. 15).
void PlayerLine(TGameFileOut& out, int t, int s) {
  const TSquadPlayer& q = Team(t).Squad[s];
  const TPlayerStats& r = MatchStats.PlayerStats[t][s];
  const TPlayerSummary& p = MatchSummary.Players[t][s];
  const i32 a = RandomRange(kPlayerALow, kPlayerAHigh);
  const i32 b = RandomRange(kBLow, kBHigh);
  TCsvLine& line = out.Line;
  line.Text(q.firstname.View()).Text(q.surname.View()).Text(q.appearance.View());
  line.Int(q.jerseynum).Int(q.height).Int(q.weight).Int(AgeFromAppearance(q.appearance)).Int(q.playerid);
  line.Int(Scramble(q.bodyfat, a, b));
  for (const f32 TPlayerStats::*rating : kScrambledRatings) line.Int(Scramble(RoundToI32(r.*rating), a, b));
  line.Text(FormatStat(r.ExtraValue1, 3)).Text(FormatStat(r.ExtraValue2, 3));
  line.Text(r.Text1.View()).Text(r.Text2.View()).Text(r.Text3.View()).Text(r.user.View());
  line.Int(Scramble(p.PositionRating, a, b)).Int(a).Int(b);
  line.Int(RoundToI64(r.trycelebration)).Text(q.player_image_file.View()).Text(q.prefposition.View());
  out.Emit();
}

void WritePlayers(TGameFileOut& out, int t) {
  Section(out, TeamMarker(t, "player data"), [&] {
    for (int s = 1; s <= kSquadLines; ++s) PlayerLine(out, t, s);
  });
}

void WriteTeamStats(TGameFileOut& out, int t) {
  const TTeamFigures& f = MatchSummary.TeamFigures[t];
  // Team 2's test is against team 1's id, so a third id makes team 2 "true".
  const bool motmTeam1 = MatchStore.MatchInfo.MotmTeamId == Team(1).teamid;
  const bool motm = t == 1 ? motmTeam1 : !motmTeam1;
  Section(out, TeamMarker(t, "team stats"), [&] {
    out.Line.Text(motm ? "true" : "false");
    for (const i16 v : {f.score, f.percentpossession, f.percentterritory, f.tackles, f.missedtackles, f.tries,
                        f.handlingerrors, f.offloads, f.attackingrucks, f.turnovers, f.pengoalsuccess,
                        f.pengoalattempts, f.convsuccess, f.convattempts, f.totpenalties, f.dropgoalsuccess,
                        f.lineoutthrows, f.lineoutwonagainstthrow, f.scrumfeeds, f.TightheadsWon, f.redzonetime})
      out.Line.Int(v);
    out.Emit();
  });
}

// Squad slot 1 only: 41 values.
void WritePlayerStats(TGameFileOut& out, int t) {
  const TPlayerSummary& p = MatchSummary.Players[t][1];
  Section(out, TeamMarker(t, "player stats"), [&] {
    out.Line.Text(FormatStat(p.performanceratingraw, 1)).Text(FormatStat(p.performancerating, 1));
    out.Line.Int(p.MinutesPlayed);
    AddMatchCounts(out.Line, p);
    out.Emit();
  });
}

void WriteWebSubmission(TGameFileOut& out) {
  Section(out, "//web submission data", [&] {
    for (int t = 1; t <= 2; ++t) {
      const i32 a = RandomRange(kPlayerALow, kPlayerAHigh);
      const i32 b = RandomRange(kBLow, kBHigh);
      const std::string line = SubmissionLine(t, a, b);
      out.File.WriteLine(line);
      out.File.WriteLine(CheckLine(line));
    }
  });
}

// ---------------------------------------------------------------- frames and messages

// Centimetres of a stored position (whole units of 1 / PositionScale m).
int64_t Centimetres(double v) { return RoundToI64(v / PositionScale * 100.0); }

// Per cent of the animation played; 0 where the index names no catalogue
// entry or the length or quantum is not above 0.
int64_t AnimPercent(i32 Frame, u16 Index, u8 Quantum) {
  if (Index < 1 || Index > kAnimCatalogueSize || Quantum == 0) return 0;
  const double length = AnimLengths[Index];
  if (!(length > 0)) return 0;
  return RoundToI64(static_cast<double>(Frame) / Quantum / length * 100.0);
}

void AddTracks(TCsvLine& line, const TMatchStore& S, int Block, int n, int Players) {
  for (int p = 1; p <= Players; ++p) {
    const TPlayerTrack& track = S.PlayerTracks[Block][p];
    const TI16Vec3& pos = track.Pos[n];
    line.Int(Centimetres(pos.x)).Int(Centimetres(pos.z)).Int(track.Heading[n]).Int(track.AnimIndex[n]);
    line.Int(AnimPercent(track.AnimFrame[n], track.AnimIndex[n], S.ReplayQuantum));
  }
}

// A coordinate of the point of interest in centimetres, seen from match team
// 1 in the first half: negated when team 1 held block 2, and again from the
// second half's first frame on.
int64_t PointOfInterestCm(f32 v, bool Team1InBlock2, bool SecondHalf) {
  double m = v / PositionScale;
  if (Team1InBlock2) m = -m;
  if (SecondHalf) m = -m;
  return RoundToI64(m * 100.0);
}

void FrameLine(TCsvLine& line, const TMatchStore& S, int n, int Players) {
  const bool team1InBlock1 = S.FrameTeam1InFirstBlock[n] != 0;
  const int team1Block = team1InBlock1 ? 1 : 2;
  line.Int(RoundToI64(static_cast<double>(S.FrameTimes[n]) * 1000.0));
  AddTracks(line, S, team1Block, n, Players);
  AddTracks(line, S, 3 - team1Block, n, Players);
  const TI16Vec3& ball = S.FrameBallPos[n];
  line.Int(Centimetres(ball.x)).Int(Centimetres(ball.y)).Int(Centimetres(ball.z));
  const TI16Vec3& angles = S.FrameBallAngles[n];
  line.Int(angles.x).Int(angles.y).Int(angles.z);
  const bool secondHalf = n >= HalfTimeFrame;
  const TVector2& poi = S.FramePointOfInterest[n];
  line.Int(PointOfInterestCm(poi.x, !team1InBlock1, secondHalf));
  line.Int(PointOfInterestCm(poi.z, !team1InBlock1, secondHalf));
  line.Int(RoundToI64(S.FrameClock[n]));
  line.EndWithComma();
}

int WriteFrames(TGameFileOut& out) {
  const TMatchStore& S = MatchStore;
  const int players = std::min(PlayerCount(World), kTrackPlayers);
  int written = 0;
  Section(out, "//frame data", [&] {
    TFrameWalk walk(S);
    for (int n = walk.Next(); n != 0; n = walk.Next()) {
      FrameLine(out.Line, S, n, players);
      out.Emit();
      ++written;
    }
  });
  return written;
}

int WriteMessages(TGameFileOut& out) {
  const TMatchStore& S = MatchStore;
  const i32 team1 = Team(1).teamid;
  int written = 0;
  Section(out, "//message data", [&] {
    const int count = ReadableMessageCount(S);
    for (int k = 1; k <= count; ++k) {
      const TMatchMessage& m = S.Messages[k];
      if (!IsGameFileMessage(m.message)) continue;
      out.Line.Int(m.teamID == team1 ? 1 : 2).Int(m.playerID).Int(RoundToI64(m.time * 1000.0));
      out.Line.Int(m.message).Int(RoundToI64(m.extravalue * 1000.0)).EndWithComma();
      out.Emit();
      ++written;
    }
  });
  return written;
}

// The recording time of a slot; 0 for a slot outside the store.
f32 SlotTime(const TMatchStore& S, u32 Slot) {
  return Slot >= 1 && Slot <= static_cast<u32>(kFrameCapacity) ? S.FrameTimes[static_cast<int>(Slot)] : 0.0f;
}

void WriteHighlights(TGameFileOut& out) {
  const TMatchStore& S = MatchStore;
  const int count = std::clamp<int>(S.HighlightCount, 0, kHighlightCapacity);
  if (count == 0) return;
  Section(out, "//highlights", [&] {
    for (int h = 1; h <= count; ++h) {
      out.Line.Text(FormatStat(SlotTime(S, S.Highlights[h].StartFrame), 5));
      out.Line.Text(FormatStat(SlotTime(S, S.Highlights[h].EndFrame), 5));
      out.Emit();
    }
  });
}

void WriteAcademyReport(TGameFileOut& out) {
  std::string kind;
  CompetitionName(1, kind);
  if (kind != "academy") return;
  Section(out, "//academy report", [&] {
    for (int k = 1; k <= kSquadLines; ++k) {
      const TScoutEntry& e = MatchSummary.ScoutReport[k];
      out.Line.Int(e.teamid).Int(e.playerid).Int(e.jerseynum);
      for (const i16 v : {e.speed, e.acceleration, e.awareness, e.discipline, e.fitness, e.tackling, e.agility,
                          e.elusiveness, e.fend, e.breaktackle, e.strength, e.handling, e.highball,
                          e.lineoutjumping, e.lineoutthrow, e.rucking, e.scrummaging, e.passing, e.kicking,
                          e.goalkicking, e.finesse, e.injury, e.offloads, e.leadership})
        out.Line.Int(v);
      out.Emit();
    }
  });
}

}  // namespace

TFrameWalk::TFrameWalk(const TMatchStore& S)
    : store_(S), count_(std::clamp(S.AnimFrameCount, 0, kFrameCapacity)), slot_(0), last_(0), ended_(count_ == 0) {
  if (!ended_) last_ = static_cast<double>(S.FrameTimes[1]) - kFrameStep;
}

int TFrameWalk::Next() {
  while (!ended_ && slot_ < count_) {
    ++slot_;
    const double time = store_.FrameTimes[slot_];
    if (time < last_ + kFrameStep - kFrameStepMargin) continue;
    last_ = time;
    if (last_ + kFrameStep - kFrameStepMargin >= static_cast<double>(store_.FrameTimes[count_])) ended_ = true;
    return slot_;
  }
  ended_ = true;
  return 0;
}

bool IsGameFileMessage(u8 Type) {
  return std::find(std::begin(kWrittenMessages), std::end(kWrittenMessages), Type) != std::end(kWrittenMessages);
}

void WriteGameFileSections(TOutputFile& File) {
  TGameFileOut out{File, {}};
  WriteSeeds(out);
  WriteMatchInfo(out);
  for (int t = 1; t <= 2; ++t) WriteTeamData(out, t);
  for (int t = 1; t <= 2; ++t) WriteCustomJersey(out, t);
  for (int t = 1; t <= 2; ++t) WriteCustomFlag(out, t);
  for (int t = 1; t <= 2; ++t) WriteStrategy(out, t);
  for (int t = 1; t <= 2; ++t) WritePlayers(out, t);
  for (int t = 1; t <= 2; ++t) WriteTeamStats(out, t);
  for (int t = 1; t <= 2; ++t) WritePlayerStats(out, t);
  WriteWebSubmission(out);
  const int frames = WriteFrames(out);
  const int messages = WriteMessages(out);
  WriteHighlights(out);
  WriteAcademyReport(out);
  out.Line.Text("//numframes").Int(frames);
  out.Emit();
  out.Line.Text("//nummessages").Int(messages);
  out.Emit();
}
