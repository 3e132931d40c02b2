#include "ui/Application.h"

#include <exception>

void TApplication::ProcessMessages() {
  // A pump that itself ends up processing messages must not recurse into itself.
  if (!FPump || FInPump) return;
  FInPump = true;
  std::string escaped;
  bool failed = false;
  try {
    FPump();
  } catch (const std::exception& e) {
    FInPump = false;
    if (!OnException) throw;
    escaped = e.what();
    failed = true;
  } catch (...) {
    FInPump = false;
    if (!OnException) throw;
    escaped = "Unknown error";
    failed = true;
  }
  FInPump = false;
  if (failed) OnException(escaped);
}

void TApplication::SetMessagePump(Pump pump) { FPump = std::move(pump); }

TApplication& Application() {
  static TApplication app;
  return app;
}
