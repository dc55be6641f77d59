#include "contact/ContactSteps.h"
#include "contact/TackleContest.h"

// The stages in their order: the tackle contest (start, launches, contacts),
// then the entry into gottackled.
void RunningContact(TWorld& W) {
  StartTackleContest(W);
  LaunchTackleAttempts(W);
  ContestCarrierContacts(W);
  EnterGotTackled(W);
}
