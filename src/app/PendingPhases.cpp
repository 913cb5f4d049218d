// Phases that are not built yet: each has nothing to do.
#include "app/SetupContext.h"

bool CreateProgramGroup(SetupContext&) { return true; }
bool RegisterApplication(SetupContext&) { return true; }
