// A real, small Win32 program: the stand-in for the editor (Scrivon.exe) and,
// built with SAMPLE_UNINSTALLER, for its uninstaller (Unscri.exe). It says
// what it is and ends.
#include <windows.h>

#ifdef SAMPLE_UNINSTALLER
#define SAMPLE_TEXT "This is the sample uninstaller of Scrivon V4.1. It removes nothing."
#else
#define SAMPLE_TEXT "This is the sample program of Scrivon V4.1."
#endif

extern "C" void WINAPI SampleProgramEntry() {
    MessageBoxA(0, SAMPLE_TEXT, "Scrivon V4.1", MB_OK | MB_ICONINFORMATION);
    ExitProcess(0);
}
