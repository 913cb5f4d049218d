// wine-version: nt351
//
// On a machine that reports Windows NT 3.51 the setup shows its one message
// and stops: no dialog, nothing read, and on the way out the error mode 0 that
// the application object holds before start-up stores anything.
#include <gtest/gtest.h>

#include "DialogDriver.h"
#include "Seam.h"
#include "TestText.h"
#include "app/SetupApp.h"
#include "resource.h"

TEST(Refusal, Nt351GetsItsMessageOnly) {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    ASSERT_TRUE(::GetVersionExA(&version));
    ASSERT_EQ(version.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_NT));
    ASSERT_EQ(version.dwMajorVersion, 3u);

    DialogDriver driver;
    CSetupApp app;
    SetErrorMode(SEM_NOGPFAULTERRORBOX);
    EXPECT_FALSE(app.InitInstance());
    app.ExitInstance();

    EXPECT_TRUE(driver.Seen().empty()) << "a dialog opened";
    ASSERT_EQ(seam::MessageBoxes().size(), 1u);
    EXPECT_EQ(seam::MessageBoxes()[0].text, Catalogue(IDS_NEED_WINDOWS));
    EXPECT_EQ(seam::MessageBoxes()[0].style, static_cast<UINT>(MB_ICONSTOP));
    EXPECT_EQ(seam::MessageBoxes()[0].owner, nullptr);
    EXPECT_EQ(seam::Count("RegQueryValueExA"), 0) << "nothing is read after the refusal";
    EXPECT_EQ(SetErrorMode(0), 0u) << "ExitInstance sets the mode the application object still holds";
}
