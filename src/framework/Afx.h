// The framework in one include.
#ifndef FRAMEWORK_AFX_H
#define FRAMEWORK_AFX_H

#include "framework/CmdTarget.h"
#include "framework/Dialog.h"
#include "framework/String.h"
#include "framework/WinApp.h"
#include "framework/Wnd.h"

#endif
