// The world record and the records embedded in it: the one shared state of a
// match. Every frame step takes a TWorld as its only argument; the look-ahead
// copies the whole record, so everything here is plain, fixed-size and
// trivially copyable (checked at the end of this file).
//
// Fields are grouped by owner. A subsystem that needs working fields of its
// own adds them to the group of its owner, so that copies and the exchange
// of team blocks carry them along.
#pragma once

#include <type_traits>

#include "core/Arrays.h"

struct TVector2 {
  f32 x, z;
};

struct TVector3 {
  f32 x, y, z;
};

// Where a runner will be (PredictRunPosition): x, z in m, the speed reached
// in m/s and the heading of the run in degrees.
struct TRunPrediction {
  f32 x, z;
  f32 speed;
  f32 heading;
};

// A parameter drawn from a clamped normal distribution; `value` holds the
// current draw.
struct TDistribution {
  f32 value;
  f32 mean, sd, min, max;
  bool32 useMin, useMax;
};

// Sets a distribution's parameters with both clamps on; its draw stays.
inline void SetDistribution(TDistribution& d, double mean, double sd, double min, double max) {
  d.mean = static_cast<f32>(mean);
  d.sd = static_cast<f32>(sd);
  d.min = static_cast<f32>(min);
  d.max = static_cast<f32>(max);
  d.useMin = kTrue32;
  d.useMax = kTrue32;
}

// ---------------------------------------------------------------- game state
using TGameState = u8;
enum : TGameState {
  gsUserInterface = 0,
  gsRunning = 1,
  gsPassing = 2,
  gsGotTackled = 3,
  gsFreeBall = 4,
  gsMaul = 5,
  gsUnnamed6 = 6,
  gsScrum = 7,
  gsKickRestartSet = 8,
  gsLineout = 9,
  gsTryScored = 10,
  gsReplaying = 11,
  gsTransition = 12,
  gsAnimSeqEditor = 13,
  gsLeagueChamps = 14,
  gsMisc01 = 15,
  gsMisc10 = 24,
  gsHuddle = 25,
};

// Name of a game state as the state dump prints it; "unspecified" for 6 and
// anything above 25.
const char* GameStateName(TGameState s);

// ---------------------------------------------------------------- messages
// One match message. Steps post it into the world's queue (PostMessage); the
// statistics step moves it into the match store's message list.
struct TMatchMessage {
  i32 teamID;    // `teamid` of the team concerned at posting time
  i32 playerID;  // `id` of the player concerned; 0 for a team message
  f32 time;      // s, the recording clock when posted
  u8 message;    // a TMessageType code
  f32 extravalue;  // meaning by type (s, m, points, shirt number, kind); else 0
};

// The codes of TMatchMessage.message. The statistics files take their column
// names from these meanings. Other codes may occur; readers only copy them.
enum TMessageType : u8 {
  msgCarryEnd = 0,          // a carry ends (tackle, pass, kick)
  msgPass = 1,
  msgOffload = 2,
  msgGenPlayKick = 3,       // general-play kick
  msgPenGoalAttempt = 4,
  msgPenGoal = 5,           // 3 points
  msgDropGoalAttempt = 6,
  msgDropGoal = 7,          // 3 points
  msgConvAttempt = 8,
  msgConversion = 9,        // 2 points
  msgTackle = 14,
  msgMissedTackle = 15,
  msgTackleBreak = 16,
  msgLineBreak = 17,        // carrier 2.5 m beyond the gain line
  msgTry = 18,              // 5 points
  msgAttackingRuck = 19,    // team
  msgTurnover = 20,
  msgPenHoldingOn = 21,
  msgPenOffside = 22,
  msgPenDangerousTackle = 23,
  msgPenNotRollingAway = 24,
  msgPenMisconduct = 25,
  msgPenObstruction = 26,
  msgPenHandsInRuck = 27,
  msgHandlingError = 28,
  msgMark = 29,
  msgLineoutThrow = 30,
  msgLineoutNotStraight = 31,
  msgLineoutWon = 32,
  msgLineoutStolen = 33,    // won against the throw
  msgScrumFeed = 34,
  msgScrumWon = 35,
  msgSubstitution = 36,
  msgForwardPass = 37,
  msgYellowCard = 38,
  msgRedCard = 39,
  msgPossessionTime = 40,   // team: extravalue = timeinpossession, s
  msgOwnHalfTime = 41,      // team: extravalue = timeinownhalf, s
  msgRedZoneTime = 42,      // team: extravalue = redzonetime, s
  msgRunningMetres = 43,    // extravalue = the player's running metres so far
  msgHitUp = 44,
  msgInjury = 45,
  msgMaul = 46,             // team
  msgMaulMetres = 47,       // team: extravalue = maul metres
  msgTimePlayed = 48,       // extravalue = the player's TimeOnField, s
  msgPlayerOn = 49,         // extravalue = the shirt number taken
  msgPlayerOff = 50,        // extravalue = the same shirt number
  msgHalfLength = 54,       // posted at start: extravalue = halflength, s
  msgPlayersPerTeam = 55,   // posted at start: extravalue = players per team
  msgAdvantage = 57,        // extravalue = infringement kind
  msgAdvantageOver = 58,    // extravalue = its infringement kind
  msgTackleImpact = 59,
  msgPostHit = 61,          // the ball hit a post
  msgBallBounce = 63,
  msgAdvantageBothSides = 65,
  msgPressureKick = 69,     // goal attempt while trailing by 0 to 3 points
  msgKickTaken = 70,
  msgCarryStart = 72,       // a player becomes the ball carrier
  msgInterception = 80,
  msgRuckJoined = 82,       // extravalue = arrival order
  msgScrumEngage = 85,
  msgLeagueChampions = 91,  // team of block 1, player 0
  msgBallDeadInGoal = 92,   // also a knock-on at or beyond the goal line
  msgTryAssist = 95,
  msgTightheadWon = 96,     // scrum won against the feed
  msgDefenderBeaten = 97,
  msgLineoutJump = 98,      // extravalue 1.0 block 1, 2.0 block 2
  msgLineoutCleanTake = 99,
  msgLineoutHandlingError = 100,
  msgLineoutHitJumper = 101,
  msgScrumPenalty = 102,
  msgPassHitTarget = 103,
  msgInterceptThrown = 104, // the passer
  msgTackleAssist = 105,
  msgLineBreak2 = 106,      // 9.5 m beyond the gain line
  msgLineBreak3 = 107,      // 23.5 m
  msgLineBreak4 = 108,      // 51.5 m
  msgTurnoverConceded = 109,
  msgPenaltyForced = 110,
};

// ---------------------------------------------------------------- set-piece helpers
// 201 slots across the pitch, slot 101 the centre: 0 free, 100 the mark,
// else a player number of a team block.
struct TSlotLine {
  Arr1<i16, 201> Slots;

  i16& operator[](int k) { return Slots[k]; }
  const i16& operator[](int k) const { return Slots[k]; }
};

// 25 packed player references; 0 marks an empty place.
struct TPlayerList {
  Arr1<i16, 25> Items;

  i16& operator[](int k) { return Items[k]; }
  const i16& operator[](int k) const { return Items[k]; }
};

// A set-piece layout of a breakdown or pack: two groups of ten spots, each
// spot an occupant (player number, 0 = free) and a position, with the
// working words of the set-piece handlers around them. Group A holds the
// players on their way in, group B the players bound in the pack.
struct TSpotTable {
  bool32 BoundFirst;         // this side bound first
  i32 FirstBinder;           // its first binder
  f32 TimeSinceFirstBind;    // s
  i32 SpotWord3, SpotWord4;  // set-piece working words
  i32 BoundCount;            // players who have joined
  f32 Depth;                 // m
  i32 SpotWord7;
  Arr1<i32, 10> OccupantA;      // arriving players
  Arr1<TVector2, 10> OffsetA;   // offsets of the arrival spots
  Arr1<TVector2, 10> PosA;      // points they run to
  Arr1<i32, 10> OccupantB;      // bound players
  Arr1<TVector2, 10> OffsetB;   // offsets of the bound spots
  Arr1<TVector2, 10> PosB;      // positions of the bound spots
  Arr1<f32, 10> ReleaseDelay;   // s, per bound spot
  f32 RefillTimer;              // s, front-spot refill of a maul
  Arr1<i32, 2> SpotTail;
};

// The side's ordered attacking line: entries in line order with their
// offsets from the line's reference and their absolute positions and bounds.
// `Count` is the word also known as the block's slot-line count.
struct TLineList {
  i16 Head;  // not used by the line procedures
  i16 Count;  // 0 .. 15
  f32 MinPos, MaxPos;
  f32 Spacing;
  Arr1<i16, 15> Ids;
  Arr1<f32, 15> Offset;
  Arr1<f32, 15> Pos;
  Arr1<f32, 15> Low, High;
  Arr1<bool32, 15> Flag;  // widens the bounds where the gap exceeds Spacing
};

// Launch of a pass or throw: velocity, where the ball ends up, flight time.
struct TPassLaunch {
  f32 vx, vy, vz;  // m/s
  f32 x, y, z;     // m
  f32 T;           // s
};

// A candidate throw ahead of a runner, and the table that ThrowTargetsAlongRun
// fills: a head that the choosing code keeps, then entries packed from 1.
struct TThrowTarget {
  f32 vx, vy, vz;  // launch velocity, m/s
  f32 x, y, z;     // target, m
  f32 Time;        // s
  bool32 Valid;
};

struct TThrowTargetTable {
  i16 Chosen, FirstChosen, CheckLimit, CheckedCount;
  f32 RiskScore, BestRiskScore;
  Arr1<TThrowTarget, 100> Entries;
};

// The support-spot grid of a side: rows and columns 1..side (side at most
// kSupportGridMax), row 1 nearest the ball.
constexpr int kSupportGridMax = 15;
template <class T>
using TSupportGrid = Arr1<Arr1<T, kSupportGridMax>, kSupportGridMax>;

// A piecewise-linear profile over time, evaluated by ProfileValueAt.
struct TStrategyShape {
  i32 SegmentCount;
  i32 Capacity;
  i32 CurrentSegment;
  Arr1<f32, 20> Durations;
  Arr1<f32, 20> StartValues;
  Arr1<f32, 20> EndValues;
};

// One option family of a field-strategy half: per zone, the weights of the
// family's options (per mille after normalisation).
struct TOptionFamily {
  i16 OptionCount;
  Arr1<Arr1<i16, 20>, 30> Weights;
};

struct TZoneRect {
  f32 x1, z1, x2, z2;
};

struct TFieldStrategyHalf {
  i16 ZoneCount;
  Arr1<TZoneRect, 30> Zones;
  Arr1<TOptionFamily, 5> Families;
  Arr1<f32, 30> OpenPlayStrategy;
  Arr1<f32, 30> SetPlayStrategy;
  Arr1<f32, 30> RuckNumAttack;
  Arr1<f32, 30> RuckNumDef;
  Arr1<f32, 30> LineSpeed;
};

struct TInfringement {
  i32 Kind;  // 0 = empty entry
  bool32 Major;
  bool32 AgainstDefence;
  i32 Aux;
  f32 X, Z;
  i32 Player;
};

// ---------------------------------------------------------------- scripted movement
struct TActionEvent {
  i32 EventType;
  i32 EventSubType;
  i32 EventCode;
  f32 Angle;
  f32 DesSpeed;
  f32 SpeedFraction;
  f32 DistOrig;
  f32 DistTravelled;
  bool32 Complete;
  bool32 TimedOn;
  f32 Duration;
  f32 TimeLeft;
  i32 EndCondition;
  bool32 RelMovementOn;
  f32 RelDistance;
  f32 RelHeading;
  TVector2 TargetPos;
  f32 TargetX;
  bool32 lookForBlocks;
  // Working fields of the sequence runner. The carrier decision's names:
  // RefPlayer, RefOwnSide, InterceptRef, ExpiryTime, ExpiryLeft,
  // AheadMargin, LateralMargin, KickSpeed, KickElevation, KickHeading; its
  // RefDistance and RefAngle are RelDistance and RelHeading, its Variant is
  // EventCode.
  i32 RelPlayer;
  bool32 RelOwnTeam;
  bool32 Intercept;
  f32 Deadline;
  f32 DeadlineLeft;
  f32 EndLeadZ;
  f32 EndLeadX;
  f32 KickLaunchSpeed;
  f32 KickLaunchElevation;
  f32 KickLaunchHeading;
  i32 ReceiverOffset;
  i32 FollowOffset;
  u16 WaitFor;
  f32 ProgressAux;  // cleared with DistTravelled when the carrier's sequence restarts
};

struct TActionSeq {
  bool32 HoldStartPos;
  f32 StartX, StartZ;
  bool32 SeqHeadFlag;  // GoFlag of the ruck release
  f32 SeqHeadValue;    // GoTime of the ruck release, s
  bool32 Idle;
  Arr1<TActionEvent, 10> EventArray;
  bool32 seqON;
  i32 NumEvents;
  i32 CurrEventIndex;  // 1-based; 0 = not started
  i16 KeyEventIndex;
  i16 Mode;
};

struct TAnimSeqEntry {
  ShortStr<31> Name;
  bool32 Loop;
  f32 Duration;
  f32 StartFrame, EndFrame;
  f32 Rate;
  i32 FaceMode;
  f32 FaceAngle;
  f32 FaceOffset;
  i32 FaceTarget;
};

struct TAnimSeq {
  Arr1<TAnimSeqEntry, 10> Entries;
  bool32 Playing;
  i16 NumEntries;
  f32 TotalTime;
  f32 Time;
  i16 CurrEntry;  // 1-based; 0 = not started
};

// ---------------------------------------------------------------- player
struct TPlayer {
  // 1. Decision parameters.
  f32 turnoverLossFactor;
  i32 maxGenPlaySims;
  i32 simsPerGenPlayAction;
  f32 TacklerCountValue;
  TDistribution TacklerCount;
  Arr1<f32, 5> DecisionValues;  // 0.25, 0.25, 0.5, 0.5, 0 by default
  TDistribution AwarenessReactionTime;
  // 2. Ratings and availability.
  i16 awareness, agility, finesse;
  u16 ControllingUser;
  f32 UserActionTimer;
  Arr1<u16, 5> ProfileChoice;
  bool32 Unavailable;
  u16 UnavailableKind;
  i16 injury;
  f32 GoalKickDeviation0, GoalKickDeviation1, GoalKickDeviation2;
  f32 KickDeviation0, KickDeviation1, KickDeviation2;
  // 3 - 6.
  i32 id;
  TDistribution AuxDistribution1;  // (0.25, 0.1, 0.01, 0.5) by default
  bool32 SupportRunCall;
  f32 SupportAfterPassProb;  // per mille, 1000.0 by default; the passer's chance to call a support run
  bool32 WillAttemptPassInterCept;
  bool32 CanInterceptPassOnFull;
  f32 Heading;
  // 7 - 8.
  TActionSeq ActionSeq;
  TAnimSeq AnimSeq;
  // 9. Current animation.
  ShortStr<26> currentAnim;
  f32 currentframe;
  f32 maxframes;
  f32 AnimRate;
  bool32 AnimLoop;
  i16 AnimLoopCount;
  i16 BallTrack;
  i32 ContactPoint;
  bool32 SetPiecePlaced;
  // 10 - 13.
  f32 chasertimer;
  f32 PosCopyX, PosCopyZ;  // a copy of Pos.x and Pos.z made by the world defaults
  f32 Height;
  f32 Weight;
  f32 BodyWidth, BodyDepth;  // 0.15 x Height and 0.8 x BodyWidth
  TVector3 Pos;
  TVector3 DesiredPos;
  TVector3 OldPos;
  TVector3 Direction;
  f32 DistToDesired;  // planar distance from Pos to DesiredPos
  f32 speed;
  f32 desiredspeed;
  f32 DesiredSpeedAux;  // 0.25 by default
  // 14. Fatigue.
  bool32 Fatigued;
  i16 FatigueLevel;
  f32 FatigueTimer;
  i16 FatigueFreshTime, FatigueTiredTime;
  // 15. Speeds.
  f32 maxspeed;
  f32 MaxSpeedNonFatigued;
  f32 JogSpeed;
  TVector2 Velocity;
  TVector2 OldVelocity;
  f32 MeasuredSpeed;
  f32 CruiseSpeed;  // 0.7 x maxspeed by default
  // 16. Ball skills.
  f32 maxpassspeed, maxpassspeed2;
  i16 KickProb;          // per mille: chance to open kick moves (KickGenPlayChance)
  i16 KickAccuracyProb;  // per mille: accuracy of touch kicks (KickToTouchRating)
  f32 MaxKickSpeed;
  f32 MaxKickRange;
  f32 MaxGoalKickSpeed;  // m/s, kicks at goal and restarts (SecondKickSpeed)
  f32 GoalKickRange;
  // 17.
  f32 Acceleration, AccelerationInit;
  f32 SpeedLossSlope;
  TVector3 LookAtPos;
  f32 FacingAngle;  // radians
  bool32 InBackline;
  TDistribution DefenceTime;
  TDistribution AuxDistribution2;  // (0.7, 0.1, 0.25, 0.85) by default
  // 18. Reaction times.
  TDistribution RunningAngleReactionTime;
  f32 RunningAngleReactionValue;
  TDistribution DefensiveRunningAngleReactionTime;
  TDistribution ReactionDelayExtra1;
  TDistribution ReactionDelayExtra2;
  TDistribution ReactionDelayA;
  TDistribution ReactionDelayB;
  TDistribution StrengthChance;
  // 19. Pass timing and accuracy.
  f32 passtimer, passcatchtimer;
  f32 passAccuracySDDir, passAccuracySDLaunch, passImagAccuracyFactor;
  f32 kickAccuracySDDir, kickAccuracySDLaunch;
  // 20. Pass spread and release times.
  TDistribution PassSpread;
  TDistribution DrawAndPassStartTime;  // its value is the draw-and-pass contact time (DrawAndPassContactTime), s
  TDistribution PopPassLeftReleaseTime, ShortPassLeftReleaseTime, MediumPassLeftReleaseTime,
      LongPassLeftReleaseTime, StandingStillPassLeftReleaseTime, DummyhalfPassLeftReleaseTime;
  TDistribution PopPassRightReleaseTime, ShortPassRightReleaseTime, MediumPassRightReleaseTime,
      LongPassRightReleaseTime, StandingStillPassRightReleaseTime, DummyhalfPassRightReleaseTime;
  TDistribution OffloadReleaseTime;
  TDistribution PuntRightFootReleaseTime;
  TDistribution GrubberReleaseTime, ChipReleaseTime, KickReleaseTime4, DropKickReleaseTime,
      KickReleaseTime6;
  TDistribution ScrumPower;
  TDistribution StrengthPower;  // drawn each frame of a kind-0 tackle as the carrier's drive (TackleDrive)
  TDistribution StrengthPower2, RuckFactor;
  // 21. Chances and values made from the ratings.
  f32 ElusivenessValue;
  i16 FinesseProb, IndisciplineProb, LookForOffloadProb;
  f32 SupportCommitProb;
  i16 BreakdownChance;
  f32 BreakdownValue;
  i16 MakeTackleProb, BreakTackleProb, CleanCatchProb, HighBallProb, HoldBallOnContactProb,
      BreakTackleProb2, fend, ElusivenessProb, LineoutJumpProb, lineoutjumping, lineoutthrow,
      AwarenessProb;
  // 22. Forced actions.
  f32 DiveTimer, DiveAngle, DiveSpeed;
  i32 DiveKind;
  f32 shimmytimer, ShimmySpeed, ShimmyAngle;
  f32 ShimmyAux1, ShimmyAux2;  // 2.9 and 3.2 by default
  f32 standuptimer, StandUpFacing;
  i16 trycelebration;
  bool32 TryCelebrationChosen;
  TDistribution ActionTime1, StrengthScale, ActionTime3;
  f32 TackleAttemptTimer, TackleAttemptAngle, TackleAttemptSpeed, TackleAttemptKind,
      TackleAttemptFacing, TackleAttemptLungeFrame;
  f32 GettingTackledTimer, OffloadPending, GettingTackledAngle, GettingTackledSpeed,
      GettingTackledKind, GettingTackledFacing;
  f32 BreakTackleTimer;
  f32 ActionCode;
  f32 StepTimer;
  f32 KickTimer, KickRunAngle, KickRunSpeed, KickKind, KickFacing;
  f32 freeballcatchtimer, FreeBallCatchAngle, FreeBallCatchSpeed, FreeBallCatchKind,
      FreeBallCatchValue;
  i16 HighBallProb2;
  f32 FreeBallCatchRecoverFraction, FreeBallCatchFacing;
  f32 ForcedRunTimer, ForcedRunAngle, ForcedRunSpeed, ForcedRunFacing;
  // 23. Following.
  i32 playertofollow;
  f32 playertofollowtimer;
  // 24. Special actions.
  f32 SpecialAnimTimer, SpecialAnimAngle, SpecialAnimFacing, SpecialAnimSpeed, SpecialAnimKind;
  f32 CelebrateTimer, CelebrateKind, CelebrateFacing, CelebrateTimer2;
  f32 RuckTimer, RuckRole;
  f32 RuckTimer2;  // s, breakdown release delay; the player is busy while > 0 (ContactBusyTimer)
  f32 LineOutTimer, LineoutRole, LineoutFacing;
  i32 LiftTarget;
  f32 OldTackleTimer, OldTackleFacing;
  // 25. Marking links.
  i32 target, numtargetting, governedby, numgoverning;
  // 26. Body outline.
  Arr1<TVector2, 8> Footprint;
  Arr1<i32, 8> FootprintHolder;
  // 27. Contact momentum.
  f32 ImpactMass, ImpactAngle, ImpactSpeed;
  // 28. Offside.
  f32 OffsideMark;
  f32 PrevOffsideMark;
  f32 OffsideLineZ;
  bool32 OffsideStays;
  i16 DisciplineProb;
  // 29. Working points and angles of the contact and set-piece steps; a
  // change of possession mirrors them with the rest of the scene.
  bool32 AuxFlag;
  TVector3 AuxTarget;
  TVector2 AuxPoint;
  TVector2 AuxOffset;
  f32 AuxHeading1, AuxHeading2, AuxHeading3, AuxHeading4, AuxHeading5, AuxHeading6,
      AuxHeading7, AuxHeading8, AuxHeading9, AuxHeading10;  // degrees
  f32 AuxFacingRad;                                         // radians
  // 30. Advantage: a defender engaged with the play, so that a gain in
  // running or passing does not end the advantage yet.
  bool32 AdvantageContactFlag;
  // 31. Ball-carrier decision: facing, the carrier's break, side-step and
  // getting up, the dummy pass and the line. Ratings without a source are
  // set by the world defaults (500 per mille, else 0).
  f32 PrevFacingAngle;  // radians: FacingAngle of the previous frame
  f32 FacingHeading;    // degrees: the heading the body faces, degrees(FacingAngle) - 90
  f32 AnimLoopTime;     // s, cleared with AnimLoopCount when the carrier's animation is replaced
  f32 BreakAngle;       // degrees, heading of the break run
  f32 BreakFacing;      // degrees, facing during the break
  f32 BreakSpeed;       // m/s
  f32 StepKind;         // side-step kind 1 to 4
  f32 StepHeading;      // degrees, heading when the step starts; the facing during the step
  f32 StepFirstAngle, StepSecondAngle;  // degrees, headings of the two legs
  f32 StepAngle;        // degrees, heading moved on: first leg, then second
  f32 StepSpeed;        // m/s, speed of the step run
  f32 StepStartSpeedCap, StepTopSpeed;  // m/s
  i16 SideStepBeatProb;  // per mille: chance that his side-step beats a defender
  i16 DummyPassRating;   // per mille: how well his dummy sells
  i16 DummyBiteRating;   // per mille: how readily he bites on a dummy
  i32 DummyBiteTarget;   // the pass receiver (block 1) he bites towards
  f32 DummyBiteTimer;    // s, while > 0 he is biting
  f32 StandUpSpeed;      // m/s while getting up after a dive
  bool32 LineFlag;       // he has a place in the attacking line
  bool32 ExtraMovesFlag;  // opens the extra running moves
  f32 ReplanTimer;        // s, redrawn from ReplanInterval when it runs out
  TDistribution ReplanInterval;
  // 32. Statistics, kept by the statistics step; they travel with the block.
  f32 MetresRun;    // m gained carrying the ball (a backward run lowers it)
  f32 TimeOnField;  // s on the field
};

// ---------------------------------------------------------------- team block
struct TTeamBlock {
  u16 StrategyNumber;
  bool32 NoAdvantageFlag;
  i32 teamid;
  f32 timeinpossession, timeinownhalf, redzonetime;
  f32 RunMetres;
  u16 PlayOption;
  i16 LineSpeedSetting;
  TLineList Line;  // the ordered attacking line; Line.Count is the slot-line count
  bool32 CarriedIntoOwn22;
  bool32 CarriedIntoOwnInGoal;
  i32 MoveIndex;
  i32 score;
  i32 AttackSide;
  // The set-piece holder has committed to a pass or pick-up
  // (HolderCommitted); cleared by the ruck and scrum set-ups and at half time.
  bool32 HalfTimeAux;
  bool32 DecisionsOn;  // the holder controls act for this side (PlayOn); true in both blocks
  bool32 HalfTimeFlag;
  // Breakdown and set-piece working area.
  TDistribution RuckTime;          // time for the ball to come out of a ruck
  TDistribution TurnoverRuckTime;  // the same after a turnover
  Arr1<f32, 8> DistanceTable;      // 0.5, 1, 2, 4, 8, 16, 32, 50 m
  f32 CarryMaxZ;
  i32 SetPieceHolder;
  i32 TackledPlayer;
  f32 SetPieceLineDepth;
  f32 SetPieceLineZ;
  Arr1<TVector2, 10> BlockPairs;  // stays with the block position at an exchange
  Arr1<TVector2, 10> ScrumSidePairs;
  Arr1<i32, 10> PackSlots;
  Arr1<TVector2, 10> ScrumPoints;
  i32 LineoutCount;
  i32 LineoutThrower;
  Arr1<i32, 15> LineoutSlots;
  Arr1<TVector2, 15> LineoutSlotOffsets;
  Arr1<TVector2, 15> LineoutSlotPos;
  Arr1<i32, 15> LineoutSlotRoles;
  f32 LineoutReceiverDepth;
  f32 LineoutLineOffsetZ;
  f32 LineoutFrontX;
  // Restart.
  i32 RestartType;
  i32 RestartOption;
  i32 RestartKickerDefault;
  i32 KickerIndex;
  TVector3 RestartBallPos;
  // Carrier and the block's slot line.
  i32 BallCarrier;
  // Slot offsets of the line: x the slot's key, z the strategy profile's
  // value there (LineProfile of the maul holder); slot 101 is 0.
  Arr1<TVector2, 201> LineSlotPos;
  Arr1<TVector2, 201> SetPieceSlotPos;  // absolute slot positions (LineSlotX)
  Arr1<i32, 201> SetPieceLine;          // player per slot, 101 the holder (LineSlots)
  // Support-spot grid.
  i32 SupportGridSize;
  TSupportGrid<u16> SupportGridCells;  // [row][column]: player number, 0 free
  TVector2 SupportGridOrigin;
  TSupportGrid<TVector2> SupportGridSpots;  // cell points (SupportGrid)
  TSupportGrid<i32> SupportGridWeights;
  TSupportGrid<i32> SupportGridWeightsAlt1;
  TSupportGrid<i32> SupportGridWeightsAlt2;
  // Players.
  Arr1<TPlayer, 25> Players;
  // Pass.
  i32 Passer;
  f32 ReceiverRunAngle;
  f32 ReceiverRunSpeed;
  f32 PassFlightTime;
  f32 PassFlightLeft;
  i32 PassReceiver;
  f32 PassTimeLeft;
  f32 PassDuration;  // s, the total PassTimeLeft counts down from (PassTimeTotal)
  TPassLaunch PassLaunch;  // the launch of the pass being released
  // Kick.
  i32 BallKicker;
  f32 KickTimeLeft;
  f32 KickSpeed;
  f32 KickElevation;
  f32 KickHeading;
  f32 KickSpeedError, KickElevationError, KickHeadingError;
  TVector3 KickStartPos;
  // Strategy and defence line.
  TStrategyShape CurrentStrategy;
  TStrategyShape PeakShape;              // six segments, peak 41
  Arr1<TStrategyShape, 4> PeakShapes;    // four segments, peaks 12.5, 10.5, 14.5, 17.5
  TStrategyShape FlatShape;              // 0.2 throughout
  f32 DefenceLineAux, DefenceLineOffset;
  f32 StrategyTimer;
  f32 DefenceLineSpeed;
  f32 DefenceLineZ, DefenceLineRefZ;
  f32 AuxScrumValue;
  // Tackle momentum.
  f32 TackleMass, TackleHeading, TackleSpeed;
  // s, window for an offload opened at the tackle (OffloadWindow).
  f32 OffloadTime;
  // Defence working area.
  f32 DefenceShapeValue;             // 0.2 by default
  TStrategyShape DefenceStepShape;   // six segments, down to -42
  TStrategyShape DefenceShape;
  TPlayerList AttackBacksList;
  TPlayerList SetPieceWorkList;
  i32 SetPieceWorkCount;
  bool32 DefenceFillFromFront;
  TSlotLine MarkedLine;
  i32 AttackBacksCount;
  i32 FreeDefendersCount;
  i32 SurplusDefenders;
  TPlayerList FreeDefendersList;
  TSlotLine DefenceLine;
  // The attacker (a block-1 player number) this block's defence chases, 0 =
  // none; a defending user's chase button runs him down.
  i32 BlockChaseTarget;
  i16 DeepPlayerNumber;
  Arr1<u16, 10> BackfieldOrder;
  Arr1<i16, 2> TailPair;
  // Ball-carrier decision (block 1 is the side in possession).
  f32 TimeToContact;        // s until the nearest eligible defender reaches the carrier; 10000.0 when none
  i32 ActOnCatchAllowed;    // 1 lets a carrier who is still catching start a pass
  bool32 ShortRunFlag;      // the receiver of a ruck pass runs a short line
  bool32 SampleRequest;     // the holder asks for the moves to be sampled again (match world)
  bool32 CatchingUp;        // the side plays its catch-up field-strategy half
  u16 RunPattern;           // run pattern of the sampler; no writer, 0
  f32 RunPatternTime;       // s
  // The pass being wound up.
  i32 PassKind;             // 1 pop, 2 short, 3 medium, 4 long, 5 standing still, 6 from a set piece, 8 offload
  i32 PassSide;             // 1 left, 2 right
  TRunPrediction CatchPoint;       // where the receiver is at the release
  TRunPrediction PasserPredicted;  // where the passer is at the release
  f32 PasserRunAngle;       // degrees
  f32 PassLength;           // m, passer to catch point
  f32 PassHeading;          // degrees
  f32 PasserHeading, PasserHeadingOffset;  // degrees
  TVector2 RelativeCatchPoint;  // m
  Arr1<i32, 5> PassReactors;    // defenders (this block) who may bite on a dummy
  // The kick: the search request handed to FindKick and its outcome.
  bool32 KickChosen;        // the launch values of the pending kick are chosen
  f32 KickSearchSpeedMin, KickSearchSpeedMax;          // m/s
  f32 KickSearchHeadingMin, KickSearchHeadingMax;      // degrees; the first may be the larger
  f32 KickSearchElevationMin, KickSearchElevationMax;  // degrees
  f32 KickSearchMode;       // 3 goal, 4 nearest landing, 5 touch
  bool32 KickSearchGrid;    // step the heading evenly (mode 5)
  bool32 KickSearchSpeedCap;  // cap the speed at the kicker's MaxKickSpeed
  f32 KickSearchTargetX, KickSearchTargetZ;  // m
  // The maul holder.
  i32 MaulCarrierSlot;      // 1..10 of the carrier in PackSlots, 0 when in none
  i32 MaulOption;           // 1..8, 0 when none drawn
  f32 MaulPassTimer;        // s, counted down by the maul handler
  i32 LeftLineCandidate, RightLineCandidate;        // line players nearest the holder
  i32 LeftSupportCandidate, RightSupportCandidate;  // support-grid players
};

// ---------------------------------------------------------------- world
struct TWorld {
  // 1.
  bool32 injurieson;
  f32 CatchSearchStep;
  f32 CatchReach;
  // 2.
  f32 RunShapeTimer;
  i16 LastPasser, PrevPasser;
  // 3. Clocks of the frame.
  f32 ElapsedTime;
  f32 TimeSinceSetPiece;
  // 4. Game-state history.
  TGameState FrameGameState;
  TGameState PrevFrameGameState;
  TGameState FromGameState;
  f32 TimeInGameState;
  // 5. Line breaks.
  bool32 LineBreak, LineBreak2, PrevLineBreak;
  // 6. Timed messages.
  Arr1<f32, 4> MessageTimers;  // s
  u16 StatPlayerCursor;  // player slot of the next time-played message (StatPlayerIndex); starts at 1
  // 7. Message queue.
  Arr1<TMatchMessage, 10> MessageQueue;
  Arr1<bool32, 10> MessageSlotFree;
  // 8 - 9.
  f32 GainLineZ;
  TVector2 PointOfInterest;
  f32 PointOfInterestRadius;
  // 10. Stoppage and transition.
  TGameState PendingGameState;
  TGameState StoppedGameState;
  f32 TransitionTimeLeft;
  bool32 TransitionBallHeld;
  bool32 TransitionHolderFirstBlock;
  i32 TransitionHolder;
  f32 TransitionAux;
  TVector2 HuddleCentre;
  i32 TransitionStep;
  f32 AuxLineX;
  // 11.
  f32 DefenceCycleTimer;
  Arr1<f32, 3> DefenceSubTimers;
  bool32 PossessionChanged;
  // 12 - 13.
  bool32 MarkCalled;
  bool32 HalfTimeReached;
  // 14. Match clock.
  f32 clock;
  f32 halflength;
  i32 MatchPhase;
  i32 RestartKind;
  f32 RestartDelay;
  TVector2 RestartSpot;
  bool32 RestartSpotFlag;
  bool32 AuxTackleFlag;
  TDistribution HeadDistribution1;  // its sd is the pass spread base
  TDistribution HeadDistribution2;
  // 15. Advantage, places and sides.
  f32 AdvantageHoldTimer;
  f32 AdvantageTimer;
  Arr1<TInfringement, 10> Infringements;
  TInfringement PrevInfringement;
  TVector2 TouchPos;
  TVector2 ScrumSpot;
  bool32 KickTouchFlag1;
  bool32 KickTouchFlag2;
  TVector2 KickTouchPos;
  TVector2 ReleasePos;
  bool32 BlocksSwapped;
  bool32 RecordingOn;
  bool32 CarriedBallPlacementOn;  // defenders reach further in the look-ahead (EngineControl)
  bool32 LiveWorld;
  bool32 Team1InFirstBlock;
  i32 DiverIndex;
  TVector2 TryPos;
  // 16. Breakdown.
  i32 PhaseCount;
  f32 TimeSinceTackle;
  f32 ScrumAux;
  f32 MarkX, MarkZ;
  Arr1<f32, 3> MarkExtra;
  f32 PackVelocityZ;
  f32 PackMass;
  f32 PackSpacing;
  f32 RuckDepthUnit;
  f32 RuckBindDepth;
  f32 PackAux;
  // 17. Lineout.
  f32 LineoutZ;
  bool32 LineoutOnNegativeX;
  f32 LineoutRefX;
  Arr1<u16, 2> LineoutTargetJumper;  // per block
  Arr1<u16, 2> LineoutTargetSlot;    // per block
  f32 LineoutAux;
  bool32 LineoutResolved;  // the lineout contest is decided
  f32 LineoutCountdown;    // s
  // 18 - 19.
  f32 OffloadBlockTimer;
  f32 Gravity;
  f32 GroundFriction;
  Arr1<u16, 201> ScratchLine;
  // 20. Shared scratch of the frame steps: written before read within a step.
  TPlayerList ScratchPlayerList;
  TPlayerList ScratchPriorityList;
  Arr1<TVector2, 25> ScratchPositions;
  bool32 SearchFlag2;
  i32 SearchBestIndex, SearchBestPlayer;
  f32 SearchBestDist, SearchDist;
  f32 ScratchValue1, ScratchValue2, ScratchValue3, ScratchValue4, ScratchValue5;
  TVector2 ScratchPoint;
  Arr1<TVector2, 8> ScratchCircle;
  Arr1<bool32, 8> ScratchCircleFlags;
  TVector3 ScratchVector;
  // 21.
  TFieldStrategyHalf FieldHalf;
  // 22 - 23. Game state and its phase counters.
  TGameState gamestate;
  i32 RunningPhase, PassingPhase, GotTackledPhase, MaulPhase, ScrumPhase, LineoutPhase,
      KickRestartSetPhase, TryScoredPhase, FreeBallPhase;
  u16 LeagueChampsPhase, HuddlePhase;
  // 24 - 25.
  i32 PlayersPerTeam;
  f32 TimeStep, PrevTimeStep;
  // 26. Pitch constants.
  f32 PitchLength, PitchWidth, InGoalDepth, GoalPostGap;
  f32 PostRadius, PostHeight;
  f32 CrossbarHeight;
  f32 TryLineZ;
  f32 PitchConst5;
  Arr1<f32, 2> TouchLineX;  // -PitchWidth/2 and +PitchWidth/2
  // The eight directions round a player: heading of each and, for each, the
  // directions k - 2, k - 3, k + 2, k + 3 (counted round 1 to 8).
  Arr1<f32, 8> PointHeadings;
  Arr1<Arr1<i32, 4>, 8> PointNeighbours;
  // 27.
  f32 TackleReleaseTimer;
  // 28. Ball.
  i32 BallPhase;
  f32 BallFlightClock;
  TVector3 BallPos, PrevBallPos, BallTarget, BallVel, PassVel;
  f32 BallMoveSpeed, BallSpeed;
  f32 BallSpin, BallYaw, BallPitch;
  // 29. The flight of the ball in play, as SimulateBallFlight fills it.
  Arr1<f32, 1000> FlightTimes;
  Arr1<TVector3, 1000> FlightPos;
  Arr1<TVector3, 1000> FlightVel;
  Arr1<f32, 1000> FlightSpeed;
  i32 FlightSegments;
  i32 FlightDrop22Step;
  i32 FlightDrop145Step;
  i32 FlightLandingStep;
  i32 FlightWideStep;
  i32 FlightFirstDropStep;
  bool32 FlightNoDrop;
  f32 BallRadius;  // m
  Arr1<TDistribution, 3> BounceErrors;  // speed factor, elevation, heading at a bounce (BounceSpread)
  Arr1<TDistribution, 6> HeadDistributions;
  // 30.
  Arr1<TTeamBlock, 2> Teams;
  // 31. Tail.
  bool32 BallAttached;
  i32 LastKnownHasBall;
  // 32. Ball-carrier decision.
  f32 LastContactTime;        // s, copy of block 1's TimeToContact
  bool32 PassOnCatchAllowed;  // a carrier still catching may start a pass
  bool32 StepReactionDone;    // the defenders' reaction to this side-step is applied
  f32 BreakWindow;            // s; no writer, 0
  i32 BreakSide;
  bool32 SetPieceStart;       // no writer, 0
  // Left by the timer step each frame of the match (NearestClosing above
  // ClosingThreshold) for the decision step's run-in check. Not scratch: a
  // step that needs a flag of its own for a search keeps it in a local.
  bool32 SearchFlag;
};

static_assert(std::is_trivially_copyable_v<TWorld>, "the look-ahead copies the world as one block");
static_assert(std::is_trivially_copyable_v<TPlayer>);

// ---------------------------------------------------------------- player numbers
// A number that names one of a block's 25 player records; 0 names nobody.
inline bool IsPlayer(i32 n) { return n >= 1 && n <= 25; }

// Player n of a block, or null for a number that names none of its records.
inline TPlayer* PlayerAt(TTeamBlock& T, i32 n) { return IsPlayer(n) ? &T.Players[n] : nullptr; }
inline const TPlayer* PlayerAt(const TTeamBlock& T, i32 n) { return IsPlayer(n) ? &T.Players[n] : nullptr; }

// The players 1..PlayerCount(W) of each block who take part: PlayersPerTeam
// kept within the 25 records of a block.
inline int PlayerCount(const TWorld& W) {
  return W.PlayersPerTeam < 0 ? 0 : (W.PlayersPerTeam > 25 ? 25 : W.PlayersPerTeam);
}

// The match, and the copy on which the look-ahead runs.
extern TWorld World;
extern TWorld LookAheadWorld;

// Posts a match message into the first free slot of the queue; a message
// that finds no free slot is dropped.
void PostMessage(TWorld& W, i32 teamID, i32 playerID, u8 message, f32 extravalue);

// LookAheadWorld := World, whole, then marked as not live.
void TakeLookAheadCopy();
