#include "core/MoveCatalogue.h"

#include <cstring>
#include <initializer_list>

// Geometry of the stored values: the side in possession always attacks
// towards +z, so one direction serves. Headings are degrees with direction
// (-cos a, sin a): 90 straight upfield, below 90 towards -x, above towards +x.
// Ruck start points are metres from the tackle, negative z behind it.
//
// Each family head is written out field by field; its relatives are whole
// copies changed where they differ, and the mirrored moves of a pair are made
// by the mirror rules below. Derived numbers (kick speeds as products of a base
// speed and factors, the kicker's x of ruck moves 81-84, the run time of open
// moves 81-83) are computed in single precision.

namespace {

// ---------------------------------------------------------------- common values

constexpr double kSimTimeStep = 0.04;    // s, in every filled move
constexpr double kEventDeadline = 50.0;  // s, the life of every stored event

constexpr double kOpenSimDuration = 2.75;   // s
constexpr double kOpenGainLimit = 10.0;     // m
constexpr double kOpenKickDuration = 3.25;  // s, kicks 101-120, 131, 132
constexpr double kRuckSimDuration = 8.0;    // s
constexpr double kRuckGainLimit = 100.0;    // m

// The scrum-half's spot behind the tackle, and how far his pass event runs
// towards the fly-half (10) or an inside centre (12).
constexpr double kScrumHalfX = -0.09, kScrumHalfZ = -3.5;  // m
constexpr double kPassDistTo10 = 6.25, kPassDistTo12 = 0.13;  // m

// The fly-half's kicking spot and the centre's (ruck kicks 25-84).
constexpr double kKicker10X = -6.76, kKicker10Z = -9.06;  // m
constexpr double kKicker12X = -13.76, kKicker12Z = -11.56;
constexpr double kPasser10Z = -10.06;  // 10 when he passes on to 12

// One stored event as the catalogue writes it. The defaults are the common
// values of every filled event; Ruck selects the ruck defaults (no receiver
// offset, no speed fraction, reference player 1 at 5 m and 90 degrees).
template <bool Ruck>
struct TEventSpec {
  i32 Type = 0;
  i32 SubType = 0;               // pass receiver (ruck moves: his shirt) or kick kind
  i32 Code = 0;                  // EventCode: kick placement, side-step or break kind
  i32 Side = Ruck ? 0 : -1;      // ReceiverOffset: receiver's line place beside the carrier
  double Angle = 90.0;           // deg
  double DesSpeed = 10.0;        // m/s
  double Factor = Ruck ? 0.0 : 1.0;  // SpeedFraction of the player's top speed (open play)
  double Dist = 0.0;             // DistOrig, m
  double Duration = 0.0;         // s, hold at the end of the run
  i32 End = 0;                   // EndCondition
  double LeadX = 0.0;            // EndLeadX, m: margin of end conditions 10 and 11
  double LeadZ = 0.0;            // EndLeadZ, m: margin of end conditions 4, 5 and 7
  u16 WaitFor = 0;               // 1: the run waits for the pass to this player
  bool Rel = false;              // RelMovementOn: run to a point beside a team-mate
  i32 Follow = Ruck ? 1 : 0;     // RelPlayer (ruck moves: a shirt number)
  i32 FollowOffset = 0;          // open play: that team-mate's line place from the owner's
  double OffDist = Ruck ? 5.0 : 0.0;    // RelDistance, m
  double OffAngle = Ruck ? 90.0 : 0.0;  // RelHeading, deg
  double KickSpeed = 20.0;       // m/s
  double KickElevation = 45.0;   // deg
  double KickHeading = 90.0;     // deg
};
using TOpenEvent = TEventSpec<false>;
using TRuckEvent = TEventSpec<true>;

// A ruck role: the shirt wanted, where he waits and the head of his sequence.
struct TRuckRole {
  i16 Shirt;
  double X, Z;             // m from the tackle
  i16 Key = 0;             // KeyEventIndex
  double GoTime = 0.0;     // SeqHeadValue, s: his breakdown move starts once the restart delay is below it
  bool Hold = true;        // HoldStartPos
};

// ---------------------------------------------------------------- builder

bool IsKick(i32 type) { return type == 5 || type == 55; }

template <bool Ruck>
void StoreEvent(TActionEvent& e, const TEventSpec<Ruck>& s) {
  e.EventType = s.Type;
  e.EventSubType = s.SubType;
  e.EventCode = s.Code;
  e.ReceiverOffset = s.Side;
  e.Angle = ToF32(s.Angle);
  e.DesSpeed = ToF32(s.DesSpeed);
  e.SpeedFraction = ToF32(s.Factor);
  e.DistOrig = ToF32(s.Dist);
  e.Duration = ToF32(s.Duration);
  e.EndCondition = s.End;
  e.EndLeadX = ToF32(s.LeadX);
  e.EndLeadZ = ToF32(s.LeadZ);
  e.WaitFor = s.WaitFor;
  e.RelMovementOn = Flag(s.Rel);
  e.RelOwnTeam = Flag(s.Rel);  // every reference of a stored move is a team-mate
  e.RelPlayer = s.Follow;
  e.FollowOffset = s.FollowOffset;
  e.RelDistance = ToF32(s.OffDist);
  e.RelHeading = ToF32(s.OffAngle);
  e.KickLaunchSpeed = ToF32(s.KickSpeed);
  e.KickLaunchElevation = ToF32(s.KickElevation);
  e.KickLaunchHeading = ToF32(s.KickHeading);
  e.Deadline = ToF32(kEventDeadline);
  e.Intercept = kTrue32;
}

// A role's whole sequence, written over whatever the role held.
template <bool Ruck>
TActionSeq& StoreSeq(TMove& m, int r, std::initializer_list<TEventSpec<Ruck>> events) {
  TActionSeq& s = m.Seqs[r];
  std::memset(static_cast<void*>(&s), 0, sizeof s);
  s.seqON = kTrue32;
  s.NumEvents = static_cast<i32>(events.size());
  s.CurrEventIndex = 0;
  int k = 1;
  for (const TEventSpec<Ruck>& e : events) StoreEvent(s.EventArray[k++], e);
  return s;
}

void OpenRole(TMove& m, int r, std::initializer_list<TOpenEvent> events, i16 key = 0) {
  m.Shirts[r] = 1;  // any player
  StoreSeq(m, r, events).KeyEventIndex = key;
}

void RuckRole(TMove& m, int r, const TRuckRole& who, std::initializer_list<TRuckEvent> events) {
  m.Shirts[r] = who.Shirt;
  TActionSeq& s = StoreSeq(m, r, events);
  s.HoldStartPos = Flag(who.Hold);
  s.StartX = ToF32(who.X);
  s.StartZ = ToF32(who.Z);
  s.SeqHeadValue = ToF32(who.GoTime);
  s.KeyEventIndex = who.Key;
}

TMove& OpenHead(TMoveTable& T, int n, i16 carrierSlot) {
  TMove& m = T[n];
  m.SimTimeStep = ToF32(kSimTimeStep);
  m.SimDuration = ToF32(kOpenSimDuration);
  m.StopOnGain = kTrue32;
  m.GainLimit = ToF32(kOpenGainLimit);
  m.StopOnTackle = kTrue32;
  m.StopOnFreeBall = kTrue32;
  m.StopOnForcedRun = kTrue32;
  m.PlayKind = -1;
  m.CarrierSlot = carrierSlot;
  m.PickBySupport = kTrue32;
  m.PickInOrder = kFalse32;
  return m;
}

TMove& RuckHead(TMoveTable& T, int n, i16 playKind, i16 carrierSlot = 1) {
  TMove& m = OpenHead(T, n, carrierSlot);
  m.SimDuration = ToF32(kRuckSimDuration);
  m.GainLimit = ToF32(kRuckGainLimit);
  m.StopOnFreeBall = Flag(n < 25 || n > 84);  // kicks from the ruck run on into the free ball
  m.PlayKind = playKind;
  return m;
}

// Move `to` := a byte copy of move `from`.
TMove& CopyMove(TMoveTable& T, int from, int to) {
  std::memcpy(static_cast<void*>(&T[to]), &T[from], sizeof(TMove));
  return T[to];
}

// a -> 180 - a, kept in [0, 360).
f32 MirroredHeading(f32 a) {
  const double m = 180.0 - a;
  return ToF32(m < 0.0 ? m + 360.0 : m);
}

void MirrorHeadings(TActionEvent& e) {
  e.Angle = MirroredHeading(e.Angle);
  if (e.RelPlayer != 0) e.RelHeading = MirroredHeading(e.RelHeading);
  if (IsKick(e.EventType)) e.KickLaunchHeading = MirroredHeading(e.KickLaunchHeading);
}

// Ruck move `to` := move `from` seen in a mirror: every start x negated
// (the scrum-half's kept when keepScrumHalfX) and every heading mirrored.
TMove& MirrorRuckMove(TMoveTable& T, int from, int to, bool keepScrumHalfX) {
  TMove& m = CopyMove(T, from, to);
  for (int r = 1; r <= UsedRoles(m); ++r) {
    TActionSeq& s = m.Seqs[r];
    if (!(keepScrumHalfX && m.Shirts[r] == 9)) s.StartX = -s.StartX;
    for (int k = 1; k <= s.NumEvents; ++k) MirrorHeadings(s.EventArray[k]);
  }
  return m;
}

// Open-play move `to` := the side play `from` turned to the other side: the
// roles in reverse order (the line is laid out by x, so the carrier's role
// moves to the other end), headings mirrored, receiver and reference offsets
// and the lateral margin negated, end condition 11 (carrier left of the
// receiver) becoming 10 (right of him).
TMove& MirrorSidePlay(TMoveTable& T, int from, int to) {
  TMove& m = CopyMove(T, from, to);
  const TMove& src = T[from];
  const int n = UsedRoles(src);
  m.CarrierSlot = static_cast<i16>(n + 1 - src.CarrierSlot);
  for (int r = 1; r <= n; ++r) {
    TActionSeq& s = m.Seqs[r];
    std::memcpy(static_cast<void*>(&s), &src.Seqs[n + 1 - r], sizeof s);
    for (int k = 1; k <= s.NumEvents; ++k) {
      TActionEvent& e = s.EventArray[k];
      MirrorHeadings(e);
      e.ReceiverOffset = -e.ReceiverOffset;
      e.FollowOffset = -e.FollowOffset;
      if (e.EndLeadX != 0.0f) e.EndLeadX = -e.EndLeadX;
      if (e.EndCondition == 11) e.EndCondition = 10;
    }
  }
  return m;
}

// Sets `Angle` of events first..last of role r.
void SetHeadings(TMove& m, int r, int first, std::initializer_list<double> headings) {
  int k = first;
  for (double a : headings) m.Seqs[r].EventArray[k++].Angle = ToF32(a);
}

// ================================================================ open play

// Open-play moves 21-39: side plays towards -x, ours to write. The Part fixes
// their kinds only: two or three roles, the carrier's role last or next to
// last, his script ending in a draw-and-pass (type 2; 15 moves) or a pass
// (type 1; 22, 26, 30, 34) of 5 m at 40 to 90 degrees, the others running one
// to three plain runs with the end conditions listed for the family, a second
// passer in 23, 28 and 37, receiver offsets -1 (next player out) or -2 (the
// one beyond). Authored by these rules and by when the open-move finder opens
// them: 21-23 quick hands against a marker ahead of the carrier; 25-28 support
// lines once he is past his marker (loops, trail runners on a reference
// point); 24 a decoy from the far side; 29-39 longer plays for a slow-closing
// defence and a line break (cut-backs, scissors, skip passes). Runners that
// trail the carrier use the unnamed extras: a reference offset of +1 or -1
// beside the reference player, a lateral margin of -1.75 to 1.0 m on end
// condition 11, a depth margin of +-0.25 m on end condition 7, and a wait for
// the pass (WaitFor 1) on a receiver's run after the catch. Moves 41-59 are
// these turned to +x (MirrorSidePlay); move 48 runs its first role at 0.75 m/s.
void StoreSidePlays(TMoveTable& T) {
  TMove* m = &OpenHead(T, 21, 2);  // written out
  OpenRole(*m, 1, {{.Side = -2, .Angle = 90, .Factor = 1.0, .Dist = 2.0}});
  OpenRole(*m, 2, {{.Type = 2, .Side = -1, .Angle = 65, .Factor = 1.0, .Dist = 5.0}});

  m = &OpenHead(T, 22, 2);
  OpenRole(*m, 1, {{.Side = -2, .Angle = 85, .Dist = 3.0, .End = 3}});
  OpenRole(*m, 2, {{.Type = 1, .Angle = 70, .Dist = 5.0}});

  m = &OpenHead(T, 23, 3);
  OpenRole(*m, 1, {{.Side = -2, .Angle = 80, .Dist = 6.0, .End = 3}});
  OpenRole(*m, 2, {{.Angle = 80, .Dist = 1.5, .End = 3}, {.Type = 2, .Side = -2, .Angle = 70, .Dist = 5.0}});
  OpenRole(*m, 3, {{.Type = 2, .Angle = 65, .Dist = 5.0}});

  m = &OpenHead(T, 24, 1);
  OpenRole(*m, 1, {{.Angle = 55, .Factor = 0.9, .Dist = 4.0, .End = 9}, {.Type = 2, .Angle = 75, .Dist = 5.0}});
  OpenRole(*m, 2, {{.Side = -2, .Angle = 60, .Dist = 8.0, .End = 15}});

  m = &OpenHead(T, 25, 2);
  OpenRole(*m, 1, {{.Side = -2, .Dist = 100.0, .Duration = 10.0, .End = 6, .Rel = true, .Follow = 10,
                    .FollowOffset = 1, .OffDist = 2.0, .OffAngle = 300}});
  OpenRole(*m, 2, {{.Type = 2, .Angle = 80, .Dist = 5.0}});

  m = &OpenHead(T, 26, 2);
  OpenRole(*m, 1, {{.Side = -2, .Angle = 75, .Dist = 4.0, .End = 3}});
  OpenRole(*m, 2, {{.Angle = 60, .Dist = 10.0, .End = 11, .LeadX = -1.75}, {.Type = 1, .Angle = 80, .Dist = 5.0}});

  m = &OpenHead(T, 27, 3);
  OpenRole(*m, 1, {{.Side = -2, .Angle = 90, .Dist = 3.0, .End = 16}});
  OpenRole(*m, 2, {{.Side = -2, .Angle = 85, .Dist = 2.0, .End = 8}, {.Side = -2, .Angle = 70, .Dist = 4.0, .End = 3}});
  OpenRole(*m, 3, {{.Type = 2, .Side = -2, .Angle = 60, .Dist = 5.0}});

  m = &OpenHead(T, 28, 2);
  OpenRole(*m, 1, {{.Side = -2, .Angle = 85, .Dist = 2.0, .End = 3}, {.Type = 2, .Side = -2, .Angle = 70, .Dist = 5.0}});
  OpenRole(*m, 2, {{.Type = 2, .Angle = 75, .Dist = 5.0}});
  OpenRole(*m, 3, {{.Angle = 60, .Dist = 6.0, .End = 8}});

  m = &OpenHead(T, 29, 2);
  OpenRole(*m, 1, {{.Side = -2, .Angle = 70, .Dist = 3.0, .End = 7, .LeadZ = 0.25},
                   {.Side = -2, .Angle = 90, .Dist = 4.0, .WaitFor = 1}});
  OpenRole(*m, 2, {{.Angle = 50, .Dist = 6.0, .End = 11, .LeadX = -1.5}, {.Type = 2, .Angle = 85, .Dist = 5.0}});

  m = &OpenHead(T, 30, 3);
  OpenRole(*m, 1, {{.Side = -2, .Angle = 85, .Dist = 5.0, .End = 16}});
  OpenRole(*m, 2, {{.Side = -2, .Angle = 80, .Dist = 1.5, .End = 15}, {.Side = -2, .Angle = 100, .Dist = 4.0}});
  OpenRole(*m, 3, {{.Type = 1, .Side = -2, .Angle = 60, .Dist = 5.0}});

  m = &OpenHead(T, 31, 2);  // written out
  OpenRole(*m, 1, {{.Side = -2, .Angle = 90, .Dist = 100.0, .Duration = 10.0, .End = 6, .Rel = true, .Follow = 10,
                    .FollowOffset = 1, .OffDist = 1.8, .OffAngle = 225},
                   {.Angle = 115, .Dist = 3.5, .WaitFor = 1}});
  OpenRole(*m, 2, {{.Side = -1, .Angle = 45, .Factor = 0.7, .Dist = 10.0, .End = 11, .LeadX = 1.0},
                   {.Type = 2, .Angle = 90, .Factor = 0.55, .Dist = 5.0}});

  m = &OpenHead(T, 32, 2);
  OpenRole(*m, 1, {{.Side = -2, .Dist = 100.0, .Duration = 10.0, .End = 6, .Rel = true, .Follow = 10,
                    .FollowOffset = 1, .OffDist = 2.5, .OffAngle = 300},
                   {.Side = -2, .Angle = 75, .Dist = 4.0, .WaitFor = 1}});
  OpenRole(*m, 2, {{.Angle = 90, .Factor = 0.8, .Dist = 6.0, .End = 11, .LeadX = -1.0},
                   {.Type = 2, .Angle = 80, .Dist = 5.0}});

  m = &OpenHead(T, 33, 3);
  OpenRole(*m, 1, {{.Side = -2, .Angle = 80, .Dist = 8.0, .End = 9}});
  OpenRole(*m, 2, {{.Angle = 70, .Dist = 2.0, .End = 8}, {.Angle = 90, .Dist = 3.0}});
  OpenRole(*m, 3, {{.Type = 2, .Angle = 55, .Dist = 5.0}});

  m = &OpenHead(T, 34, 2);
  OpenRole(*m, 1, {{.Side = -2, .Angle = 65, .Dist = 4.0, .End = 7, .LeadZ = -0.25},
                   {.Side = -2, .Angle = 90, .Dist = 6.0, .WaitFor = 1}});
  OpenRole(*m, 2, {{.Type = 1, .Angle = 45, .Dist = 5.0}});

  m = &OpenHead(T, 35, 2);
  OpenRole(*m, 1, {{.Side = -2, .Angle = 90, .Dist = 5.0, .End = 3}});
  OpenRole(*m, 2, {{.Angle = 70, .Factor = 0.8, .Dist = 4.0, .End = 11, .LeadX = -0.5},
                   {.Type = 2, .Angle = 85, .Dist = 5.0}});
  OpenRole(*m, 3, {{.Angle = 100, .Dist = 100.0, .Duration = 10.0, .End = 6, .Rel = true, .Follow = 10,
                    .FollowOffset = -1, .OffDist = 2.0, .OffAngle = 240}});

  m = &OpenHead(T, 36, 2);
  OpenRole(*m, 1, {{.Side = -2, .Dist = 100.0, .Duration = 10.0, .End = 6, .Rel = true, .Follow = 10,
                    .FollowOffset = 1, .OffDist = 3.0, .OffAngle = 315}});
  OpenRole(*m, 2, {{.Angle = 75, .Dist = 8.0, .End = 12}, {.Type = 2, .Angle = 80, .Dist = 5.0}});

  m = &OpenHead(T, 37, 3);
  OpenRole(*m, 1, {{.Side = -2, .Angle = 90, .Dist = 5.0, .End = 3}, {.Side = -2, .Angle = 80, .Dist = 5.0, .WaitFor = 1}});
  OpenRole(*m, 2, {{.Angle = 75, .Dist = 3.0, .End = 3}, {.Type = 2, .Side = -2, .Angle = 80, .Dist = 5.0}});
  OpenRole(*m, 3, {{.Type = 2, .Angle = 60, .Dist = 5.0}});

  m = &OpenHead(T, 38, 2);
  OpenRole(*m, 1, {{.Side = -2, .Angle = 60, .Dist = 6.0, .End = 16}, {.Side = -2, .Angle = 90, .Dist = 4.0}});
  OpenRole(*m, 2, {{.Type = 2, .Angle = 50, .Dist = 5.0}});

  m = &OpenHead(T, 39, 3);
  OpenRole(*m, 1, {{.Side = -2, .Angle = 70, .Dist = 3.0}, {.Side = -2, .Angle = 90, .Dist = 5.0, .End = 14}});
  OpenRole(*m, 2, {{.Dist = 100.0, .Duration = 10.0, .End = 6, .Rel = true, .Follow = 10, .FollowOffset = 1,
                    .OffDist = 2.0, .OffAngle = 300}});
  OpenRole(*m, 3, {{.Type = 2, .Side = -2, .Angle = 65, .Dist = 5.0}});

  for (int n = 21; n <= 39; ++n) MirrorSidePlay(T, n, n + 20);
  TMove& m48 = T[48];
  for (int k = 1; k <= m48.Seqs[1].NumEvents; ++k) m48.Seqs[1].EventArray[k].DesSpeed = 0.75f;
}

// Kicks 101-120: angle, speed as 17.0 x F1 x F2 in single precision, elevation.
struct TOpenKick {
  double Angle;
  f32 F1, F2;
  double Elevation;
};
constexpr f32 kKickBaseSpeed = 17.0f;  // m/s
constexpr TOpenKick kOpenKicks[20] = {
    {90, 1.0f, 1.0f, 45},     {90, 0.75f, 1.0f, 45},                                  // 101, 102
    {67.5, 1.2f, 1.0f, 45},   {45, 1.3f, 1.0f, 45},   {67.5, 0.85f, 1.0f, 45},  {45, 0.975f, 1.0f, 45},   // 103-106
    {112.5, 1.2f, 1.0f, 45},  {135, 1.3f, 1.0f, 45},  {112.5, 0.85f, 1.0f, 45}, {135, 0.975f, 1.0f, 45},  // 107-110
    {90, 0.9f, 1.0f, 17.5},   {90, 0.9f, 0.75f, 20},                                  // 111, 112
    {67.5, 0.9f, 1.2f, 17.5}, {45, 0.9f, 1.3f, 17.5}, {67.5, 0.85f, 0.85f, 20}, {45, 0.975f, 0.85f, 20},  // 113-116
    {112.5, 0.9f, 1.2f, 17.5}, {135, 0.9f, 1.3f, 17.5}, {112.5, 0.85f, 0.85f, 20}, {135, 0.975f, 0.85f, 20},  // 117-120
};

void StoreOpenKicks(TMoveTable& T) {
  TMove& head = OpenHead(T, 101, 1);  // written out
  head.SimDuration = ToF32(kOpenKickDuration);
  head.StopOnFreeBall = kFalse32;
  OpenRole(head, 1, {{.Type = 55, .SubType = 3, .Side = -1, .Angle = 90, .DesSpeed = 10.0, .Factor = 0.9,
                      .Dist = 25.0, .KickSpeed = 17.0, .KickElevation = 45.0, .KickHeading = 90}});
  for (int n = 102; n <= 120; ++n) {
    const TOpenKick& k = kOpenKicks[n - 101];
    TActionEvent& e = CopyMove(T, 101, n).Seqs[1].EventArray[1];
    e.EventSubType = n <= 110 ? 3 : 2;
    e.Angle = ToF32(k.Angle);
    e.KickLaunchHeading = e.Angle;
    const f32 speed = kKickBaseSpeed * k.F1 * k.F2;  // single precision, as stored
    e.KickLaunchSpeed = speed;
    e.KickLaunchElevation = ToF32(k.Elevation);
  }
}

void StoreOpenPlay(TMoveTable& T) {
  // 1-10: the carrier runs 25 m on one heading.
  OpenRole(OpenHead(T, 1, 1), 1, {{.Angle = 90, .Factor = 1.0, .Dist = 25.0}});
  CopyMove(T, 1, 2).Seqs[1].EventArray[1].SpeedFraction = 0.75f;
  const double runHeadings[8] = {77.5, 65, 52.5, 40, 102.5, 115, 127.5, 140};
  for (int n = 3; n <= 10; ++n) {
    TActionEvent& e = CopyMove(T, 1, n).Seqs[1].EventArray[1];
    e.Angle = ToF32(runHeadings[n - 3]);
    e.EndCondition = 9;
  }

  // 11-14: five legs of 2 m.
  TMove& m11 = OpenHead(T, 11, 1);
  OpenRole(m11, 1, {{.Angle = 46.25, .Dist = 2.0, .End = 9}, {.Angle = 52.5, .Dist = 2.0, .End = 9},
                    {.Angle = 65, .Dist = 2.0, .End = 9}, {.Angle = 77.5, .Dist = 2.0, .End = 9},
                    {.Angle = 90, .Dist = 2.0, .End = 9}});
  SetHeadings(CopyMove(T, 11, 12), 1, 1, {133.75, 127.5, 115, 102.5, 90});
  for (int n = 13; n <= 14; ++n) {
    TMove& m = CopyMove(T, 11, n);
    SetHeadings(m, 1, 1, n == 13 ? std::initializer_list<double>{77.5, 65, 52.5, 65, 90}
                                 : std::initializer_list<double>{102.5, 115, 127.5, 115, 90});
    for (int k = 1; k <= 5; ++k) m.Seqs[1].EventArray[k].EndCondition = 0;
  }

  // 15, 16: a dive to ground the ball.
  OpenRole(OpenHead(T, 15, 1), 1, {{.Type = 7, .Angle = 3, .Dist = 2.0}});
  CopyMove(T, 15, 16).Seqs[1].EventArray[1].Angle = 177.0f;

  StoreSidePlays(T);

  // 61-68: a step in, a side-step of kind 1 to 4, then 15 m.
  OpenRole(OpenHead(T, 61, 1), 1, {{.Angle = 90, .Factor = 0.85, .Dist = 0.5},
                                   {.Type = 9, .Code = 1, .Angle = 90, .Dist = 0.5},
                                   {.Angle = 65, .Dist = 15.0}});
  const double stepHeadings[8][2] = {{90, 65}, {90, 115}, {65, 40}, {65, 90}, {115, 90}, {115, 140}, {90, 65}, {90, 115}};
  const i32 stepKinds[8] = {1, 2, 1, 2, 1, 2, 3, 4};
  for (int n = 62; n <= 68; ++n) {
    const int from = n >= 67 ? n - 6 : 61;  // 67 and 68 come from 61 and 62
    TMove& m = CopyMove(T, from, n);
    const double* h = stepHeadings[n - 61];
    SetHeadings(m, 1, 1, {h[0], h[0], h[1]});
    m.Seqs[1].EventArray[2].EventCode = stepKinds[n - 61];
  }

  // 71, 72: a dummy pass, then 15 m upfield.
  OpenRole(OpenHead(T, 71, 1), 1, {{.Type = 4, .Angle = 65, .Factor = 0.75, .Dist = 5.0}, {.Angle = 90, .Dist = 15.0}});
  TActionEvent& dummy72 = CopyMove(T, 71, 72).Seqs[1].EventArray[1];
  dummy72.Angle = 115.0f;
  dummy72.ReceiverOffset = 1;

  // 81-83: a break of the tackle, then 15 m; 10 / 6.5 s of running.
  TMove& m81 = OpenHead(T, 81, 1);
  m81.SimDuration = 10.0f / 6.5f;
  m81.StopOnForcedRun = kFalse32;
  OpenRole(m81, 1, {{.Type = 11, .Angle = 90, .Dist = 0.5}, {.Angle = 90, .Dist = 15.0}});
  SetHeadings(CopyMove(T, 81, 82), 1, 1, {65, 65});
  SetHeadings(CopyMove(T, 81, 83), 1, 1, {115, 115});

  // 91-98: offloads from the tackle.
  TMove& m91 = OpenHead(T, 91, 1);
  m91.StopOnTackle = kFalse32;
  m91.StopOnForcedRun = kFalse32;
  OpenRole(m91, 1, {{.Angle = 65, .Dist = -0.5, .Duration = 0.35, .Follow = 10, .OffDist = 2.5, .OffAngle = 300},
                    {.Type = 12, .Side = -1, .Angle = 65, .Dist = 5.0, .Follow = 10, .OffDist = 2.0, .OffAngle = 340}});
  const i32 offloadSides[8] = {-1, -2, -1, -2, 1, 2, 1, 2};
  for (int n = 92; n <= 98; ++n) {
    TActionSeq& s = CopyMove(T, 91, n).Seqs[1];
    if (n == 93 || n == 94 || n == 97 || n == 98) s.EventArray[1].Duration = 0.5f;
    s.EventArray[2].ReceiverOffset = offloadSides[n - 91];
  }

  StoreOpenKicks(T);

  // 127, 128: a pass wide at a flat angle with a support runner.
  TMove& m127 = OpenHead(T, 127, 2);
  OpenRole(m127, 1, {{.Side = -2, .Angle = 90, .Factor = 0.75, .Dist = 2.0}});
  OpenRole(m127, 2, {{.Type = 1, .Side = -1, .Angle = 30, .DesSpeed = 0.3, .Dist = 5.0}});
  TMove& m128 = MirrorSidePlay(T, 127, 128);
  m128.Seqs[1].EventArray[1].DesSpeed = 10.0f;

  // 129, 130: five legs of 2.5 m bending upfield.
  OpenRole(OpenHead(T, 129, 1), 1, {{.Angle = 20, .Dist = 2.5}, {.Angle = 30, .Dist = 2.5}, {.Angle = 50, .Dist = 2.5},
                                    {.Angle = 60, .Dist = 2.5}, {.Angle = 70, .Dist = 2.5}});
  SetHeadings(CopyMove(T, 129, 130), 1, 1, {160, 150, 130, 120, 110});

  // 131, 132: high kicks.
  TMove& m131 = OpenHead(T, 131, 1);
  m131.SimDuration = ToF32(kOpenKickDuration);
  m131.StopOnFreeBall = kFalse32;
  OpenRole(m131, 1, {{.Type = 55, .SubType = 4, .Code = 3, .Factor = 0.35, .Dist = 25.0, .KickSpeed = 25.0,
                      .KickElevation = 62.5}});
  CopyMove(T, 131, 132).Seqs[1].EventArray[1].EventSubType = 3;

  // 141, 142: kicks with their key event.
  OpenRole(OpenHead(T, 141, 1), 1, {{.Type = 55, .Code = 1, .Factor = 0.4, .Dist = 25.0, .KickSpeed = 28.0,
                                     .KickElevation = 60.0}}, 2);
  CopyMove(T, 141, 142).Seqs[1].EventArray[1].EventCode = 2;
}

// ================================================================ ruck

void ScrumHalfPass(TMove& m, int r, i16 receiver, double heading = 90) {
  RuckRole(m, r, {.Shirt = 9, .X = kScrumHalfX, .Z = kScrumHalfZ},
           {{.Type = 1, .SubType = receiver, .Angle = heading, .Dist = receiver == 12 ? kPassDistTo12 : kPassDistTo10}});
}

// 1-24, 89-92: the scrum-half passes to 10 or 12, who runs or kicks.
void StoreRuckPasses(TMoveTable& T) {
  TMove* m = &RuckHead(T, 1, 2);  // written out
  ScrumHalfPass(*m, 1, 10);
  RuckRole(*m, 2, {.Shirt = 10, .X = -6.93, .Z = -8.5, .Key = 2},
           {{.Angle = 59, .DesSpeed = 2.5, .Dist = 0.75}, {.Angle = 46, .DesSpeed = 10.0, .Dist = 4.5}});
  m = &RuckHead(T, 3, 2);
  ScrumHalfPass(*m, 1, 12);
  RuckRole(*m, 2, {.Shirt = 12, .X = -6.97, .Z = -8.69, .Key = 2},
           {{.Angle = 47, .DesSpeed = 2.5, .Dist = 0.75}, {.Angle = 47, .Dist = 4.5}});

  // 5-8: the scrum-half feeds a forward and follows him.
  for (int n : {5, 7}) {
    const bool eight = n == 5;
    m = &RuckHead(T, n, 1, 2);
    if (eight) {
      RuckRole(*m, 1, {.Shirt = 8, .X = -2.7, .Z = -6.25, .Key = 2, .GoTime = 0.55},
               {{.Angle = 70, .DesSpeed = 7.0, .Dist = 1.5}, {.Angle = 80, .DesSpeed = 7.0, .Dist = 2.75}});
    } else {
      RuckRole(*m, 1, {.Shirt = 2, .X = -3.46, .Z = -4.31, .Key = 2},
               {{.Angle = 80, .DesSpeed = 7.0, .Dist = 1.88}, {.Angle = 90, .DesSpeed = 10.0, .Dist = 4.5}});
    }
    const i16 forward = eight ? 8 : 2;
    RuckRole(*m, 2, {.Shirt = 9, .X = kScrumHalfX, .Z = kScrumHalfZ},
             {{.Type = 1, .SubType = forward, .Angle = 61, .DesSpeed = 3.0, .Dist = 0.0},
              {.Dist = 4.5, .Duration = 100.0, .End = 1, .Rel = true, .Follow = forward, .OffDist = 2.0,
               .OffAngle = eight ? 198.0 : 310.0}});
  }

  // 9-16: the receiver kicks (kinds 3 and 4: variants 1 and 2).
  m = &RuckHead(T, 9, 3);
  ScrumHalfPass(*m, 1, 10);
  RuckRole(*m, 2, {.Shirt = 10, .X = -8.56, .Z = -10.76},
           {{.Type = 5, .SubType = 1, .Code = 1, .Angle = 47, .DesSpeed = 2.0, .Dist = 1.0},
            {.Angle = 47, .DesSpeed = 3.0, .Dist = 2.13}});
  m = &RuckHead(T, 11, 3);
  ScrumHalfPass(*m, 1, 12);
  RuckRole(*m, 2, {.Shirt = 12, .X = -9.95, .Z = -11.46},
           {{.Type = 5, .SubType = 1, .Code = 1, .Angle = 47, .DesSpeed = 2.0, .Dist = 1.0},
            {.Angle = 47, .DesSpeed = 3.5, .Dist = 2.5}});
  for (int n : {13, 15}) {
    TMove& c = CopyMove(T, n - 4, n);
    c.PlayKind = 4;
    c.Seqs[2].EventArray[1].EventCode = 2;
  }

  // 17-24: drop goals from four spots.
  struct TDropSpot { int Move; i16 Shirt; double X, Z; };
  const TDropSpot drops[4] = {{17, 10, -8.47, -12.34}, {19, 10, -3.04, -12.96}, {21, 12, -10.08, -12.99}, {23, 12, -3.91, -15.7}};
  for (const TDropSpot& d : drops) {
    const bool ten = d.Shirt == 10;
    m = &RuckHead(T, d.Move, 6);
    ScrumHalfPass(*m, 1, d.Shirt);
    RuckRole(*m, 2, {.Shirt = d.Shirt, .X = d.X, .Z = d.Z},
             {{.Type = 5, .SubType = 5, .Code = 4, .Angle = 47, .DesSpeed = 2.0, .Dist = 1.0},
              {.Angle = 91, .DesSpeed = ten ? 0.8 : 2.0, .Dist = ten ? 2.0 : 2.5}});
  }

  // 89-92: kinds 3 and 4 with the receiver standing flatter.
  for (int n : {89, 91}) {
    TActionSeq& s = CopyMove(T, n == 89 ? 9 : 13, n).Seqs[2];
    s.StartX = -8.56f;
    s.StartZ = -7.0f;
  }
  for (int n : {1, 3, 5, 7, 9, 11, 13, 15, 17, 19, 21, 23, 89, 91}) MirrorRuckMove(T, n, n + 1, false);
  T[6].Seqs[1].EventArray[1].Angle = 95.0f;  // number 8 goes straighter than the mirror of 70
}

// Kicks 25-84 from the ruck, odd moves (the even move mirrors its odd one).
struct TRuckKick {
  int Move;
  i16 Kicker;  // 10, or 12 after 10's pass
  double Angle, Speed, Elevation;
};
constexpr TRuckKick kRuckKicks[30] = {
    {25, 10, 67.5, 12.5, 38},  {27, 10, 60, 13.75, 38},   {29, 10, 45, 15.0, 38},    {31, 10, 30, 18.0, 40},
    {33, 12, 65, 12.5, 40},    {35, 12, 53, 14.5, 40},    {37, 12, 35, 17.0, 40},    {39, 12, 20, 20.0, 43},
    {41, 10, 67.5, 17.5, 57},  {43, 10, 60, 17.75, 57},   {45, 10, 45, 19.0, 57},    {47, 10, 30, 22.0, 59},
    {49, 12, 65, 17.5, 59},    {51, 12, 53, 17.5, 59},    {53, 12, 35, 20.0, 55},    {55, 12, 20, 23.0, 51},
    {57, 10, 67.5, 12.25, 23}, {59, 10, 60, 13.5, 18},    {61, 10, 45, 14.75, 18},   {63, 10, 30, 17.75, 20},
    {65, 12, 65, 12.25, 20},   {67, 12, 53, 13.75, 20},   {69, 12, 35, 16.25, 20},   {71, 12, 20, 20.0, 18},
    {73, 10, 25, 23.0, 40},    {75, 10, 22.5, 25.0, 40},  {77, 12, 20, 23.0, 42},    {79, 12, 20, 25.0, 42},
    {81, 10, 25, 25.0, 40},    {83, 10, 22.5, 28.0, 38},
};

// Kick kind by move: 3 in 25-40, 4 in 41-56, 2 in 57-72, 1 in 73-84.
i32 RuckKickKind(int n) { return n <= 40 ? 3 : n <= 56 ? 4 : n <= 72 ? 2 : 1; }

void StoreRuckKicks(TMoveTable& T) {
  TMove* m = &RuckHead(T, 25, 5);  // written out
  ScrumHalfPass(*m, 1, 10);
  RuckRole(*m, 2, {.Shirt = 10, .X = kKicker10X, .Z = kKicker10Z},
           {{.Type = 55, .SubType = 3, .Angle = 67.5, .DesSpeed = 2.5, .Dist = 100.0, .KickSpeed = 12.5,
             .KickElevation = 38.0, .KickHeading = 67.5}});
  m = &RuckHead(T, 33, 5);
  ScrumHalfPass(*m, 1, 10);
  RuckRole(*m, 2, {.Shirt = 10, .X = kKicker10X, .Z = kPasser10Z},
           {{.Type = 1, .SubType = 12, .Angle = 50, .Dist = kPassDistTo10}});
  RuckRole(*m, 3, {.Shirt = 12, .X = kKicker12X, .Z = kKicker12Z},
           {{.Type = 55, .SubType = 3, .Angle = 65, .DesSpeed = 4.5, .Dist = 100.0, .KickSpeed = 12.5,
             .KickElevation = 40.0, .KickHeading = 65}});

  const f32 wideKickerX = static_cast<f32>(-kKicker10X) * 1.4f;  // single precision: 9.464 m
  for (const TRuckKick& k : kRuckKicks) {
    const bool ten = k.Kicker == 10;
    const int head = ten ? 25 : 33;
    TMove& c = k.Move == head ? T[head] : CopyMove(T, head, k.Move);
    TActionSeq& kicker = c.Seqs[ten ? 2 : 3];
    TActionEvent& e = kicker.EventArray[1];
    e.EventSubType = RuckKickKind(k.Move);
    e.Angle = ToF32(k.Angle);
    e.KickLaunchHeading = e.Angle;
    e.KickLaunchSpeed = ToF32(k.Speed);
    e.KickLaunchElevation = ToF32(k.Elevation);
    if (k.Move >= 81) kicker.StartX = wideKickerX;  // on the side away from his kick
    MirrorRuckMove(T, k.Move, k.Move + 1, true);
  }
}

void StoreRuckOthers(TMoveTable& T) {
  // 85-88: a chip across the ruck by 10 standing on the far side.
  TMove& m85 = RuckHead(T, 85, 7);
  ScrumHalfPass(m85, 1, 10, 170);
  RuckRole(m85, 2, {.Shirt = 10, .X = 8.47, .Z = -12.34},
           {{.Type = 5, .SubType = 1, .Code = 5, .Angle = 175, .DesSpeed = 3.0, .Dist = 1.0, .KickSpeed = 30.0,
             .KickElevation = 45.0, .KickHeading = 175},
            {.Angle = 175, .DesSpeed = 0.8, .Dist = 2.0}});
  TActionSeq& s87 = CopyMove(T, 85, 87).Seqs[2];
  SetHeadings(T[87], 2, 1, {5, 5});
  s87.EventArray[1].KickLaunchHeading = 5.0f;
  MirrorRuckMove(T, 85, 86, true);
  MirrorRuckMove(T, 87, 88, true);

  // 95: two forwards off the ruck; the scrum-half feeds 5 and follows him.
  TMove& m95 = RuckHead(T, 95, 1, 3);
  RuckRole(m95, 1, {.Shirt = 5, .X = -3.5, .Z = -6.5, .Key = 2, .GoTime = 0.4},
           {{.Angle = 75, .DesSpeed = 7.0, .Dist = 1.5}, {.Angle = 80, .DesSpeed = 10.0, .Dist = 2.75}});
  RuckRole(m95, 2, {.Shirt = 8, .X = -2.7, .Z = -6.25, .Key = 2, .GoTime = 0.55},
           {{.Angle = 70, .DesSpeed = 7.0, .Dist = 1.5}, {.Angle = 80, .DesSpeed = 7.0, .Dist = 2.75}});
  RuckRole(m95, 3, {.Shirt = 9, .X = kScrumHalfX, .Z = kScrumHalfZ},
           {{.Type = 1, .SubType = 5, .Angle = 61, .DesSpeed = 3.0, .Dist = 0.0},
            {.Dist = 4.5, .Duration = 100.0, .End = 1, .Rel = true, .Follow = 5, .OffDist = 2.0, .OffAngle = 198}});

  // 97-100: the scrum-half runs across and feeds 8 coming onto the ball.
  TMove& m97 = RuckHead(T, 97, 1);
  RuckRole(m97, 1, {.Shirt = 9, .X = kScrumHalfX, .Z = kScrumHalfZ, .Hold = false},
           {{.Angle = 190, .Dist = 4.5}, {.Type = 1, .SubType = 8, .Angle = 80, .DesSpeed = 5.0, .Dist = 100.0}});
  RuckRole(m97, 2, {.Shirt = 8, .X = 3.75, .Z = -8.25},
           {{.Angle = 90, .DesSpeed = 4.05, .Dist = 3.5},
            {.Angle = 90, .Dist = 7.5, .Duration = 100.0, .End = 1, .Rel = true, .Follow = 8, .OffDist = 2.0,
             .OffAngle = 198}});
  TMove& m99 = CopyMove(T, 97, 99);
  m99.Seqs[1].EventArray[2].Angle = 110.0f;
  m99.Seqs[2].StartX = 7.5f;
  MirrorRuckMove(T, 97, 98, true);
  MirrorRuckMove(T, 99, 100, true).Seqs[1].EventArray[2].Angle = 80.0f;  // not the mirror of 110

  // 101, 102: the scrum-half kicks himself (kinds 3 and 4).
  RuckRole(RuckHead(T, 101, 3), 1, {.Shirt = 9, .X = kScrumHalfX, .Z = kScrumHalfZ},
           {{.Type = 5, .SubType = 8, .Code = 1, .Angle = 90, .DesSpeed = 10.0, .Dist = 6.25}});
  TMove& m102 = CopyMove(T, 101, 102);
  m102.PlayKind = 4;
  m102.Seqs[1].EventArray[1].EventCode = 2;
}

}  // namespace

void StoreRuckMoves(TMoveTable& T) {
  StoreRuckPasses(T);
  StoreRuckKicks(T);
  StoreRuckOthers(T);
}

void StoreOpenPlayMoves(TMoveTable& T) { StoreOpenPlay(T); }
