#include "app/FrameSteps.h"

#include "app/UDPUserControlUnit.h"
#include "contact/CollisionDetectUnit.h"
#include "contact/GeneralCollisionUnit.h"
#include "core/Footprints.h"
#include "core/PlayerVelocities.h"
#include "core/StrategyZones.h"
#include "decision/StrategyUnit.h"
#include "flow/SampleWorldUnit.h"
#include "flow/SetDesiredPositionUnit.h"
#include "motion/AccelerateToDesiredSpeedUnit.h"
#include "motion/AnimatePlayersUnit.h"
#include "motion/AttachBallUnit.h"
#include "motion/BallUpdateUnit.h"
#include "motion/DelayPlayersUnit.h"
#include "motion/InterPenUnit.h"
#include "motion/LookAtPositionUnit.h"
#include "motion/MoveToDesiredPositionUnit.h"
#include "motion/OffsidesUnit.h"
#include "motion/SetDesiredSpeedUnit.h"
#include "motion/SupportPlayUnit.h"
#include "output/StatsUnit.h"

namespace {

constexpr TFrameStepTable kEngineSteps = {{
    {"", nullptr},
    {"SampleWorld", SampleWorld},
    {"Offsides", Offsides},
    {"GeneralCollision", GeneralCollision},
    {"CollisionDetect", CollisionDetect},
    {"UDPUserControl", UserControlStep},
    {"Strategy", Strategy},
    {"UpdatePlayerFootprints", UpdatePlayerFootprints},
    {"UpdateStrategyTimers", UpdateStrategyTimers},
    {"SupportPlay", SupportPlay},
    {"SetDesiredPosition", SetDesiredPosition},
    {"SetDesiredSpeed", SetDesiredSpeed},
    {"EmptyFrameStep", EmptyFrameStep},
    {"DelayPlayers", DelayPlayers},
    {"AccelerateToDesiredSpeed", AccelerateToDesiredSpeed},
    {"MoveToDesiredPosition", MoveToDesiredPosition},
    {"InterPen", InterPen},
    {"UpdatePlayerVelocities", UpdatePlayerVelocities},
    {"AnimatePlayers", AnimatePlayers},
    {"LookAtPosition", LookAtPosition},
    {"AttachBall", AttachBall},
    {"BallUpdate", BallUpdate},
    {"UpdateStats", UpdateStats},
    {"PostStatMessages", PostStatMessages},
}};

// Every entry is filled, and the positions named in the header hold the
// steps they name, so a reordered table cannot silently call the wrong one.
constexpr bool EveryEntryIsNamed() {
  for (int i = 1; i <= kFrameStepCount; ++i)
    if (kEngineSteps[i].Name == nullptr || kEngineSteps[i].Name[0] == '\0') return false;
  return true;
}
static_assert(EveryEntryIsNamed());
static_assert(kEngineSteps[kStepCollisionDetect].Step == CollisionDetect);
static_assert(kEngineSteps[kStepUserControl].Step == UserControlStep);
static_assert(kEngineSteps[kStepStrategy].Step == Strategy);
static_assert(kEngineSteps[kStepUpdatePlayerFootprints].Step == UpdatePlayerFootprints);
static_assert(kEngineSteps[kStepBallUpdate].Step == BallUpdate);
static_assert(kEngineSteps[kStepUpdateStats].Step == UpdateStats);
static_assert(kEngineSteps[kStepPostStatMessages].Step == PostStatMessages);

}  // namespace

void ResetFrameSteps() { FrameSteps = kEngineSteps; }

void InstallEngineHooks() {
  ResetFrameSteps();
  UserControlHooks.Step = UDPUserControl;  // the match-world overload
  UserControlHooks.Apply = ApplyUserControlOfUser;
}
