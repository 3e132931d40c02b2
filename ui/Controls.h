#pragma once
// The whole control layer (ui/Control.h, ui/Lists.h, ui/PageControl.h, ui/Form.h).
#include "ui/Control.h"
#include "ui/Form.h"
#include "ui/Lists.h"
#include "ui/PageControl.h"
