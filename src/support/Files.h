// File and directory helpers: the directories above a path, a whole file in memory.
#ifndef SUPPORT_FILES_H
#define SUPPORT_FILES_H

#include <windows.h>

// The size of an open file, leaving its file pointer where it was.
LONG GetFileSizeBySeek(HFILE file);

// The whole file, followed by a zero byte, in a locked movable global block.
// 0 on success (the caller unlocks and frees the block); -1 GlobalAlloc failed,
// -2 GlobalLock failed, -3 the file can't be opened, -4 it can't be read whole.
// The file's size in bytes goes to *size when one is given: a zero byte inside
// the file ends the text, not the file.
int LoadWholeFile(const char* path, HGLOBAL* block, char** text, LONG* size = 0);

// Creates every directory above the last backslash of path (from the fourth
// character on, so a drive root is never tried). 0, or the Win32 code of the
// first directory that could not be made; the path is left as it was.
int CreateDirectoryTree(char* path);

#endif
