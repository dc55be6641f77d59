// Our stand-in for the window framework's application object: a message
// loop that, between two idle calls, lets the registered pollers (the UDP
// socket) handle what waits for them, then calls the idle handler.
#pragma once

using TIdleHandler = void (*)(bool& done);
using TMessagePoller = void (*)();

struct TApplication {
  TIdleHandler OnIdle = nullptr;
  bool ShowMainForm = true;
  bool Terminated = false;

  // Runs until Terminate is called or no idle handler is installed.
  void Run();
  void Terminate() { Terminated = true; }
  void AddPoller(TMessagePoller poller);
};

extern TApplication Application;
