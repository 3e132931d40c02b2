#pragma once
// The application object: the one place where long steps let pending input run.
// The Win32 control backend installs a pump that dispatches window messages; the headless
// backend's pump runs the actions a test has queued, so a Stop pressed in the middle of an
// extraction is an ordinary, deterministic test.
#include <functional>

class TApplication {
 public:
  using Pump = std::function<void()>;

  // Lets pending user-interface events run (the message loop's "process messages").
  void ProcessMessages();
  // Replaces the pump; an empty pump makes ProcessMessages do nothing.
  void SetMessagePump(Pump pump);

  // Set when the program is closing; waiting loops end early then.
  bool Terminated() const { return FTerminated; }
  void Terminate() { FTerminated = true; }
  void ResetTerminated() { FTerminated = false; }

 private:
  Pump FPump;
  bool FTerminated = false;
  bool FInPump = false;
};

TApplication& Application();
