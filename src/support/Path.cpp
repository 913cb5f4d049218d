// Path joining within MAX_PATH. Plain byte work, no Win32 calls.
#include "support/Path.h"

namespace {
const int kMaxPathChars = 259;

int Length(const char* text) {
    int n = 0;
    while (text[n]) ++n;
    return n;
}
}  // namespace

int CopyPath(char* buffer, const char* text) {
    buffer[0] = 0;
    return AppendPath(buffer, text);
}

int AppendPath(char* buffer, const char* text) {
    int n = Length(buffer);
    while (*text && n < kMaxPathChars) buffer[n++] = *text++;
    buffer[n] = 0;
    return n;
}

int JoinPath(char* buffer, const char* directory, const char* name) {
    CopyPath(buffer, directory);
    AppendPath(buffer, "\\");
    return AppendPath(buffer, name);
}

bool PathWouldBeCut(const char* directory, const char* name) {
    return Length(directory) + 1 + Length(name) > kMaxPathChars;
}
