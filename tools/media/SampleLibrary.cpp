// A real, empty Win32 DLL: the stand-in for the shared system libraries of
// the sample media. It only needs to load and to carry a version resource.
#include <windows.h>

extern "C" BOOL WINAPI SampleLibraryEntry(HINSTANCE, DWORD, LPVOID) { return TRUE; }
