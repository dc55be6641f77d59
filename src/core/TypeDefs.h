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

#include "core/AnimName.h"
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
// players on their way in, group B the players bound in the pack. A block
// holds one, `PackSpots`, handed whole to the spot functions; the ruck
// handlers' names of its words are given after each.
struct TSpotTable {
  bool32 BoundFirst;         // this side bound (jackled) first: Jackling
  i32 FirstBinder;           // its first binder: Jackler
  f32 TimeSinceFirstBind;    // s, since then: JackleTimer
  i32 SpotWord3, SpotWord4;  // set-piece working words
  i32 BoundCount;            // players who have joined: RuckPlayerCount
  // m, the side's line distance from the mark, 1, 2 or 3 x RuckDepthUnit by
  // the number of joiners: RuckDepth (the block's set-piece line depth).
  f32 Depth;
  i32 SpotWord7;
  Arr1<i32, 10> OccupantA;      // players waiting at the side's line: RuckLineSpotSlots (Arriving)
  // Offsets of those spots from the mark, set at start for the block
  // position (block 2 mirrored in z): RuckLineSpotOffsets.
  Arr1<TVector2, 10> OffsetA;
  Arr1<TVector2, 10> PosA;      // the spots they run to: RuckLineSpots (ArrivalPoint)
  Arr1<i32, 10> OccupantB;      // players bound in the pack, 0 = free: BindSlots
  // Offsets of the bound spots from the mark, set at start (block 2
  // mirrored in z): BindOffsets (the scrum points).
  Arr1<TVector2, 10> OffsetB;
  Arr1<TVector2, 10> PosB;      // positions of the bound spots: BindPoints (SpotPos)
  Arr1<f32, 10> ReleaseDelay;   // s, per bound spot: RuckReleaseDelay
  f32 RefillTimer;              // s, front-spot refill of a maul
  Arr1<i32, 2> SpotTail;
};

// A block engagement between players, kept by the contact logic; record n
// is named by the first half of a player's BlockEngaged. Nothing engages a
// block yet, so the table is only ever cleared.
struct TBlockRecord {
  Arr1<i16, 4> Words;  // the four 16-bit engagement words
};

// The side's ordered attacking line: entries in line order with their
// offsets from the line's reference and their absolute positions and bounds.
// `Count` is the word also known as the block's slot-line count
// (SlotLineCount); `Ids` and `Pos` hold SlotLinePlayers and SlotLineX.
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
  bool32 Major;           // 0 gives a scrum, else a penalty: Status
  bool32 AgainstDefence;  // the offender is in block 2: Side
  i32 Aux;                // whole seconds of clock: Time
  f32 X, Z;
  i32 Player;
};

// ---------------------------------------------------------------- scripted movement
struct TActionEvent {
  i32 EventType;
  i32 EventSubType;
  i32 EventCode;  // second sub-code (kick placement, side-step kind): Variant
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
  f32 RelDistance;  // m, of the relative target from RelPlayer: RelDist
  f32 RelHeading;   // degrees: RelAngle
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
  u16 WaitFor;  // 0 start at once, 1 wait for the pass to him, 2 that or an event naming him
  f32 ProgressAux;  // cleared with DistTravelled when the carrier's sequence restarts
  // Pass and kick events of the decision step.
  bool32 LongPass;  // the pass uses the carrier's long-pass top speed
  f32 Scale;
  f32 RangeLow, RangeHigh;
  f32 AimAngle;  // degrees
  // Facing rule while the event is current: FaceMode 0 none, 1 the fixed
  // heading FaceAngle, 2 towards team-mate FaceTarget, 3 towards opponent
  // FaceTarget, plus FaceOffset (degrees).
  i16 FaceMode;
  f32 FaceAngle;
  f32 FaceOffset;
  i16 FaceTarget;
};

struct TActionSeq {
  bool32 HoldStartPos;
  f32 StartX, StartZ;
  bool32 SeqHeadFlag;  // released to run his breakdown move: RuckRunFlag (GoFlag)
  f32 SeqHeadValue;    // s, taken off his breakdown arrival time: RuckGoTime (GoTime)
  bool32 Idle;         // no plain-run event is current this frame
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
  // s, the interval between two looks at the play (PerceptionTime); its
  // value is not used for that.
  TDistribution AwarenessReactionTime;
  // 2. Ratings and availability.
  i16 awareness, agility, finesse;
  u16 ControllingUser;
  f32 UserActionTimer;
  Arr1<u16, 5> ProfileChoice;
  bool32 Unavailable;   // lies injured or carries a serious injury: Injured
  u16 UnavailableKind;  // 1 serious injury, 0 a knock: SeriousInjury
  i16 injury;
  // Place-kick errors at goal: speed error, elevation spread, heading spread
  // (PlaceKickSpeedError, PlaceKickElevationSpread, PlaceKickHeadingSpread).
  f32 GoalKickDeviation0, GoalKickDeviation1, GoalKickDeviation2;
  // The same for drop kicks (DropKickSpeedError, DropKickElevationSpread,
  // DropKickHeadingSpread).
  f32 KickDeviation0, KickDeviation1, KickDeviation2;
  // Where a field below is written by many files, its comment says which
  // frame step (the names of src/app/FrameSteps.cpp) starts it and which ends
  // it; a helper's file is named in parentheses. The start-up sets every
  // field (InitialiseWorld, ReadPlayers); a replacement (Replacements, in
  // SetDesiredPosition's transition) and the scrum and lineout set-up
  // (SetPieceShared) clear a player's action timers.
  // 3 - 6. Id, support-run call, pass interception and running heading.
  i32 id;
  TDistribution AuxDistribution1;  // (0.25, 0.1, 0.01, 0.5) by default
  // Called up for a support run. Started by SampleWorld, by Strategy (the
  // passer's call, CarrierPass), by SetDesiredPosition (a runner cut back at
  // touch, RunningUnit) and by DelayPlayers (the pass release calls passer
  // and runners, PassRelease); ended by SupportPlay, which turns the call
  // into a run, and cleared by the set-piece handlers of SetDesiredPosition.
  bool32 SupportRunCall;
  f32 SupportAfterPassProb;  // per mille, 1000.0 by default; the passer's chance to call a support run
  // Goes for the pass in the air. Started by SetDesiredPosition (passing,
  // PassInFlight); ended by AnimatePlayers when his catch animation ends, by
  // SetDesiredPosition when the chase is given up (PassInFlight) or play
  // stops (TransitionUnit), by DelayPlayers at the next release
  // (PassRelease) and by GeneralCollision when he is tackled (TackleContest).
  bool32 WillAttemptPassInterCept;
  bool32 CanInterceptPassOnFull;
  // Degrees, the running heading. Turned every frame by LookAtPosition
  // towards the way he faces; set also where a step turns a player at once
  // (Strategy's carrier lookups, the contact steps of GeneralCollision,
  // DelayPlayers' falls, SetDesiredPosition's action sequences).
  f32 Heading;
  // 7 - 8. Scripted movement and scripted animation sequence.
  // The scripted run. Started by Strategy (a chosen move, BallCarrierDecision,
  // MoveApplication) and by SupportPlay (a support run); each event ends by
  // itself as SetDesiredPosition plays it (ActionSequences); reset to the
  // template (StrategyParams.ActionSeqTemplate) by Strategy, by the contact
  // steps of GeneralCollision and by UDPUserControl when a user takes him.
  TActionSeq ActionSeq;
  TAnimSeq AnimSeq;
  // 9. Current animation.
  TAnimName currentAnim;  // up to 30 characters, as the animation catalogue
  // The animation's frame and length (frames). AnimatePlayers advances and
  // sets them every frame; a step that starts an animation itself sets both
  // (Strategy's pass sprint, the contact steps' falls and misses in
  // GeneralCollision, DelayPlayers' falls and injuries). AnimLoop likewise:
  // set with each animation, read by AnimatePlayers at its end.
  f32 currentframe;
  f32 maxframes;
  f32 AnimRate;
  bool32 AnimLoop;
  i16 AnimLoopCount;
  // Which ball track of his animation holds the ball (0: none). Set with
  // the animation that carries the ball: by AnimatePlayers, by Strategy (the
  // pass, CarrierPass), by GeneralCollision (HeldCarrier, RuckContact) and by
  // DelayPlayers (an injury); read by BallUpdate.
  i16 BallTrack;
  i32 ContactPoint;
  bool32 SetPiecePlaced;  // defender already placed or busy: InDefLine
  // 10 - 13. Body, position and steering, running speeds.
  // s, a defender chases while > 0. Started and counted down by
  // SetDesiredPosition's defence (DefenseUnit) and the try-scored run-on
  // (TryScoredUnit); ended there and by the set-up of every set piece
  // (BreakdownSetup, FreeBallUnit, KickRestartSetUnit, LineoutUnit,
  // ScrumUnit) and by UDPUserControl when a user takes him.
  f32 chasertimer;
  f32 PosCopyX, PosCopyZ;  // a copy of Pos.x and Pos.z made by the world defaults
  f32 Height;
  f32 Weight;
  f32 BodyWidth, BodyDepth;  // 0.15 x Height and 0.8 x BodyWidth
  // Pos, where he stands: moved every frame by MoveToDesiredPosition and
  // InterPen, pushed by CollisionDetect (bumps) and by Strategy's carrier
  // moves. OldPos, last frame's Pos: kept by MoveToDesiredPosition before it
  // moves him; Strategy sets it where a carrier's move restarts. DesiredPos,
  // where he goes: set every frame by SetDesiredPosition's handlers, then
  // overridden by DelayPlayers (forced moves and the releases) and by
  // UDPUserControl for a user's player.
  TVector3 Pos;
  TVector3 DesiredPos;
  TVector3 OldPos;
  TVector3 Direction;
  f32 DistToDesired;  // m, planar distance from Pos to DesiredPos: ArrivalDistance
  // m/s. desiredspeed, the speed he tries to reach: set every frame by
  // SetDesiredSpeed, also by Strategy's carrier decisions, UDPUserControl,
  // SetDesiredPosition's handlers and DelayPlayers' forced runs. speed, the
  // speed he runs: set every frame by AccelerateToDesiredSpeed from
  // desiredspeed, also by CollisionDetect (bumps), DelayPlayers (forced
  // runs) and LookAtPosition (side-steps).
  f32 speed;
  f32 desiredspeed;
  f32 DesiredSpeedAux;  // 0.25 by default
  // 14. Fatigue.
  // Fatigued and FatigueTimer (s): AccelerateToDesiredSpeed counts the timer
  // down and turns Fatigued on and off when it runs out; the contact steps of
  // GeneralCollision (RuckContact, TackleContest) shift the timer, half-time
  // and a replacement (SetDesiredPosition) start it afresh.
  bool32 Fatigued;
  i16 FatigueLevel;
  f32 FatigueTimer;
  i16 FatigueFreshTime, FatigueTiredTime;
  // 15. Speeds.
  // m/s, top speed now: MaxSpeedNonFatigued, cut by AccelerateToDesiredSpeed
  // while Fatigued; DelayPlayers puts it back as he gets up, half-time
  // restores it, and the scrum (SetDesiredPosition, ScrumUnit) cuts both for
  // a player it leaves unavailable.
  f32 maxspeed;
  f32 MaxSpeedNonFatigued;
  f32 JogSpeed;
  TVector2 Velocity;
  TVector2 OldVelocity;
  f32 MeasuredSpeed;
  f32 CruiseSpeed;  // 0.7 x maxspeed by default
  // 16. Ball skills.
  f32 maxpassspeed, maxpassspeed2;  // m/s; the second is the long-pass top speed, LongPassSpeed
  i16 KickProb;          // per mille: chance to open kick moves (KickGenPlayChance)
  i16 KickAccuracyProb;  // per mille: accuracy of touch kicks (KickToTouchRating)
  f32 MaxKickSpeed;
  f32 MaxKickRange;
  f32 MaxGoalKickSpeed;  // m/s, kicks at goal and restarts (SecondKickSpeed)
  f32 GoalKickRange;
  // 17. Acceleration, facing, place in the line and cover delay.
  // m/s², Acceleration now and as read (AccelerationInit): cut by
  // AccelerateToDesiredSpeed while Fatigued; DelayPlayers puts back
  // AccelerationInit as he gets up; the scrum (ScrumUnit) cuts both for a
  // player it leaves unavailable.
  f32 Acceleration, AccelerationInit;
  f32 SpeedLossSlope;
  TVector3 LookAtPos;
  // Rewritten every frame by LookAtPosition; set at once where a step turns
  // him (Strategy's carrier decisions, DelayPlayers' falls, a replacement).
  f32 FacingAngle;  // radians
  // InBackline: set and cleared by SetDesiredPosition's handlers
  // (ActionSequences, BreakdownSetup, LineoutUnit, PassingUnit, ScrumSetup,
  // Replacements) and by the support-spot choice they and the contact steps
  // call (SupportSpot); it lasts until the next of them.
  bool32 InBackline;  // stands in his side's 201-slot line, not on a support spot: InLine
  // s, a cover player's delay before he takes over as fullback; its value is
  // the drawn CoverReactionTime.
  TDistribution DefenceTime;
  TDistribution AuxDistribution2;  // (0.7, 0.1, 0.25, 0.85) by default
  // 18. Reaction times.
  TDistribution RunningAngleReactionTime;
  f32 RunningAngleReactionValue;
  TDistribution DefensiveRunningAngleReactionTime;
  // A defender's two pass reaction delays, PassReadTime and PassReactTime
  // (PassReactTime's value counts down the second). The read delay when the
  // ball comes out (BallOutReadTime) draws over the first one's parameters,
  // the reaction to a loose pass (LooseBallReaction) over the second's.
  TDistribution ReactionDelayExtra1;
  TDistribution ReactionDelayExtra2;
  TDistribution ReactionDelayA;
  TDistribution ReactionDelayB;
  TDistribution StrengthChance;
  // 19. Pass timing and accuracy.
  // Action timers of 10 s here and in 22 to 24 are flags, busy while > 0,
  // unless a comment says they count down (DelayPlayers counts those).
  // passtimer, a pass under way: started by Strategy (CarrierPass,
  // BallRelease, MaulHolder, SetPieceHolder, TackledDecision) and by
  // GeneralCollision (a lineout take, LineoutContact); ended by DelayPlayers
  // when the ball leaves his hands (PassRelease, KickRelease) or by
  // AnimatePlayers when his pass animation ends; cleared by Strategy when a
  // new decision replaces it, by SetDesiredPosition when the pass is over
  // (PassInFlight) and by the contact steps (CollisionDetect,
  // GeneralCollision) when he is tackled or play stops.
  // passcatchtimer, a catch armed: started by SetDesiredPosition (passing:
  // the receiver, PassingUnit, PassInFlight) and GeneralCollision
  // (PassingContact); ended by AnimatePlayers when his catch animation ends;
  // cleared by the carrier's actions in Strategy, by the contact steps, by
  // DelayPlayers' kick release and by UDPUserControl.
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
  // ScrumPower: scrummaging strength; its value is the ScrumStrength drawn at
  // each scrum, its mean the InjuryScaledRating cut by a serious injury.
  TDistribution ScrumPower;
  TDistribution StrengthPower;  // drawn each frame of a kind-0 tackle as the carrier's drive (TackleDrive)
  TDistribution StrengthPower2, RuckFactor;
  // 21. Chances and values made from the ratings.
  f32 ElusivenessValue;
  i16 FinesseProb, IndisciplineProb, LookForOffloadProb;
  f32 SupportCommitProb;
  i16 BreakdownChance;  // per mille, the turnover roll at a breakdown: JackleSkill
  f32 BreakdownValue;
  i16 MakeTackleProb, BreakTackleProb, CleanCatchProb, HighBallProb, HoldBallOnContactProb,
      BreakTackleProb2, fend, ElusivenessProb, LineoutJumpProb, lineoutjumping, lineoutthrow,
      AwarenessProb;
  // per mille: a full catch inside his own 22 keeps the mark on a roll up to
  // MarkProb; a forward's kick-return kick stays on a roll up to
  // KickReturnKickProb. 500 each, nothing in the ratings sets them.
  i16 MarkProb, KickReturnKickProb;
  // 22. Forced actions.
  // DiveTimer, s, counts down: started by Strategy (CarrierDive) or
  // UDPUserControl; counted down by DelayPlayers, which starts the get-up at
  // 0; ended early by AnimatePlayers (the try grounded) or GeneralCollision
  // (HeldCarrier, TackleContest).
  f32 DiveTimer, DiveAngle, DiveSpeed;
  i32 DiveKind;
  // shimmytimer, a side-step (shimmy) under way: started by LookAtPosition;
  // ended by AnimatePlayers when the shimmy animation ends, or by
  // DelayPlayers for block 1 outside a breakdown; cleared by every other
  // action's start in Strategy, by the breakdown and defence set-ups of
  // SetDesiredPosition, by the contact steps and by UDPUserControl.
  f32 shimmytimer, ShimmySpeed, ShimmyAngle;
  f32 ShimmyAux1, ShimmyAux2;  // 2.9 and 3.2 by default
  // standuptimer, getting up: started by DelayPlayers (after a dive or a
  // fall) and AnimatePlayers (after a loose-ball dive); ended by
  // AnimatePlayers when the get-up or celebration animation ends; cleared by
  // GeneralCollision (TackleContest) and the scrum and lineout set-up
  // (SetPieceShared).
  f32 standuptimer, StandUpFacing;
  i16 trycelebration;
  bool32 TryCelebrationChosen;
  TDistribution ActionTime1, StrengthScale, ActionTime3;
  f32 TackleAttemptTimer, TackleAttemptAngle, TackleAttemptSpeed, TackleAttemptKind,
      TackleAttemptFacing, TackleAttemptLungeFrame;
  // GettingTackled*: the carrier held in a tackle. Started (timer, facing,
  // kind) by the contact steps of GeneralCollision (TackleContest,
  // ContactHolds, HeldCarrier), by Strategy (CarrierTackled) and by
  // DelayPlayers for a passer or kicker hit as he releases (PassRelease,
  // KickRelease); the timer counts down in DelayPlayers, which puts him on
  // the ground at 0 (OldTackleTimer); ended early by the contact steps, by
  // DelayPlayers' pass release and by SetDesiredPosition's transition.
  f32 GettingTackledTimer, OffloadPending, GettingTackledAngle, GettingTackledSpeed,
      GettingTackledKind, GettingTackledFacing;
  // A break through a tackle: started by Strategy (CarrierBreak) or by
  // CollisionDetect (a stumble); ended by AnimatePlayers when its animation
  // ends, by CollisionDetect and GeneralCollision (TackleContest) on
  // contact, and by the scrum and lineout set-up (SetPieceShared).
  f32 BreakTackleTimer;
  f32 ActionCode;
  // A step run: started by Strategy (CarrierSideStep); ended by
  // AnimatePlayers when its animation ends, by CollisionDetect and
  // GeneralCollision (TackleContest) on contact, and by the scrum and lineout
  // set-up (SetPieceShared).
  f32 StepTimer;
  // KickTimer, a kick under way: started by Strategy (CarrierKick) and by
  // SetDesiredPosition (the restart kicker, KickRestartSetUnit); ended by
  // DelayPlayers when the ball leaves the foot (KickRelease) or by
  // AnimatePlayers when block 1's kick animation ends; cleared by Strategy
  // when a new decision replaces it, by DelayPlayers' pass release and by
  // the contact steps (CollisionDetect, GeneralCollision) on contact and by
  // the scrum and lineout set-up (SetPieceShared).
  f32 KickTimer, KickRunAngle, KickRunSpeed, KickKind, KickFacing;
  f32 freeballcatchtimer, FreeBallCatchAngle, FreeBallCatchSpeed, FreeBallCatchKind,
      FreeBallCatchValue;
  i16 HighBallProb2;  // per mille, chance of a high jump catch: JumpCatchHighChance
  f32 FreeBallCatchRecoverFraction, FreeBallCatchFacing;
  // ForcedRunTimer, s, counts down: started by CollisionDetect (a bump) and
  // GeneralCollision (a knock-on, PassingContact); counted down by
  // DelayPlayers; ended early by the releases (DelayPlayers), AnimatePlayers,
  // GeneralCollision (TackleContest) and the scrum and lineout set-up
  // (SetPieceShared).
  f32 ForcedRunTimer, ForcedRunAngle, ForcedRunSpeed, ForcedRunFacing;
  // 23. Following.
  i32 playertofollow;
  // s, counts down: started by DelayPlayers at the pass release
  // (PassRelease); counted down by DelayPlayers; cleared by the breakdown and
  // transition set-ups of SetDesiredPosition, by GeneralCollision
  // (TackleContest) and UDPUserControl.
  f32 playertofollowtimer;
  // 24. Special actions.
  // SpecialAnimTimer, a special action (throw-away, restart walk, tap kick,
  // conversion walk-off): started by SetDesiredPosition (KickRestartSetUnit,
  // ScrumUnit, TransitionUnit), DelayPlayers and AnimatePlayers; counted
  // down by DelayPlayers for kind 0 only; ended by AnimatePlayers when its
  // animation ends; cleared by GeneralCollision, DelayPlayers' kick release,
  // Strategy (CarrierDive) and UDPUserControl.
  f32 SpecialAnimTimer, SpecialAnimAngle, SpecialAnimFacing, SpecialAnimSpeed, SpecialAnimKind;
  f32 CelebrateTimer, CelebrateKind, CelebrateFacing, CelebrateTimer2;
  // RuckTimer, in a ruck or scrum pack: started by SetDesiredPosition (the
  // breakdown set-up, BreakdownSetup; ScrumUnit); ended by GeneralCollision
  // when the ruck breaks up (RuckContact, PassingContact), by Strategy when
  // the ball is released (BallRelease), by DelayPlayers' pass release and by
  // the scrum's end (ScrumUnit, SetPieceShared).
  f32 RuckTimer, RuckRole;
  // s, breakdown release delay (BreakdownTimer, ContactBusyTimer); the
  // player is busy while > 0.
  f32 RuckTimer2;
  // s, before a player who left a ruck or a loose lineout may join play
  // again; set by the contact steps, busy while > 0.
  f32 RuckJoinDelay;
  // LineOutTimer, a lineout role under way: started by SetDesiredPosition
  // (LineoutUnit); ended by AnimatePlayers when the lineout animation ends
  // after the lineout, by GeneralCollision (LineoutContact), DelayPlayers'
  // pass release and the lineout set-up (LineoutSetup, SetPieceShared).
  f32 LineOutTimer, LineoutRole, LineoutFacing;
  i32 LiftTarget;  // for a lifter, the jumper he lifts: LiftedJumper
  // OldTackleTimer, s, on the ground after a tackle, counts down: started by
  // DelayPlayers (a fall, or the pass release of a tackled passer,
  // PassRelease), GeneralCollision (RuckContact), Strategy (BallRelease) and
  // the transition (SetDesiredPosition); counted down by DelayPlayers, which
  // stands him up at 0; cleared by the scrum and lineout set-up
  // (SetPieceShared).
  f32 OldTackleTimer, OldTackleFacing;
  u16 OldTackleKind;  // the tackle a player let go of when a ruck broke up: 2 kind 2, else 1
  // 25. Marking links.
  // Tackle links: target, whom he tackles, and governedby, who tackles
  // him, with their counts. Started by GeneralCollision (TackleContest,
  // ContactHolds); ended by DelayPlayers when the tackle goes to ground
  // (also at the pass release, PassRelease) and by SetDesiredPosition's
  // transition, scrum, half-time and replacement set-ups.
  i32 target, numtargetting, governedby, numgoverning;
  // 26. Body outline.
  Arr1<TVector2, 8> Footprint;
  Arr1<i32, 8> FootprintHolder;
  // 27. Contact momentum.
  f32 ImpactMass, ImpactAngle, ImpactSpeed;
  // 28. Offside.
  // Started (marked) and ended by Offsides each frame; cleared by the
  // breakdown and transition set-ups of SetDesiredPosition and by
  // GeneralCollision (FreeBallCatch).
  f32 OffsideMark;
  f32 PrevOffsideMark;
  f32 OffsideLineZ;
  bool32 OffsideStays;
  i16 DisciplineProb;  // per mille, the offside roll: OffsideDiscipline
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
  f32 StepKind;         // side-step kind: 1 step left, 2 step right, 3 spin left, 4 spin right
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
  f32 MetresRun;    // m gained carrying the ball (a backward run lowers it): RunningMetres
  f32 TimeOnField;  // s on the field

  // 33. Perception, refreshed by the first frame step only when the
  // player's look timer runs out; the decision step reads play through it.
  f32 PerceptionTimer;     // s, to the next look
  f32 PerceptionInterval;  // s, drawn at the last look
  u16 PerceivedPlayer;     // block-1 player watched: carrier (running), receiver (passing), else 0
  bool32 PerceivedLineBreak;
  bool32 PerceivedCarrierTackled;
  TGameState PerceivedGameState;
  bool32 PerceivedRuckThreat;    // block 2 only
  f32 DrawAndPassStartValue;     // s, drawn at the first look that finds passing

  // 34. Positioning (game-flow handlers), kept across frames.
  TVector3 PrevDesiredPos;  // DesiredPos of the previous frame
  u16 SupportSide;          // side of his support spot, 1 or 2, 0 none
  // Line alignment of the tackled and set-piece states. No step sets the
  // role and alignment yet, so they stay 0 and a line player keeps his
  // slot's depth.
  i32 RoleCode;             // -1, -2, -3 also give top speed in passing
  i32 AlignRefPlayer;       // whose Pos.z a back aligns on (RoleCode -1, -2)
  TVector2 AlignPoint;      // m
  f32 AlignDepth;           // m, behind his slot (RoleCode 3, 6, 7)
  TVector2 PersonalOffset;  // m, added last to a line player's position
  bool32 DeepFlag;          // stands 1.5 m deeper in the line
  f32 ArrivalTimeScale;     // relative lengthening of his breakdown arrival time
  f32 ArrivalTimeJitter;    // range of that draw; 0, so the scale stays 0
  // s, drawn at each breakdown set-up; its distribution is all zero and no
  // step reads the draw.
  TDistribution RuckReactionTime;
  f32 PassingSupportSpeed;  // m/s, a support player's speed in passing
  f32 SpeedOverride;        // m/s, used in running and passing while the flag is set
  bool32 SpeedOverrideOn;
  i16 FullSpeedOrder;       // > 0 gives top speed in running, passing and free ball
  TVector2 LineSlot;        // m, his slot on the block's spread line in free ball
  TVector2 FreeBallWaitSpot;  // m, where he waits for the free ball
  i32 FreeBallPointIndex;   // 1..8, the sample point he aims at
  f32 FreeBallReachTime;    // s, to reach his point; counted down between re-plans
  bool32 CanReachKeyPoint;  // at the last re-plan he could reach the key point in time
  f32 ChaseSpeed;           // m/s, allowed to a free-ball chaser or restart kicker
  f32 InterceptX, InterceptZ;  // m, his meeting or target point
  i16 GroundPosture;        // 1 face down, 2 on his back
  // Celebration of a try.
  f32 CelebrateDelay;       // s, before a joining player's gesture starts
  i32 CelebrateJoin;        // 1 joins the celebration, else 0
  i32 CelebrateStage;       // 0 at the start; advanced when his celebration is done
  bool32 CelebratesTry;     // a dive for the line ends with his celebration
  // Lineout.
  i32 LifterFront, LifterBack;  // for a jumper: the lifters in the next and previous occupied slot
  f32 LineoutHeading;       // degrees, set with LineoutFacing

  // 35. Defence (block 2), kept across frames.
  i32 ChaseTarget;          // attacker he chases while chasertimer > 0 (ClosingTarget)
  i32 ChaseTargetOverride;  // attacker he chases in passing while ChaseTimer > 0
  bool32 PressCandidate, CanIntercept, OnRefSlot;
  bool32 RuckMarking;       // he marks a ruck runner
  i32 RuckMarkedRunner;     // the runner he marks, 0 none
  // Rest styles of a breakdown, far from and near the mark (0 "breathing");
  // no set-up gives them other values.
  u16 RestStyleFar, RestStyleNear;
  // The defender closes on the carrier (chasertimer > 0 and ChaseTarget the
  // carrier) and is engaged with him (TackleAttemptTimer > 0 and target the
  // carrier); the defence keeps them, the look-ahead reads them.
  bool32 ClosingOnCarrier;
  bool32 ClosingEngaged;

  // 36. Motion and animation working values, kept across frames.
  bool32 AnimFreshStart;    // the gait or rest animation started at frame 0
  u16 RestStyle;            // 0 "breathing", 1 "breathingnormal", 2 "breathingback", 3 "breathingforward", 4 "breathingtired"
  u16 ScrimmageNumber;      // N (1..5) of his scrimmage animations, 0 none
  u8 ScrimmageRole;         // 1, 3, 4, 8, 16, 17 make no standing actions
  i16 ActionsWanted;        // standing actions in this breakdown or scrum
  i16 ActionsMade;          // made so far; -1 not drawn yet
  f32 NextActionTime;       // s of clock, from which the next standing action may start
  i32 TurnLeftWithBall, TurnRightWithBall;  // the carrier turns; cleared when the turn animation starts
  i32 ShimmyKind;           // 1 long and 3 short side-step one way, 2 and 4 the other
  f32 ShimmyDuration;       // s
  f32 ShimmyFacing;         // degrees, held during a side-step
  i32 StandUpKind;          // 1 after a dive, 17 the turned get-up, 2..16 a try celebration
  f32 StandUpTurn;
  f32 GroundTime;           // s, how long he lies after his tackle ends (FallTime)
  i32 MaulHoldKind;         // 0 holds the ball in the maul, 1 left to locomotion
  f32 MaulHoldTimer;        // s
  bool32 JumpCatchHigh;     // his next jump catch is a high one; drawn at every kick
  // Countdowns, s.
  f32 ActionHoldTimer;
  f32 AngleReactionTimer;
  f32 CarryTimer;
  f32 AuxTimer1, AuxTimer2, AuxTimer3;
  f32 ContactDelayTimer;    // short ban on contact after a kick
  // s, after touching a loose ball he cannot touch it again; set by the
  // contact steps, counted down by the timer step.
  f32 BallTouchLockTimer;
  // He has been taken off his side's support grid by a catch or an
  // interception (his cells cleared); the catch re-slots him on the line.
  bool32 SupportGridCleared;
  f32 ChaseTimer;
  // Blocks between players: the record (first half) and the engagement
  // count (second half), both > 0 while engaged; nothing engages yet.
  Arr1<i16, 2> BlockEngaged;
  i16 BlockReady;           // > 0 with the event's lookForBlocks: top speed
  u16 BlockLoopNumber;      // of the "blockloop" animation
  f32 BlockFacing;          // degrees
  f32 BlockExitTimer;       // s; cleared when its animation ends
  u16 BlockExitNumber;      // 1..16 of "blockexit"
  f32 BlockExitFacing;      // degrees
  f32 BlockExitedOnTimer;   // s, being got past; cleared when its animation ends
  u16 BlockExitedOnNumber;  // 1..16 of "blockgotexitedon"
  f32 BlockExitedOnSpeed;   // m/s
  f32 BlockExitedOnFacing;  // degrees
  // Contact lists, reset at every kick.
  Arr1<i32, 25> ContactListA;
  Arr1<i32, 25> ContactListB;

  // 37. Passes.
  bool32 PassReactionDone;  // his reaction to the current pass is judged
  TVector2 BallCatchPoint;  // m, where he can meet the ball
  bool32 PassCatchArmed;    // the receiver's catch is armed
  f32 PassReadTimer;        // s, the first reaction delay counting down
  f32 LooseBallReactionTime;  // s, after the planned arrival
  f32 PassAccuracyBonus;    // m, forward allowance of a candidate target
  // s, drawn at the release and read nowhere; their distributions are all zero.
  f32 PostPassTime, ReceiveTime;
  TDistribution PostPassTimeDist, ReceiveTimeDist;

  // 38. Contact, kept by the contact steps. Rows per opponent j (his number
  // in the other block): while ContactTimer[j] > 0 no new bump of the pair
  // is detected from this side; ContactFlags[j] marks the pair for the
  // contact steps.
  Arr1<f32, 25> ContactTimer;  // s, counted down every frame, without a floor
  Arr1<bool32, 25> ContactFlags;
  f32 ContactMark;        // cleared every frame by contact detection; read by the first frame step
  f32 ContactSpeedScale;  // the last draw of ContactSpeedDist
  // The tackle contest of the running contact step.
  i32 BreakCount;          // tackles the carrier has broken with a break move; a third try has half the chance
  i32 ShortReachFlag;      // > 0: his tackle reach is 0.4 m (0.45 m on the look-ahead world); 0 by default
  i16 BallSecurity;        // per mille, compared between carrier and tackler; 500 for every player by default
  f32 DefenderHoldTimer;   // s, cleared when he launches a tackle; the positioning handler reads it
  i32 HoldPointLock;       // -1 for every player when a tackle completes; the positioning handler reads it
  TVector2 TackleOffset;   // m, drawn per player (up to 0.25 m, any heading) when a tackle completes
  // Factor of the carrier's knock-on speed after a grounded bump. No step
  // gives it values, so every draw (which still takes its two numbers) is 0.
  TDistribution ContactSpeedDist;
  // The held carrier going to ground early: by how much (s) it shortens the
  // join window, drawn once per tackle. No step gives the distribution
  // values, so every draw (which still takes its two numbers) is 0.
  TDistribution GoToGroundDist;
  f32 GoToGroundTime;  // s, the last draw
};

// ---------------------------------------------------------------- team block
struct TTeamBlock {
  // The side: strategy, possession times, attacking line, move and score.
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
  i32 MoveIndex;  // open-play move last applied by the sampler, or 1
  // s, while > 0 after a kick-return draw the carrier's key event waits for
  // a defender to close in (below 0.3 s), then is marked at his current event.
  f32 KeyEventTimer;
  // The kick-return option drawn at a full catch: 1 run, 2 attacking kick,
  // 3 defensive kick; kept when no draw happens.
  i16 KickReturnOption;
  i32 score;
  i32 AttackSide;
  // The set-piece holder has committed to a pass or pick-up
  // (HolderCommitted); cleared by the ruck and scrum set-ups and at half time.
  bool32 HalfTimeAux;
  bool32 DecisionsOn;  // the holder controls act for this side (PlayOn, FollowAll); true in both blocks
  bool32 HalfTimeFlag;
  // Breakdown and set-piece working area.
  TDistribution RuckTime;          // time for the ball to come out of a ruck
  TDistribution TurnoverRuckTime;  // the same after a turnover
  Arr1<f32, 8> DistanceTable;      // 0.5, 1, 2, 4, 8, 16, 32, 50 m
  f32 CarryMaxZ;
  i32 SetPieceHolder;
  i32 TackledPlayer;
  f32 SetPieceLineZ;  // m, the side's offside line at a breakdown or set piece: RuckLineZ
  // The side's ruck, maul and scrum pack (see TSpotTable). Its spot offsets
  // belong to the block position: an exchange of the blocks leaves them.
  TSpotTable PackSpots;
  // Possibly the pack's RuckLineSpots (PackSpots.PosA); kept apart until a
  // reader shows it.
  Arr1<TVector2, 10> ScrumSidePairs;
  i32 LineoutCount;
  i32 LineoutThrower;
  Arr1<i32, 15> LineoutSlots;  // player per lineout slot, 0 empty: LineoutPlayers
  Arr1<TVector2, 15> LineoutSlotOffsets;
  Arr1<TVector2, 15> LineoutSlotPos;  // m, slot positions
  Arr1<i32, 15> LineoutSlotRoles;    // 1 lifter; 2, 3 others; 0 empty: LineoutSlotKinds
  f32 LineoutReceiverDepth;  // m, the back line behind the line of touch: BacklineDepth
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
  Arr1<TVector2, 201> LineSlotPos;  // LineOffsets
  Arr1<TVector2, 201> SetPieceSlotPos;  // absolute slot positions (LineSlotX; LineSlotPos of the ruck handlers)
  Arr1<i32, 201> SetPieceLine;          // player per slot, 101 the holder (LineSlots)
  // Support-spot grid.
  i32 SupportGridSize;
  TSupportGrid<u16> SupportGridCells;  // [row][column]: player number, 0 free
  TVector2 SupportGridOrigin;
  TSupportGrid<TVector2> SupportGridSpots;  // cell points (SupportGrid)
  TSupportGrid<i32> SupportGridWeights;
  TSupportGrid<i32> SupportGridWeightsAlt1;  // the stored weights restored at a breakdown: SupportGridWeightStore
  TSupportGrid<i32> SupportGridWeightsAlt2;
  // Players.
  Arr1<TPlayer, 25> Players;
  // Pass.
  i32 Passer;
  f32 ReceiverRunAngle;
  f32 ReceiverRunSpeed;
  f32 PassFlightTime;
  f32 PassFlightLeft;
  // s, the pass's own countdown in the passing contact step: set to
  // PassFlightLeft at the release, lowered only there.
  f32 PassCountdown;
  i32 PassReceiver;
  f32 PassTimeLeft;
  f32 PassDuration;  // s, the total PassTimeLeft counts down from (PassTimeTotal)
  TPassLaunch PassLaunch;  // the launch of the pass being released: PassPlan
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
  f32 DefenceLineAux, DefenceLineOffset;  // m, origin offset x, z of the side's shape: ShapeOffset
  f32 StrategyTimer;
  f32 DefenceLineSpeed;
  f32 DefenceLineZ, DefenceLineRefZ;  // m; the second is the retreat reference DefRetreatZ
  f32 AuxScrumValue;
  // Tackle momentum (block 2): the carrier and every bound tackler moving
  // on together; kg, degrees, m/s.
  f32 TackleMass, TackleHeading, TackleSpeed;
  i16 FirstTackler;  // block 2: the defender who bound first in the current tackle
  // Block 1, cleared when a tackle completes. The first marks a new carry
  // (the animation step and the look-ahead read it); the other two have no
  // writer that sets them.
  bool32 CarryStartFlag;
  bool32 AttackPhaseFlag;
  i32 SidePlaySeq;
  // s, window for an offload opened at the tackle (OffloadWindow).
  f32 OffloadTime;
  // Defence working area.
  f32 DefenceShapeValue;             // 0.2 by default
  TStrategyShape DefenceStepShape;   // six segments, down to -42
  TStrategyShape DefenceShape;
  TPlayerList AttackBacksList;  // attackers to mark: DefAttackers (count AttackBacksCount)
  TPlayerList SetPieceWorkList;
  i32 SetPieceWorkCount;
  bool32 DefenceFillFromFront;  // FillFromFront
  TSlotLine MarkedLine;  // the attacking line rebuilt for the defenders: OppSlotLine
  i32 AttackBacksCount;  // DefAttackerCount
  i32 FreeDefendersCount;  // DefLineCount
  i32 SurplusDefenders;    // DefSurplus
  TPlayerList FreeDefendersList;  // defenders by ascending x: DefLine
  TSlotLine DefenceLine;  // block 2's back-line slots: DefSlotLine
  // The attacker (a block-1 player number) this block's defence chases, 0 =
  // none; a defending user's chase button runs him down. The defence's
  // reference attacker, DefRefAttacker.
  i32 BlockChaseTarget;
  i16 DeepPlayerNumber;  // the fullback or sweeper, 0 none: Fullback
  // Who may take the fullback's place, in order: 14, 11, 10, 12, 13, 9, 8,
  // then 0 (FullbackCoverList).
  Arr1<u16, 10> BackfieldOrder;
  Arr1<i16, 2> TailPair;
  // Ball-carrier decision (block 1 is the side in possession).
  f32 TimeToContact;        // s until the nearest eligible defender reaches the carrier; 10000.0 when none
  i32 ActOnCatchAllowed;    // 1 lets a carrier who is still catching start a pass
  bool32 ShortRunFlag;      // the receiver of a ruck pass runs a short line
  bool32 SampleRequest;     // the holder asks for the moves to be sampled again (match world)
  bool32 CatchingUp;        // the side plays its catch-up field-strategy half (CatchUpOn, CatchUpActive)
  // The carrier's action code; 6 keeps the touch alarm down while his pass
  // is wound up (passtimer > 0).
  i32 CarrierActionCode;
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
  // The receiver of the pass is still to be sent on his run (0: none); the
  // lineout take clears it.
  i32 ReceiverRunPending;
  f32 PasserHeading, PasserHeadingOffset;  // degrees
  TVector2 RelativeCatchPoint;  // m
  Arr1<i32, 5> PassReactors;    // defenders (this block) who may bite on a dummy
  // The carrier's next decision: a DecisionTimer of 0 lets him decide again
  // at the next decision step; a contact that upsets his plan also requests
  // a decision (match world only).
  f32 DecisionTimer;  // s
  bool32 DecisionRequested;
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
  i32 MaulCarrierSlot;      // 1..10 of the carrier in PackSpots.OccupantB, 0 when in none
  i32 MaulOption;           // 1..8, 0 when none drawn
  f32 MaulPassTimer;        // s, counted down by the maul handler
  i32 LeftLineCandidate, RightLineCandidate;        // line players nearest the holder
  i32 LeftSupportCandidate, RightSupportCandidate;  // support-grid players

  // Game-flow working fields, kept across frames. Breakdown and scrum:
  i32 RuckCommitWanted;     // players the side sends into the ruck (attack 1..6, defence 0..6)
  i32 RuckCommitCount;      // players actually sent
  i32 RuckFlankA, RuckFlankB;  // players bound at the two sides of the ruck, 0 none
  u16 SelectedPlayer;       // sent behind the ball while the carrier is tackled, 0 none
  f32 FirstToBreakdownGap;  // m, his distance behind the ball (1.5)
  bool32 FeedNegativeSide;  // the scrum-half stands at negative x
  f32 PackGap;              // m, of the scrum pack from the mark before the engagement
  f32 PackDriveAccel;       // m/s2 of the drive into the engagement
  f32 PackDriveSpeed;       // m/s
  f32 PackDriveMax;         // m/s, also the rate at which PackGap closes
  f32 PackWeight;           // summed Weight of the eight forwards
  f32 PackPush;             // scrummaging power of the pack
  TVector2 ScrumBallExitPoint;  // m, the back of block 1's scrum
  i32 TacklersWanted;       // 1..3, defenders the running contact step wants on the carrier
  // Lineout throw.
  f32 JumpLeadTime;         // s, 0.42: the jump starts with this long left to fly
  f32 JumpLeadAdjust;       // s, 0
  f32 ThrowTime;            // s, flight time of the throw
  f32 ThrowTimeLeft;        // s, countdown of the throw for the jumper
  f32 MaxThrowSpeed;        // m/s, 12.0
  TVector3 ThrowStart;      // m
  // Kick restart.
  TVector2 RestartMark;     // m, origin of RestartOffsets
  Arr1<TVector2, 25> RestartOffsets;  // m, each player's place from the mark
  f32 RestartRunUp;         // m, of the kicker's start point behind the aim point
  TVector2 RestartStartPoint;  // m
  TVector2 RestartAimPoint;    // m, the point the kicker runs at and faces (RestartFacePoint)
  f32 GoalKickReleaseTime;  // s, drawn release time of the restart kick
  // Free ball and chasers.
  i32 ChaserCount;          // chasers the block sends, or pressure defenders chosen
  Arr1<i32, 5> ChaserSlots;       // slot 1 the lead, 0 empty
  Arr1<i32, 5> PrevChaserSlots;   // the previous selection
  Arr1<i32, 5> DefExtras;   // spare defenders out of the line, ascending x
  i16 LeftEdgePlayer, RightEdgePlayer;  // 0 none
  f32 LineStart;            // m, x of the first slot of the spread line
  f32 LineGap;              // m, between neighbours
  f32 LineMinGap;           // m, 7.0 in free ball
  // Defence organisation (block 2).
  i32 DefPrevRefAttacker;   // reference attacker of the previous call
  bool32 DefAttackToNegX;   // the attack is expected toward negative x
  u16 PrevFullback;         // DeepPlayerNumber at the start of the call
  u16 FullbackCandidate;
  bool32 FullbackCoverNeeded;
  f32 FullbackCoverTimer;   // s, since the candidate was chosen; counted up
  i32 DefSlotLow, DefSlotHigh, DefSlotCount;
  i32 DefRefSlotFirst, DefRefSlotLast;
  i32 DefWindowStart, DefWindowEnd;
  i32 DefRefWindowFirst, DefRefWindowLast;
  i32 DefAnchorSlot;        // window slot whose defender squares up to the reference
  i32 PressWanted;          // pressure defenders wanted
  bool32 DefHeadingForTouch;  // the reference's line meets touch short of the goal line (RunLineMeetsTouch)
  // Follow: the block-2 player who does not follow; nothing writes it.
  i32 FollowExempt;

  // Motion and ball working fields, kept across frames. Passes:
  i32 PassPrepared;
  f32 PassTimeAux;          // s
  f32 PassFlightTotal;      // s
  f32 PassLooseTime;        // s since the planned arrival
  TVector2 PassGroundPoint; // m
  f32 PassGroundTime;       // s
  bool32 ReceiverReaimDone;
  f32 ReceiverReaimTimer;   // s
  i32 PrevAttackSide;
  f32 PasserSpeedRef;       // m/s (PasserRunSpeed)
  i32 CatchSide;            // 1 or 2, for the catch animation
  i32 CatchHeight;          // 1..4
  i32 LooseChaserCount;     // 1..5
  Arr1<i32, 5> LooseChasers;
  f32 PressureTimerA, PressureTimerB;  // s, block 2's pair, counted down
  // Candidate throws along a receiver's run (block 1).
  TThrowTargetTable ThrowTargets;
  // The carrier's evasive action and a tackled kicker (block 2 for the last).
  i32 CarrierActionKind;    // TCarrierAction (motion/ActionAnimations.h): 4 break, 5 step
  i32 CarrierActionStage;
  f32 CarrierActionTime;
  bool32 CarrierActionEnded;
  bool32 CarrierFallsForward;
  i32 ImpactSlot;           // 1..8, circle point nearest TackleDirForward
  Arr1<i32, 8> ImpactSlotFree;  // -1 away from the impact, 0 at it
  TVector2 TackleDirForward, TackleDirBack;  // unit vectors
  f32 SampleTimer;          // s, countdown of the move sampler
  // Block 2: the last fall of a held player in the contact steps, written
  // whole at each fall. Unit vectors (-cos a, sin a) of the fall's impact
  // heading a and of a + 180; the circle point (1..8 round the held player)
  // nearest the impact; every point but that one and its two neighbours
  // (no wrap from 8 to 1) blocked, so a holder there falls forward.
  TVector2 FallImpactDir, FallReverseDir;
  bool32 FallForward;       // the held player falls forward
  i32 FallPoint;
  Arr1<bool32, 8> FallPointBlocked;
};

// The rule kinds of a kick, TWorld.KickType: a kick in open play, a drop goal,
// or in kickrestartset the restart type of block 1 (TTeamBlock.RestartType).
constexpr i32 kKickTypePlay = 0;          // a kick out of hand in open play
constexpr i32 kKickTypeKind1 = 1;         // set by no step; the ten-metre rule reads it with the kick-off
constexpr i32 kKickTypeKickOff = 2;
constexpr i32 kKickTypeDropOut = 4;
constexpr i32 kKickTypePenaltyTouch = 5;  // a penalty kicked to touch
constexpr i32 kKickTypeTapPenalty = 7;
constexpr i32 kKickTypePenaltyGoal = 8;
constexpr i32 kKickTypeConversion = 9;
constexpr i32 kKickTypeDropGoal = 10;

// ---------------------------------------------------------------- world
struct TWorld {
  // 1. Injuries on; the catch search's step and reach.
  bool32 injurieson;
  f32 CatchSearchStep;
  f32 CatchReach;
  // 2. Run shape and the last two passers of the possession.
  f32 RunShapeTimer;
  i16 LastPasser, PrevPasser;
  // 3. Clocks of the frame.
  f32 ElapsedTime;
  f32 TimeSinceSetPiece;
  bool32 FromSetPiece;  // play restarted from a scrum or lineout
  // 4. Game-state history.
  TGameState FrameGameState;
  TGameState PrevFrameGameState;
  TGameState FromGameState;
  f32 TimeInGameState;
  // 5. Line breaks.
  bool32 LineBreak, LineBreak2, PrevLineBreak;
  bool32 LineBreak3, LineBreak4;  // third and fourth stages
  // 6. Timed messages.
  Arr1<f32, 4> MessageTimers;  // s
  u16 StatPlayerCursor;  // player slot of the next time-played message (StatPlayerIndex); starts at 1
  // 7. Message queue.
  Arr1<TMatchMessage, 10> MessageQueue;
  Arr1<bool32, 10> MessageSlotFree;
  // 8 - 9. Gain line and the point the play centres on.
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
  f32 TransitionAux;  // s, before the holder may throw the ball away: TransitionHoldTimer
  TVector2 HuddleCentre;
  i32 TransitionStep;
  f32 AuxLineX;
  // 11. Defence re-planning clocks and the exchange of the blocks.
  f32 DefenceCycleTimer;
  // s, the defence's line, matchup and pressure re-planning clocks
  // (DefenceLineTimer, DefenceMatchupTimer, DefencePressureTimer).
  Arr1<f32, 3> DefenceSubTimers;
  bool32 PossessionChanged;
  // 12 - 13. Mark called and half time reached.
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
  // One draw per pass release for the passing contact step: the draw is
  // PassDrawParams.value (PassDraw), armed by PassDrawSet. Its sd is also the
  // pass spread base of the player reader.
  bool32 PassDrawSet;
  TDistribution PassDrawParams;
  TDistribution HeadDistribution2;
  // 15. Advantage, places and sides.
  f32 AdvantageHoldTimer;  // s, the 12.5 s hold: AdvantageLeft
  f32 AdvantageTimer;      // s, the 2.5 s judgement: AdvantageTimeLeft
  Arr1<TInfringement, 10> Infringements;
  TInfringement PrevInfringement;
  TVector2 TouchPos;
  TVector2 ScrumSpot;
  bool32 KickTouchFlag1;  // touch flags of the last kick, cleared when a kick goes:
  bool32 KickTouchFlag2;  // BallBouncedInTouch and KickFlag3
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
  f32 PackAux;  // m, the bind shift, +0.15 or -0.15 per breakdown: RuckBindShift
  // 17. Lineout.
  f32 LineoutZ;
  bool32 LineoutOnNegativeX;
  f32 LineoutRefX;  // m, x of the throwing side's fifth slot: LineoutOriginX
  Arr1<u16, 2> LineoutTargetJumper;  // per block: LineoutJumper, LineoutJumperB
  Arr1<u16, 2> LineoutTargetSlot;    // per block, his slot: LineoutJumperSlot, LineoutJumperSlotB
  f32 LineoutAux;
  bool32 LineoutResolved;  // the lineout contest is decided
  f32 LineoutCountdown;    // s: LineoutTimer
  // 18 - 19. Offload ban, physics constants and the scratch slot line.
  f32 OffloadBlockTimer;
  f32 Gravity;
  f32 GroundFriction;
  Arr1<u16, 201> ScratchLine;  // ScratchSlotLine
  // 20. Shared scratch of the frame steps: written before read within a step.
  // Debug builds poison the group and ScratchLine before every step.
  TPlayerList ScratchPlayerList;
  TPlayerList ScratchPriorityList;  // ScratchPlayerList2
  Arr1<f32, 25> ScratchPlayerKeys;  // sort keys or times, one per player
  Arr1<TVector2, 25> ScratchPositions;
  bool32 SearchFlag2;
  i32 SearchBestIndex, SearchBestPlayer;
  f32 SearchBestDist, SearchDist;
  f32 ScratchValue1, ScratchValue2, ScratchValue3, ScratchValue4, ScratchValue5;
  TVector2 ScratchPoint;
  Arr1<TVector2, 8> ScratchCircle;  // with its flags: CircleTable
  Arr1<bool32, 8> ScratchCircleFlags;
  TVector3 ScratchVector;
  // Weights handed to WeightedRandomIndex by the option choices; a chooser
  // writes the entries it draws from.
  Arr1<i16, 25> ChoiceWeights;
  // 21. The working copy of a field-strategy half.
  TFieldStrategyHalf FieldHalf;  // ZoneStrategy
  // 22 - 23. Game state and its phase counters.
  TGameState gamestate;
  i32 RunningPhase, PassingPhase, GotTackledPhase, MaulPhase, ScrumPhase, LineoutPhase,
      KickRestartSetPhase, TryScoredPhase, FreeBallPhase;
  u16 LeagueChampsPhase, HuddlePhase;
  // 24 - 25. Players per team and the time step.
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
  // 27. Tackle release.
  f32 TackleReleaseTimer;
  // 28. Ball.
  i32 BallPhase;
  f32 BallFlightClock;
  TVector3 BallPos, PrevBallPos, BallTarget, BallVel, PassVel;
  f32 BallMoveSpeed, BallSpeed;
  f32 BallSpin, BallYaw, BallPitch;
  // 29. The flight of the ball in play, as SimulateBallFlight fills it;
  // copied whole at a kick launch (BallFlightTable).
  Arr1<f32, 1000> FlightTimes;
  Arr1<TVector3, 1000> FlightPos;
  Arr1<TVector3, 1000> FlightVel;
  Arr1<f32, 1000> FlightSpeed;
  i32 FlightSegments;
  i32 FlightDrop22Step;   // FlightMarkStep1
  i32 FlightDrop145Step;  // FlightMarkStep2
  i32 FlightLandingStep;
  i32 FlightWideStep;
  i32 FlightFirstDropStep;  // the first marked step to come, where the free-ball points start (FlightCurrentMark)
  bool32 FlightNoDrop;       // no drop step: a low ball, points from the launch on (FlightLowBall)
  f32 BallRadius;  // m
  // Bounce error: speed factor, elevation, heading (BounceSpread; also
  // BounceSpeedFactor, BounceElevationError, BounceHeadingError).
  Arr1<TDistribution, 3> BounceErrors;
  Arr1<TDistribution, 6> HeadDistributions;

  // Game-flow working fields, kept across frames. Frame bookkeeping:
  bool32 FrameTeam1InFirstBlock;      // Team1InFirstBlock at the start of this frame
  bool32 PrevFrameTeam1InFirstBlock;  // and of the previous frame
  bool32 CarrierTackledFlag;  // the carrier (running) or tackled player (gottackled) is being tackled
  bool32 RuckThreat;          // gottackled: a ruck runner or a pass caught near the mark
  bool32 RuckPassNearMark;    // gottackled: the breakdown pass is caught near the mark
  f32 PlayClock;              // s, counted up every frame
  f32 PossessionClock;        // s, counted up; zeroed by MirrorWorld and the set-ups
  f32 TimeInPassing;          // s in passing, 0 outside it
  f32 RestartRefZ;            // m, the ball's z when open play last began
  // The reference attacker's running line meets touch at this z (m); the
  // defence stores it, the look-ahead reads it.
  f32 RunLineTouchZ;
  Arr1<u16, 201> DefSlotAttacker;  // slot line: attacker marked from slot s
  Arr1<u16, 201> DefSlotDefender;  // defender assigned to slot s
  Arr1<u16, 25> DefChaserOrder;    // pressure candidates by ascending InterceptZ
  // Breakdown and scrum.
  f32 BreakdownClock;         // s since the breakdown or scrum set-up (RuckTime of the look-ahead)
  f32 RuckWaitClock;          // s in gottackled since RestartDelay ran out, else 0
  f32 RuckOriginX, RuckOriginZ;  // m, the mark at the set-up
  f32 RuckPrevZ;              // m, MarkZ at the start of the frame
  f32 RuckMinZ, RuckMaxZ;     // m, bounds of the pack's travel
  bool32 TurnoverPending;     // the breakdown or scrum is lost to the other side
  bool32 AttackingRuckPosted; // msgAttackingRuck already posted for this breakdown
  f32 DefendersAloneTime;     // s with only defenders bound
  f32 DefendersAloneLimit;    // s, 0.4 to 0.8 drawn at each breakdown
  bool32 CarrierBrace;        // the carrier braces for contact
  f32 ScrumTimer;             // s, countdown of the engagement calls
  f32 ScrumRollTimer;         // s, to the next collapse roll
  f32 ScrumDriveEnd;          // s after the feed, the drive is brought to a stop
  f32 ScrumStopTime;          // s after the feed, the drive has stopped
  bool32 ScrumPenaltyGiven;   // a collapse of this scrum has been entered
  bool32 ScrumPenaltySide;    // -1 when the scrum had not been turned over
  bool32 ScrumKindFlag;       // read by SetupScrumPlay; cleared after a turnover
  f32 PackOffsetX;            // m, 0.32 between the two packs
  // Set pieces, restarts and stoppages.
  bool32 SetPieceFlag;        // outside the match world every block-2 player follows
  bool32 SetPieceFlagSaved;   // copy taken at a set-piece set-up
  bool32 LineoutNearestSlots; // backs take the free slot nearest their x
  f32 KickRestartCountdown;   // s
  bool32 PossessionChangePending;  // the other side restarts (RestartToOpponents)
  bool32 InfringementIsNew;   // the entry just added is a new incident (NewInfringement)
  // Free ball.
  f32 FreeBallPlanTimer;      // s, to the next choice of chasers (ChaseReplanTimer)
  f32 FreeBallPointsTimer;    // s, to the next rebuild of the points (ChaseWindow)
  i32 FreeBallPointCount;     // 8
  Arr1<TVector2, 8> FreeBallPoints;   // m, sample points on the ball's path (CatchPoints)
  Arr1<f32, 8> FreeBallPointTimes;    // s on the flight clock
  Arr1<f32, 8> FreeBallTimeLeft;      // s, FreeBallPointTimes - BallFlightClock (CatchPointTimes)
  i32 FreeBallKeyPoint;       // the point both sides race for, 1 or 0 (JumpCatchPoint)
  bool32 FreeBallContested;   // both sides can reach it in time (JumpContest)
  Arr1<i32, 2> FreeBallReachCounts;  // per block, players able to reach it in time
  bool32 FreeBallOutOfPlay;   // the ball ends beyond the bounds; no chaser is steered

  // Motion and ball working fields, kept across frames.
  i32 KickType;               // rule kind of the last kick (kKickType*): 0 play, 10 drop goal, else the restart type
  bool32 BallBouncedInField;  // bounced in the field since the kick or pass (PlayedSinceKick)
  bool32 PassDeflected;       // the pass glanced off a defender or was knocked on
  bool32 BounceOffPending;    // the ball step left a bounce off a player for the free-ball step
  bool32 KickedFromOwn22;     // kicked from inside the kicker's own 22
  bool32 SpillPending;        // the next launch is a spill
  bool32 BallJolted;          // the ball is knocked loose from the carrier (BallSpilled)
  f32 CarrierHeldTime;        // s, the running carrier has been held
  bool32 GoToGroundDecided;   // the held carrier goes to ground (CarrierHeldMark)
  bool32 PassIsOffload;       // the pass being released is an offload
  bool32 PassSpiral;          // the release's accuracy roll succeeded (PassOnTarget)
  i32 ForwardLaunchCount;     // passes launched with positive z velocity
  f32 ReceiveTimer;           // s
  i16 ThrowTargetCount;       // candidate points along a receiver's run, at most 100
  f32 BallSpinRate, BallPitchRate;  // radians per second
  f32 PrevBallSpin, PrevBallYaw, PrevBallPitch;  // radians, the previous frame's
  bool32 LooseBallRolling;    // the free ball rolls instead of flying
  f32 LooseBallSpeed;         // m/s
  f32 LooseBallHeading;       // degrees
  bool32 JumpCatchLanded;     // the carrier's first jump-catch animation has ended
  bool32 CarrierPushedByOpponent;  // pushed apart from a block-2 player this frame
  bool32 CarrierPushedByTeamMate;  // pushed apart from a team-mate this frame
  Arr1<Arr1<i32, 4>, 8> CarrierContactSlots;
  f32 ContactCheckTimer;      // s, re-armed to 0.025
  f32 FreeBallContactTimer;   // s
  f32 PostHitTimer;           // s, after the ball strikes a post no second strike is judged
  Arr1<TBlockRecord, 25> BlockRecords;
  // 30. The two team blocks; block 1 holds the side in possession.
  Arr1<TTeamBlock, 2> Teams;
  // 31. Ball attachment.
  bool32 BallAttached;
  i32 LastKnownHasBall;
  // 32. Ball-carrier decision.
  f32 LastContactTime;        // s, copy of block 1's TimeToContact
  bool32 PassOnCatchAllowed;  // a carrier still catching may start a pass
  bool32 StepReactionDone;    // the defenders' reaction to this side-step is applied
  f32 BreakWindow;            // s; no writer, 0
  i32 BreakSide;
  bool32 SetPieceStart;       // no writer, 0
  // s, while > 0 the open-play sampler resamples a running move after 0.45 s
  // rather than 0.75 s; set by the catch and kick-return steps.
  f32 QuickResampleTimer;
  // Left by the timer step each frame of the match (NearestClosing above
  // ClosingThreshold) for the decision step's run-in check. Not scratch: a
  // step that needs a flag of its own for a search keeps it in a local.
  bool32 SearchFlag;
  // 33. Contact: the ball carrier stands on the ground, where tackles and
  // grounded bumps reach him, rather than in the air after a jump catch.
  bool32 CarrierGrounded;
  // The free-ball step's arrival scan, rewritten every frame, per block: the
  // player whose catch action meets the ball, and the player the ball strikes
  // outside a catch (0 none).
  Arr1<i32, 2> FreeBallCatcher, FreeBallToucher;
  // Full catches of the other side's kick in a row without a run option.
  i32 CatchOptionStreak;
  // After a catch with a counter-attack line: 1 opponents ahead crowd the
  // catcher near the -x touch line, 2 near the +x one, 0 neither.
  i32 CatchCrowdSide;
  // s, while > 0 more tacklers may bind to the held carrier (the join
  // window); drawn at the first bind, counted down by the held-carrier stage.
  f32 TackleJoinTime;
  // The carrier's break move was running at the contact being judged.
  bool32 BreakAttempt;
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
// that finds no free slot is dropped. Every word of the slot is written: a
// poster passes 0 for a word it has no value for (the line breaks' and a
// carry end's extravalue, the team and player of a bounce or of advantage
// to both sides), so no stale value of an earlier message survives.
void PostMessage(TWorld& W, i32 teamID, i32 playerID, u8 message, f32 extravalue);

// LookAheadWorld := World, whole, then marked as not live; counted in
// WorkCounters.WorldCopies.
void TakeLookAheadCopy();
