#include "core/MatchStore.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <type_traits>

TMatchStore MatchStore;
i32 HalfTimeFrame;

static_assert(std::is_standard_layout_v<TMatchStore> && std::is_trivially_copyable_v<TMatchStore>);

namespace {

template <class T>
void ClearSlots(Arr1<T, kFrameCapacity>& slots, int n) {
  for (int i = 1; i <= n; ++i) slots[i] = T{};
}

}  // namespace

void ClearMatchStore() {
  TMatchStore& S = MatchStore;
  const int written = std::clamp(std::max(S.FrameCount, S.AnimFrameCount), 0, kFrameCapacity);
  // The head (settings, recorder control, message list) and the tail
  // (post-processing results) are small: cleared whole.
  auto* bytes = reinterpret_cast<unsigned char*>(&S);
  std::memset(bytes, 0, offsetof(TMatchStore, FrameTimes));
  std::memset(bytes + offsetof(TMatchStore, AnimFrameCount), 0,
              sizeof(TMatchStore) - offsetof(TMatchStore, AnimFrameCount));
  // The frame arrays, every one between the head and the tail, up to the
  // last slot written.
  ClearSlots(S.FrameTimes, written);
  ClearSlots(S.FrameGameState, written);
  ClearSlots(S.FrameClock, written);
  ClearSlots(S.FrameScore1, written);
  ClearSlots(S.FrameScore2, written);
  ClearSlots(S.FrameTeam1InFirstBlock, written);
  ClearSlots(S.FramePointOfInterest, written);
  ClearSlots(S.FrameBallAttached, written);
  ClearSlots(S.FrameBallHolder, written);
  ClearSlots(S.FrameBallPos, written);
  ClearSlots(S.FrameBallAngles, written);
  for (auto& block : S.PlayerTracks) {
    for (TPlayerTrack& track : block) {
      ClearSlots(track.Pos, written);
      ClearSlots(track.Heading, written);
      ClearSlots(track.AnimIndex, written);
      ClearSlots(track.AnimFrame, written);
      ClearSlots(track.AnimLoop, written);
      ClearSlots(track.Fatigued, written);
    }
  }
  HalfTimeFrame = 0;
}
