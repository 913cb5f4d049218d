// The text edits of the search-path phase, as plain byte work: where the
// quoted destination goes on the PATH line of Autoexec.bat, and how the NT
// "Path" value is extended. No platform call is made here: letter case is
// compared through the function the caller passes (the phase passes
// CompareNoCaseCP), so this file also builds natively, for tests and fuzzing.
// Texts are counted byte ranges; nothing is read beyond the count given.
#ifndef REGISTER_PATHEDIT_H
#define REGISTER_PATHEDIT_H

// Compares count bytes of a and b without regard to case: 0 when equal.
typedef int (*CompareBytes)(const char* a, const char* b, int count);

// What the batch file needs.
enum BatchEditKind {
    kBatchHasEntry,   // the PATH line already holds the quoted destination
    kBatchInsert,     // the entry goes into the PATH line at `at`
    kBatchPrepend,    // there is no PATH line: a "set PATH=" line goes first
};

struct BatchEdit {
    BatchEditKind kind;
    int at;   // kBatchInsert: where ";" and the entry go (before a trailing ";")
};

// The first "PATH=" of the text, in any case, or -1.
int FindPathPosition(const char* text, int length, CompareBytes compare);

// Looks along the PATH line for the quoted entry. The line ends at CR LF, at
// a lone LF (a file saved with Unix line ends), or at the end of the text.
BatchEdit PlanBatchEdit(const char* text, int length, const char* entry, int entryLength, CompareBytes compare);

// For kBatchInsert: the old text with ";" and the entry put in at edit.at.
// out receives length + 1 + entryLength bytes (no terminator); returns that count.
int BuildBatchInsert(const char* text, int length, int at, const char* entry, int entryLength, char* out);

// The first line of a batch file that had no PATH line, for kBatchPrepend.
extern const char kSetPathPrefix[];   // "set PATH=", 9 bytes
extern const char kLineEnd[];         // CR LF, 2 bytes

// True when the directory stands anywhere in the Path value, in any case.
bool PathValueHolds(const char* value, int valueLength, const char* directory, int directoryLength,
                    CompareBytes compare);

// The value with ";" and the directory appended; one trailing ";" of the old
// value is dropped first. out receives at most valueLength + 1 + directoryLength
// bytes (no terminator); returns the count written.
int BuildPathValue(const char* value, int valueLength, const char* directory, int directoryLength, char* out);

#endif
