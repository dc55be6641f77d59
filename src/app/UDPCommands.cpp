#include "app/UDPCommands.h"

#include <cmath>
#include <limits>
#include <string_view>

#include "core/MatchStore.h"
#include "platform/Form.h"
#include "setup/CsvRules.h"

namespace {

// A real as stored in a 32-bit field; a value too large for the field does
// not convert, so no infinite value enters the record.
bool TextToF32(std::string_view t, double scale, f32& out) {
  double v = 0;
  if (!ParseReal(t, v)) return false;
  v *= scale;
  if (!(std::fabs(v) <= static_cast<double>(std::numeric_limits<f32>::max()))) return false;
  out = static_cast<f32>(v);
  return true;
}

// Splits the datagram into Fields; only the fields it reaches are cleared.
// Bytes after the 49th field are ignored.
void SplitFields(TUDPRealtime& R, const char* data, i32 size) {
  int k = 1;
  R.Fields[1].clear();
  if (size <= 0) return;
  const char* end = data + size;
  const char* start = data;
  for (const char* p = data; p < end; ++p) {
    if (*p != ',') continue;
    R.Fields[k].append(start, static_cast<size_t>(p - start));
    start = p + 1;
    if (++k > kUDPFieldCount) return;
    R.Fields[k].clear();
  }
  R.Fields[k].append(start, static_cast<size_t>(end - start));
}

bool Pressed(const std::string& field) { return field == "1"; }

// The slot part of command "1"; false when a field does not convert.
bool ApplyUserSlot(TUDPRealtime& R) {
  for (TUDPUserSlot& s : R.Users) s.Present = kFalse32;
  i32 u = 0, teamId = 0, playerNum = 0;
  if (!ParseInteger(R.Fields[4], u)) return false;
  // A slot number outside the four slots has no meaning: no slot is written.
  const bool valid = R.Users.InRange(u);
  if (!ParseInteger(R.Fields[5], teamId)) return false;
  if (valid) R.Users[u].TeamId = teamId;
  if (!ParseInteger(R.Fields[6], playerNum)) return false;
  if (!valid) return true;
  TUDPUserSlot& s = R.Users[u];
  s.PlayerNum = playerNum;
  if (s.TeamId != 0) s.Present = kTrue32;
  if (!s.Present) return true;
  s.AutoPick = Flag(s.PlayerNum == 0);
  s.OwnTeam = Flag(s.TeamId == MatchStore.MatchInfo.Team[1].teamid);
  for (int b = 1; b <= 20; ++b) s.Buttons[b] = Flag(Pressed(R.Fields[6 + b]));
  for (int a = 1; a <= 6; ++a)
    if (!TextToF32(R.Fields[26 + a], 0.001, s.Sticks[a])) return false;
  s.ExtraButton = Flag(Pressed(R.Fields[33]));
  return true;
}

// Command "1": a granted frame with the viewer's inputs; false when a field
// does not convert (what was applied before it stays).
bool ApplyStep(TUDPRealtime& R) {
  R.Paused = kFalse32;
  // A sender that never stops must not carry the count past its range.
  if (R.FramesAllowed < std::numeric_limits<i32>::max()) R.FramesAllowed += 1;
  R.PrevInput = R.Input;
  if (!ParseInteger(R.Fields[2], R.ViewerTeamId)) return false;
  if (!TextToF32(R.Fields[3], 1.0, R.ViewAngle)) return false;
  if (!ApplyUserSlot(R)) return false;
  for (int w = 1; w <= 10; ++w)
    if (!ParseInteger(R.Fields[33 + w], R.Input[w])) return false;
  if (!TextToF32(R.Fields[47], 1.0, R.SimAheadSeconds)) return false;
  if (R.SimAheadSeconds > 0) {
    Form1.Memo4.Clear();
    R.SimAhead = kTrue32;
    R.SimAheadStartUdpClock = MatchStore.RecordClock;
    R.SimAheadStartGameClock = World.clock;
    R.PrevInput = R.Input;
  }
  R.AuxUserControl = Flag(Pressed(R.Fields[48]));
  return ParseInteger(R.Fields[49], R.UserLevel);
}

// Queues the request of fields 44 to 46 into the first free entry.
void QueueRequest(TUDPRealtime& R) {
  for (int f = 44; f <= 46; ++f)
    if (R.Fields[f] == "0") return;
  TUDPRequest q{};
  for (int w = 1; w <= 3; ++w)
    if (!ParseInteger(R.Fields[43 + w], q[w])) return;
  for (TUDPRequest& e : R.Requests) {
    if (e[1] == 0 && e[2] == 0 && e[3] == 0) {
      e = q;
      return;
    }
  }
}

}  // namespace

void ReceiveUDPCommand(const std::string& Host, u16 Port, const void* Data, i32 Size) {
  (void)Host;
  (void)Port;
  TUDPRealtime& R = UDPRealtime;
  if (Data == nullptr || Size < 0) Size = 0;
  SplitFields(R, static_cast<const char*>(Data), Size);
  if (R.Fields[1].empty()) return;
  i32 cmd = 0;
  if (!ParseInteger(R.Fields[1], cmd)) return;
  if (cmd == 0) R.Paused = kTrue32;
  if (cmd == 1 && !ApplyStep(R)) return;
  QueueRequest(R);
}

void IgnoreUDPError(const std::string& Msg) { (void)Msg; }
