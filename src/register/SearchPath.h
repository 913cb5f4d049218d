// The batch file that the search-path phase edits on Windows 95 and 98.
#ifndef REGISTER_SEARCHPATH_H
#define REGISTER_SEARCHPATH_H

// "C:\Autoexec.bat". The tests point it at a scratch file, so that they never
// touch the boot file of the machine they run on.
extern const char* autoexecPath;

#endif
