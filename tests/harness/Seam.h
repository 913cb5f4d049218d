// What a test sees of the seam: the log of routed calls, faults on demand,
// recorded message boxes, and given values for GetACP and GetVersionExA.
#ifndef SETUP_SEAM_H
#define SETUP_SEAM_H

#include <windows.h>
#include <string>
#include <vector>

namespace seam {

struct Call {
    std::string fn;                  // e.g. "CopyFileA", "IShellLinkA::SetPath"
    std::vector<std::string> args;   // each argument as text; strings as they are, numbers in decimal
};

struct MessageBoxCall {
    HWND owner;
    std::string text;
    std::string caption;
    UINT style;
};

// Back to a clean state: no log, no faults, real GetACP and GetVersionExA.
void Reset();

const std::vector<Call>& Calls();
std::vector<Call> CallsOf(const std::string& fn);
int Count(const std::string& fn);

// Fail calls of fn with the last-error code `error` (and the function's own
// failure value): the nth matching call from now (1-based), or every matching
// call when nth is 0. With `argSubstring` only calls one of whose arguments
// contains it are matched (and counted).
void Fail(const std::string& fn, DWORD error, int nth = 0, const std::string& argSubstring = "");

// For doubles: records the call and tells whether it must fail; when it must,
// the last-error code is already set.
bool Hit(const char* fn, const std::vector<std::string>& args);

const std::vector<MessageBoxCall>& MessageBoxes();

void SetACP(UINT codePage);                              // 0: the real one
void SetVersion(DWORD platform, DWORD major, DWORD minor); // platform 0: the real one

// What the folder browser answers: a folder, or "" when the user cancels it.
void SetBrowseAnswer(const std::string& folder);

// Registry keys that routed calls opened or created and that are not closed yet.
int OpenKeys();

// Blocks that the program's HeapAlloc calls handed out and HeapFree has not
// taken back yet.
int LiveHeapBlocks();

// Live objects handed out by the CoCreateInstance double, and the balance of
// CoInitialize against CoUninitialize.
int LiveComObjects();
int ComInitBalance();

// Numbers as the log shows them.
std::string Num(unsigned long long v);

}  // namespace seam

#endif
