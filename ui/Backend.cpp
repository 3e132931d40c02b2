#include "ui/Backend.h"

#include "ui/Application.h"
#include "ui/headless/Headless.h"

namespace ui {

namespace {
TBackend* currentBackend = nullptr;
}

TBackend& Backend() { return currentBackend ? *currentBackend : headless::Instance(); }

void SetBackend(TBackend* backend) {
  currentBackend = backend;
  Application().SetMessagePump([] { Backend().ProcessMessages(); });
}

}  // namespace ui
