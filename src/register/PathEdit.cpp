// The search-path text edits: finding the PATH line of a batch file and the
// quoted destination on it, putting the entry in, and extending the NT Path
// value. Byte loops only; the caller's compare function decides letter case.
#include "register/PathEdit.h"

const char kSetPathPrefix[] = "set PATH=";
const char kLineEnd[] = "\r\n";

namespace {

const char kPathAssign[] = "PATH=";
const int kPathAssignLength = 5;

void CopyBytes(char* out, const char* from, int count) {
    for (int i = 0; i < count; ++i) out[i] = from[i];
}

// True when the text holds a line end at i: CR LF, or a lone LF. Stopping at
// the lone LF keeps the entry on the PATH line of a file with Unix line ends,
// where looking for CR LF alone would run on to the end of the file and put
// the entry on its last line.
bool LineEndsAt(const char* text, int length, int i, CompareBytes compare) {
    if (i + 2 <= length && compare(text + i, kLineEnd, 2) == 0) return true;
    return compare(text + i, kLineEnd + 1, 1) == 0;
}

}  // namespace

int FindPathPosition(const char* text, int length, CompareBytes compare) {
    for (int i = 0; i + kPathAssignLength <= length; ++i)
        if (compare(text + i, kPathAssign, kPathAssignLength) == 0) return i;
    return -1;
}

// The walk starts at "PATH=" itself and stops at the first of: the quoted
// entry, a line end, the end of the text. Only the quoted form counts: an
// unquoted copy of the directory is another user's entry, not ours.
BatchEdit PlanBatchEdit(const char* text, int length, const char* entry, int entryLength, CompareBytes compare) {
    BatchEdit edit = {kBatchPrepend, 0};
    int start = FindPathPosition(text, length, compare);
    if (start < 0) return edit;
    int i = start;
    for (; i < length; ++i) {
        if (i + entryLength <= length && compare(text + i, entry, entryLength) == 0) {
            edit.kind = kBatchHasEntry;
            edit.at = i;
            return edit;
        }
        if (LineEndsAt(text, length, i, compare)) break;
    }
    // A line that ends with ";" keeps it at its end: the entry goes before it.
    if (i > 0 && text[i - 1] == ';') --i;
    edit.kind = kBatchInsert;
    edit.at = i;
    return edit;
}

int BuildBatchInsert(const char* text, int length, int at, const char* entry, int entryLength, char* out) {
    CopyBytes(out, text, at);
    out[at] = ';';
    CopyBytes(out + at + 1, entry, entryLength);
    CopyBytes(out + at + 1 + entryLength, text + at, length - at);
    return length + 1 + entryLength;
}

// Any occurrence counts, also inside a longer entry: a Path that names the
// directory in any form is left alone.
bool PathValueHolds(const char* value, int valueLength, const char* directory, int directoryLength,
                    CompareBytes compare) {
    for (int k = 0; k + directoryLength <= valueLength; ++k)
        if (compare(value + k, directory, directoryLength) == 0) return true;
    return false;
}

int BuildPathValue(const char* value, int valueLength, const char* directory, int directoryLength, char* out) {
    int kept = valueLength;
    if (kept > 0 && value[kept - 1] == ';') --kept;
    CopyBytes(out, value, kept);
    out[kept] = ';';
    CopyBytes(out + kept + 1, directory, directoryLength);
    return kept + 1 + directoryLength;
}
