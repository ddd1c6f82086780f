#pragma once

// Time text moved into the Eon kit; this name keeps older includes working.
#include "ui/eon/TimeText.h"
