#include "contact/SetPieceHandOver.h"

void HandOverFromSetPiece(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  if (A.SetPieceHolder > PlayerCount(W)) return;
  const TPlayer* H = PlayerAt(A, A.SetPieceHolder);
  if (H == nullptr || !(H->passtimer > 0) || !(A.PassDuration > 0)) return;
  const double run = static_cast<double>(A.PassDuration) - A.PassTimeLeft;
  if (run >= static_cast<double>(A.PassDuration) * 10.0 / 17.0) A.BallCarrier = A.SetPieceHolder;
}
