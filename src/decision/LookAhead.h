// The look-ahead: one candidate set move played forward on a copy of the
// world, frame by frame with the engine's own frame steps, until the play
// resolves; the outcome comes back as a TSimResult for MoveFitness. The
// move samplers copy the match world afresh (TakeLookAheadCopy) before every
// call, since a call leaves its world in the end state.
#pragma once

#include "core/MoveBook.h"
#include "core/MoveFitness.h"
#include "core/TypeDefs.h"

// Plays Move on W (the look-ahead copy) and fills Result (every field set).
//
// Set-up: with ApplyFirst set, ApplyMove applies block 1's MoveIndex first
// (in gottackled the look-ahead log Form1.Memo1 gets "<MoveIndex> feasible"
// or "<MoveIndex> NOT feasible"); a move found not feasible runs no frame and
// reports PossessionLost and NotFeasible. Block 1's DecisionsOn and
// CarriedBallPlacementOn are set, LiveWorld cleared, and a TimeStep or
// PrevTimeStep not above 0 becomes 0.01 s.
//
// Each frame: in running the carrier without a sequence gets the template
// (StrategyParams.ActionSeqTemplate); BallCarrierDecision; the template
// again and the touch-line cap of a plain first event (Angle 90 within 1.1 m
// of a touch line when heading out); frame steps 7 to 21 of FrameSteps
// (footprints to ball update); the move's SimTimeStep becomes TimeStep;
// frame steps 1 to 4 (SampleWorld to CollisionDetect). Steps 5, 6, 22 and 23
// never run. Every step runs under the float-flag check of RunFrameStep, so
// a floating-point error raises as in a match frame.
//
// The run ends after 20.0 s of simulated time, on entering kickrestartset or
// transition, and by the tests of its start state: from running on a change
// of possession, a lost ball, touch, the try line, the move's gain, tackle,
// free-ball and forced-run stops, or SimDuration of forward time; from
// gottackled on leaving open play, a change of possession, the try line, a
// new tackle (StopOnTackle), the ball over touch (MoveCode 3) or SimDuration
// plus RestartDelay of forward time. A step of SimTimeStep not above 0 logs
// the diagnostic to the look-ahead log once; such a run ends after 2000
// frames (20.0 s at the 0.01 s step).
//
// MoveCode is the ruck sampler's play kind (3 stops at touch), 0 from open
// play. Allocates nothing and logs nothing per frame; the random draws are
// those of the steps it runs.
void SimulateAhead(TWorld& W, const TMove& Move, u16 MoveCode, TSimResult& Result);
