// Phases that are not built yet: each has nothing to do.
#include "app/SetupContext.h"

bool RegisterApplication(SetupContext&) { return true; }
