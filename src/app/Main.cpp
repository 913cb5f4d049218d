// The one application object of Setup.exe.
#include "app/SetupApp.h"

CSetupApp theApp;
