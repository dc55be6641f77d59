#include "motion/AttachBallUnit.h"

#include <string_view>

#include "motion/AnimatePlayersUnit.h"

namespace {

void Attach(TWorld& W, i32 Holder) {
  W.BallAttached = kTrue32;
  W.LastKnownHasBall = Holder;
}

template <size_t N>
bool Plays(const TPlayer* P, const std::string_view (&Names)[N]) {
  return P != nullptr && PlaysAnyOf(*P, Names);
}

// The animations in which a set-piece holder has the ball in his hands.
constexpr std::string_view kDummyHalfPasses[] = {"dummyhalfpassleft", "dummyhalfpassright"};
constexpr std::string_view kScrumHolds[] = {"sprintwithball",    "acceleratewithball", "runwithball",
                                            "breathingwithball", "scrumfeed",          "dummyhalfpassleft",
                                            "dummyhalfpassright", "standingstilllowcatch"};
constexpr std::string_view kRestartHolds[] = {"sprintwithball", "acceleratewithball", "runwithball",
                                              "breathingwithball", "punt", "grubber", "chip", "bomb",
                                              "dropkick", "tapkick"};
constexpr std::string_view kLineoutHolds[] = {"sprintwithball",     "runwithball",        "breathingwithball",
                                              "lineoutthrowready",  "lineoutthrowreadyloop", "lineoutthrow",
                                              "lineoutpassleftp1",  "lineoutpassleftp2",  "lineoutpassrightp1",
                                              "lineoutpassrightp2"};
constexpr std::string_view kTryHolds[] = {"trydive", "trydivehigh", "looseballdive", "divetackledfallforward",
                                          "divetackledfallback"};

// Gottackled: the tackled carrier holds the ball unless the scrum-half
// passes; a carrier who is the scrum-half holds it through his dummy-half
// pass; the scrum-half who picks up (freeballcatchtimer) holds it once the
// restart delay is over, and this last rule wins. A scrum-half index that
// names no record is taken as neither passing nor picking up.
void AttachInGotTackled(TWorld& W) {
  TTeamBlock& T = W.Teams[1];
  const i32 c = T.BallCarrier;
  const i32 h = T.SetPieceHolder;
  const TPlayer* C = PlayerAt(T, c);
  const TPlayer* H = PlayerAt(T, h);
  if (C != nullptr && c == T.TackledPlayer && !(H != nullptr && H->passtimer > 0.0f)) Attach(W, c);
  if (C != nullptr && c == h && Plays(C, kDummyHalfPasses)) Attach(W, c);
  if (!(W.RestartDelay > 0.0f) && H != nullptr && H->freeballcatchtimer > 0.0f) Attach(W, h);
}

}  // namespace

void AttachBall(TWorld& W) {
  W.BallAttached = kFalse32;
  const TTeamBlock& T = W.Teams[1];
  const TPlayer* carrier = PlayerAt(T, T.BallCarrier);
  switch (W.gamestate) {
    case gsTransition: W.LastKnownHasBall = W.TransitionHolder; break;
    case gsRunning: Attach(W, T.BallCarrier); break;
    case gsGotTackled: AttachInGotTackled(W); break;
    case gsScrum:
      if (Plays(carrier, kScrumHolds)) Attach(W, T.BallCarrier);
      break;
    case gsKickRestartSet:
      if (Plays(carrier, kRestartHolds)) Attach(W, T.BallCarrier);
      break;
    case gsLineout:
      if (Plays(carrier, kLineoutHolds)) Attach(W, T.BallCarrier);
      break;
    case gsTryScored:
      if (Plays(PlayerAt(T, W.DiverIndex), kTryHolds)) Attach(W, W.DiverIndex);
      break;
    default: break;
  }
}
