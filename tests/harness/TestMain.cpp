// main() of every unit-test program: the system libraries the program code
// loads itself, and a clean seam before each test.
#include <gtest/gtest.h>

#include "Seam.h"
#include "support/SystemDlls.h"

namespace {
class CleanSeam : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { seam::Reset(); }
};
}  // namespace

int main(int argc, char** argv) {
    char systemDir[MAX_PATH];
    GetSystemDirectoryA(systemDir, MAX_PATH);
    LoadSystemDlls(systemDir);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new CleanSeam);
    return RUN_ALL_TESTS();
}
