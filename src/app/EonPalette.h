#pragma once

// The palette moved into the Eon kit; this name keeps older includes working.
#include "ui/eon/EonPalette.h"
