#include "contact/ContactSteps.h"
#include "contact/SetPieceHandOver.h"

void ScrumContact(TWorld& W) {
  if (W.ScrumPhase > 1) HandOverFromSetPiece(W);
}
