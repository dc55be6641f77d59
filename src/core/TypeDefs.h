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

// A parameter drawn from a clamped normal distribution; `value` holds the
// current draw.
struct TDistribution {
  f32 value;
  f32 mean, sd, min, max;
  bool32 useMin, useMax;
};

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
struct TMatchMessage {
  u32 teamID;
  u32 playerID;  // 0 for a team message
  f32 time;
  u8 message;    // a TMessageType code
  f32 extravalue;
};

// Message codes that this subsystem posts; the output subsystem owns the
// full list.
enum TMessageType : u8 {
  msgPlayerOn = 49,
  msgPlayerOff = 50,
  msgHalfLength = 54,
  msgPlayersPerTeam = 55,
};

// ---------------------------------------------------------------- set-piece helpers
// 201 slots across the pitch, slot 101 the centre: 0 free, 100 the mark,
// else a player number of a team block.
struct TSlotLine {
  Arr1<i16, 201> Slots;
};

// 25 packed player references; 0 marks an empty place.
struct TPlayerList {
  Arr1<i16, 25> Items;
};

// A set-piece layout of two groups of ten spots with occupants and positions,
// with the working words of the set-piece handlers between them.
struct TSpotTable {
  Arr1<i32, 7> Head;
  Arr1<i32, 10> OccupantA;
  Arr1<i32, 20> DataA;
  Arr1<TVector2, 10> PosA;
  Arr1<i32, 10> OccupantB;
  Arr1<i32, 22> DataB;
  Arr1<TVector2, 10> PosB;
  Arr1<i32, 11> Tail;
};

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
  // Working fields of the sequence runner.
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
};

struct TActionSeq {
  bool32 HoldStartPos;
  f32 StartX, StartZ;
  bool32 SeqHeadFlag;
  f32 SeqHeadValue;
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
  bool32 SupportRunCall;
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
  f32 Height;
  f32 Weight;
  TVector3 Pos;
  TVector3 DesiredPos;
  TVector3 OldPos;
  TVector3 Direction;
  f32 speed;
  f32 desiredspeed;
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
  i16 KickProb, KickAccuracyProb;
  f32 MaxKickSpeed;
  f32 MaxKickRange;
  f32 MaxGoalKickSpeed;
  f32 GoalKickRange;
  // 17.
  f32 Acceleration, AccelerationInit;
  f32 SpeedLossSlope;
  TVector3 LookAtPos;
  f32 FacingAngle;  // radians
  bool32 InBackline;
  TDistribution DefenceTime;
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
  TDistribution DrawAndPassStartTime;
  TDistribution PopPassLeftReleaseTime, ShortPassLeftReleaseTime, MediumPassLeftReleaseTime,
      LongPassLeftReleaseTime, StandingStillPassLeftReleaseTime, DummyhalfPassLeftReleaseTime;
  TDistribution PopPassRightReleaseTime, ShortPassRightReleaseTime, MediumPassRightReleaseTime,
      LongPassRightReleaseTime, StandingStillPassRightReleaseTime, DummyhalfPassRightReleaseTime;
  TDistribution OffloadReleaseTime;
  TDistribution PuntRightFootReleaseTime;
  TDistribution GrubberReleaseTime, ChipReleaseTime, KickReleaseTime4, DropKickReleaseTime,
      KickReleaseTime6;
  TDistribution ScrumPower, StrengthPower, StrengthPower2, RuckFactor;
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
  f32 RuckTimer, RuckRole, RuckTimer2;
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
  i16 SlotLineCount;
  Arr1<i16, 15> SlotLinePlayers;
  Arr1<f32, 15> SlotLineX;
  bool32 CarriedIntoOwn22;
  bool32 CarriedIntoOwnInGoal;
  i32 MoveIndex;
  i32 score;
  i32 AttackSide;
  f32 HalfTimeAux;
  bool32 DecisionsOn;
  bool32 HalfTimeFlag;
  // Breakdown and set-piece working area.
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
  Arr1<f32, 15> LineoutSlotOffsets;
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
  Arr1<TVector2, 201> LineSlotPos;
  Arr1<TVector2, 201> SetPieceSlotPos;
  Arr1<i32, 201> SetPieceLine;
  // Support-spot grid.
  i32 SupportGridSize;
  Arr1<u16, 150> SupportGridCells;
  TVector2 SupportGridOrigin;
  Arr1<TVector2, 150> SupportGridSpots;
  Arr1<i32, 150> SupportGridWeights;
  Arr1<i32, 150> SupportGridWeightsAlt1;
  Arr1<i32, 150> SupportGridWeightsAlt2;
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
  f32 PassDuration;
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
  f32 DefenceLineAux, DefenceLineOffset;
  f32 StrategyTimer;
  f32 DefenceLineSpeed;
  f32 DefenceLineZ, DefenceLineRefZ;
  f32 AuxScrumValue;
  // Tackle momentum.
  f32 TackleMass, TackleHeading, TackleSpeed;
  // Tackle window for an offload.
  f32 OffloadTime;
  // Defence working area.
  TStrategyShape DefenceShape;
  TPlayerList AttackBacksList;
  TPlayerList SetPieceWorkList;
  bool32 DefenceFillFromFront;
  TSlotLine MarkedLine;
  i32 AttackBacksCount;
  i32 FreeDefendersCount;
  i32 SurplusDefenders;
  TPlayerList FreeDefendersList;
  TSlotLine DefenceLine;
  i16 DeepPlayerNumber;
  Arr1<u16, 10> BackfieldOrder;
  Arr1<i16, 2> TailPair;
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
  Arr1<f32, 4> MessageTimers;
  u16 StatPlayerCursor;
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
  bool32 CarriedBallPlacementOn;
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
  // 18 - 19.
  f32 OffloadBlockTimer;
  f32 Gravity;
  f32 GroundFriction;
  Arr1<u16, 201> ScratchLine;
  // 20. Shared scratch of the frame steps: written before read within a step.
  TPlayerList ScratchPlayerList;
  TPlayerList ScratchPriorityList;
  Arr1<TVector2, 25> ScratchPositions;
  bool32 SearchFlag, SearchFlag2;
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
  Arr1<TDistribution, 3> BounceErrors;
  Arr1<TDistribution, 6> HeadDistributions;
  // 30.
  Arr1<TTeamBlock, 2> Teams;
  // 31. Tail.
  bool32 BallAttached;
  i32 LastKnownHasBall;
};

static_assert(std::is_trivially_copyable_v<TWorld>, "the look-ahead copies the world as one block");
static_assert(std::is_trivially_copyable_v<TPlayer>);

// The match, and the copy on which the look-ahead runs.
extern TWorld World;
extern TWorld LookAheadWorld;

// Posts a match message into the first free slot of the queue; a message
// that finds no free slot is dropped.
void PostMessage(TWorld& W, u32 teamID, u32 playerID, u8 message, f32 extravalue);

// LookAheadWorld := World, whole, then marked as not live.
void TakeLookAheadCopy();
