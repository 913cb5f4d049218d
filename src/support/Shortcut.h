// One shell link file, written through the shell's link object.
#ifndef SUPPORT_SHORTCUT_H
#define SUPPORT_SHORTCUT_H

#include <windows.h>

// S_OK when the link was saved, else the code of the first call that failed.
// An empty iconPath leaves the target's own icon.
HRESULT CreateShortcut(const char* target, const char* linkPath, const char* description,
                       const char* arguments, const char* iconPath, int iconIndex);

#endif
