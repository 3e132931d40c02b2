#pragma once
// The application object: the one place where long steps let pending input run.
// The Win32 control backend installs a pump that dispatches window messages; the headless
// backend's pump runs the actions a test has queued, so a Stop pressed in the middle of an
// extraction is an ordinary, deterministic test.
#include <functional>
#include <string>

class TApplication {
 public:
  using Pump = std::function<void()>;

  // Lets pending user-interface events run (the message loop's "process messages"). An error
  // escaping a handler run here goes to OnException when one is set, not to the long step that
  // happened to be waiting: the step goes on to its next point and sees the program ending.
  void ProcessMessages();
  // The application-wide handler of errors no handler caught (the wizard's
  // ApplicationEvents1Exception); empty: such an error is thrown on to the caller.
  std::function<void(const std::string& message)> OnException;
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
