// Support spots, template runs and the execution error of a pass: what the
// timer step does when a player's timed action ends or a pass is released.
#pragma once

#include "core/TypeDefs.h"

// Cells a side of the block's support grid, limited to the table.
int SupportGridSide(const TTeamBlock& T);

// Frees every cell of the grid in use (rows and columns 1..side).
void ClearSupportGridCells(TTeamBlock& T);

// Frees every cell of the grid in use that holds player p.
void ClearPlayerSupportCells(TTeamBlock& T, i32 p);

// Moves the grid's origin to (X, Z) and recomputes its cell points: cell
// (r, c) at (X + c, Z - r), 1 m apart, row 1 nearest the ball holder and
// rows running back towards smaller z.
void SetSupportGridOrigin(TTeamBlock& T, f32 X, f32 Z);

// Puts player p into a free support cell drawn by the weights of the free
// cells (one draw); with no weight left he gets no cell.
void PlaceOnWeightedCell(TTeamBlock& T, i16 p, const TSupportGrid<i32>& Weights);

// Gives player `Player` of the block a new support cell drawn from the first
// (UseFirstTable) or the second alternative weights, after taking him off
// the set-piece line (TakeOffLine) and out of his old cell; he no longer
// stands in the line (`InBackline` cleared). The player in the centre slot
// keeps it and gets no cell.
void RemovePlayerFromLists(TTeamBlock& Block, i16 Player, bool32 UseFirstTable, bool32 TakeOffLine);

// Sends player `Player` of Teams[1] on the template run to a random x across
// the pitch, chosen by game state and by his position.
void StartTemplateSequence(TWorld& W, i16 Player);

// Adds the passer's execution error (elevation and heading, and with
// SpeedError the speed) to Launch's velocity and works out where the ball is
// after the launch's flight time. With HalfChance the errors are halved on
// an even chance.
void ApplyPassError(TPassLaunch& Launch, TVector3 Start, bool32 HalfChance, f32 Gravity,
                    f32 HeadingSD, f32 ElevationSD, bool32 SpeedError);
