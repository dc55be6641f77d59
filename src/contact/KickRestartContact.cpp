#include "contact/ContactSteps.h"
#include "contact/RunningStoppages.h"

void KickRestartContact(TWorld& W) {
  TTeamBlock& A = W.Teams[1];
  if (A.BallCarrier > PlayerCount(W)) return;
  TPlayer* K = PlayerAt(A, A.BallCarrier);
  if (K == nullptr || K->SpecialAnimKind != 3.0f || !(K->SpecialAnimTimer > 0)) return;
  // The kick animation ends within this frame.
  const double next = K->currentframe + static_cast<double>(K->AnimRate) * W.TimeStep;
  if (!(next >= K->maxframes)) return;
  K->SpecialAnimTimer = 0;
  A.PassTimeLeft = 0;
  A.KickTimeLeft = 0;
  ResumeRunningPlay(W, A.BallCarrier);
}
