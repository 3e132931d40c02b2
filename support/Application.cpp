#include "support/Application.h"

void TApplication::ProcessMessages() {
  // A pump that itself ends up processing messages must not recurse into itself.
  if (!FPump || FInPump) return;
  FInPump = true;
  try {
    FPump();
  } catch (...) {
    FInPump = false;
    throw;
  }
  FInPump = false;
}

void TApplication::SetMessagePump(Pump pump) { FPump = std::move(pump); }

TApplication& Application() {
  static TApplication app;
  return app;
}
