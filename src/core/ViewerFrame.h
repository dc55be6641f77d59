// The frame summary handed to the viewer's window: a fixed wire layout of
// 1,889 bytes, packed and little-endian, that the viewer program reads byte
// for byte. Positions are in the engine's pitch frame scaled by 50. Besides
// the sender, the viewer-command path reads its game state, pass receivers
// and kick flag.
#pragma once

#include <bit>
#include <cstddef>

#include "core/Arrays.h"

static_assert(std::endian::native == std::endian::little, "the summary is written in memory order");

#pragma pack(push, 1)

struct TViewerVec3 {
  f32 x, y, z;
};

// One player; entries beyond the players per team are not written.
struct TViewerPlayer {
  TViewerVec3 Pos;  // x 50
  f32 Heading;      // degrees
  u8 AnimLength;    // currentAnim as a length byte and up to 30 characters
  char AnimName[30];
  u8 Unwritten;
  f32 currentframe;
  bool32 AnimLoop;
};

// One human user: the player he controls.
struct TViewerUser {
  i16 Player;  // 0 = none; cleared at each send
  i16 Unwritten;
  bool32 MatchTeam1;  // the player belongs to match team 1; not cleared
};

// A match message as the match store holds it, behind a leading word.
struct TViewerMessage {
  i32 Lead;  // 0
  i32 teamID;
  i32 playerID;
  f32 time;
  u8 message;  // kViewerEmptyMessage in an empty entry
  u8 Stored[3];
  f32 extravalue;
};

struct TViewerFrame {
  i32 Head;       // 0, written at each send
  i32 StartWord;  // 0, set at start-up only
  f32 RecordClock;
  f32 clock;
  i16 Score1;  // block 1 (the side in possession), low 16 bits
  i16 Score2;
  u8 gamestate;
  f32 PointOfInterestX;  // x 50
  f32 PointOfInterestZ;
  i16 BallPlayer;  // carrier in running, receiver in passing, else 0
  bool32 Team1InFirstBlock;
  bool32 BallAttached;
  i16 LastKnownHasBall;
  TViewerVec3 BallPos;     // x 50
  TViewerVec3 BallAngles;  // spin, yaw, pitch, radians
  Arr1<TViewerPlayer, 15> Block1;
  Arr1<TViewerPlayer, 15> Block2;
  i16 PassReceivers[4];  // receivers 1..4 at [0..3]; block-1 numbers, 0 = none
  Arr1<TViewerUser, 4> Users;
  bool32 UserHasCarrier;
  bool32 KickInProgress;  // 0
  bool32 StatusWord2;     // 0
  f32 KickSpeed;
  f32 CarrierMaxKickSpeed;
  f32 KickHeading;
  bool32 FirstSecond;  // -1 while the world's ElapsedTime is below 1 s
  bool32 StatusWord3;  // 0
  Arr1<TViewerMessage, 3> Messages;
};

#pragma pack(pop)

constexpr u8 kViewerEmptyMessage = 193;
constexpr int kViewerPlayerEntries = 15;

static_assert(sizeof(TViewerPlayer) == 56);
static_assert(offsetof(TViewerPlayer, Heading) == 12);
static_assert(offsetof(TViewerPlayer, AnimLength) == 16);
static_assert(offsetof(TViewerPlayer, Unwritten) == 47);
static_assert(offsetof(TViewerPlayer, currentframe) == 48);
static_assert(offsetof(TViewerPlayer, AnimLoop) == 52);
static_assert(sizeof(TViewerUser) == 8);
static_assert(offsetof(TViewerUser, MatchTeam1) == 4);
static_assert(sizeof(TViewerMessage) == 24);
static_assert(offsetof(TViewerMessage, message) == 16);
static_assert(offsetof(TViewerMessage, extravalue) == 20);
static_assert(offsetof(TViewerFrame, StartWord) == 4);
static_assert(offsetof(TViewerFrame, RecordClock) == 8);
static_assert(offsetof(TViewerFrame, clock) == 12);
static_assert(offsetof(TViewerFrame, Score1) == 16);
static_assert(offsetof(TViewerFrame, Score2) == 18);
static_assert(offsetof(TViewerFrame, gamestate) == 20);
static_assert(offsetof(TViewerFrame, PointOfInterestX) == 21);
static_assert(offsetof(TViewerFrame, PointOfInterestZ) == 25);
static_assert(offsetof(TViewerFrame, BallPlayer) == 29);
static_assert(offsetof(TViewerFrame, Team1InFirstBlock) == 31);
static_assert(offsetof(TViewerFrame, BallAttached) == 35);
static_assert(offsetof(TViewerFrame, LastKnownHasBall) == 39);
static_assert(offsetof(TViewerFrame, BallPos) == 41);
static_assert(offsetof(TViewerFrame, BallAngles) == 53);
static_assert(offsetof(TViewerFrame, Block1) == 65);
static_assert(offsetof(TViewerFrame, Block2) == 905);
static_assert(offsetof(TViewerFrame, PassReceivers) == 1745);
static_assert(offsetof(TViewerFrame, Users) == 1753);
static_assert(offsetof(TViewerFrame, UserHasCarrier) == 1785);
static_assert(offsetof(TViewerFrame, KickInProgress) == 1789);
static_assert(offsetof(TViewerFrame, StatusWord2) == 1793);
static_assert(offsetof(TViewerFrame, KickSpeed) == 1797);
static_assert(offsetof(TViewerFrame, CarrierMaxKickSpeed) == 1801);
static_assert(offsetof(TViewerFrame, KickHeading) == 1805);
static_assert(offsetof(TViewerFrame, FirstSecond) == 1809);
static_assert(offsetof(TViewerFrame, StatusWord3) == 1813);
static_assert(offsetof(TViewerFrame, Messages) == 1817);
static_assert(sizeof(TViewerFrame) == 1889);

// The one summary record and the tag its hand-over carries.
extern TViewerFrame ViewerFrame;
extern u8 ViewerDataKind;
