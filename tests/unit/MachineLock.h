// A lock held across the test programs of one Wine machine. The unit tests
// share the machine's registry, and some of them must set values that are not
// theirs alone (the user's shell folders, the App Paths entry of Scrivon.exe):
// a test that does holds the lock of that name from before it saves the
// values until after it has put them back, so that two runs (two languages,
// or two developers' runs) never see each other's values.
#ifndef TESTS_UNIT_MACHINELOCK_H
#define TESTS_UNIT_MACHINELOCK_H

#include <windows.h>

#include <string>

class MachineLock {
public:
    explicit MachineLock(const char* name)
        : mutex_(CreateMutexA(nullptr, FALSE, (std::string("SetupTests.") + name).c_str())) {
        // A run that died holding the lock leaves it abandoned, which also grants it.
        if (mutex_) WaitForSingleObject(mutex_, INFINITE);
    }
    MachineLock(const MachineLock&) = delete;
    MachineLock& operator=(const MachineLock&) = delete;
    ~MachineLock() {
        if (!mutex_) return;
        ReleaseMutex(mutex_);
        CloseHandle(mutex_);
    }

private:
    HANDLE mutex_;
};

#endif
