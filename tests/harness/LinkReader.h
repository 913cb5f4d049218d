// A link file read back through the shell's own link object, for the tests.
#ifndef SETUP_LINK_READER_H
#define SETUP_LINK_READER_H

#include <windows.h>

#include <string>

struct Link {
    HRESULT loaded = E_FAIL;
    std::string path, arguments, description, workingDir, iconPath;
    int iconIndex = -1, showCmd = -1;
    WORD hotkey = 0xFFFF;
};

// The link file as the shell reads it. Output buffers start as "garbage", so a
// field that is not filled in shows.
Link ReadLink(const std::string& linkPath);

#endif
