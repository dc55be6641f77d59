#include "platform/Application.h"

#include <array>
#include <chrono>
#include <thread>

TApplication Application;

namespace {
std::array<TMessagePoller, 4> g_pollers{};
}

void TApplication::AddPoller(TMessagePoller poller) {
  for (TMessagePoller& p : g_pollers) {
    if (p == nullptr || p == poller) {
      p = poller;
      return;
    }
  }
}

void TApplication::Run() {
  while (!Terminated && OnIdle != nullptr) {
    for (TMessagePoller p : g_pollers)
      if (p != nullptr) p();
    if (Terminated) break;
    bool done = true;
    OnIdle(done);
    // An idle handler that is done waits for the next message.
    if (done) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}
