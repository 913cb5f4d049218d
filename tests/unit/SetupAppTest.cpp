// The install sequence: start-up checks, the destination, and the rule that
// the first failure ends the run with its message and nothing after it runs.
#include <gtest/gtest.h>

#include "Scratch.h"
#include "DialogDriver.h"
#include "Seam.h"
#include "TestText.h"
#include "app/SetupApp.h"
#include "resource.h"

namespace {

BOOL CALLBACK DestroyLeftover(HWND hwnd, LPARAM) {
    DestroyWindow(hwnd);
    return TRUE;
}

class SetupAppTest : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        char longTemp[MAX_PATH];
        GetLongPathNameA(temp, longTemp, MAX_PATH);
        m_scratch = std::string(longTemp) + "SetupAppTest-" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        RemoveTree(m_scratch);
        CreateDirectoryA(m_scratch.c_str(), nullptr);
    }
    void TearDown() override {
        // A failure in the copy phases leaves the progress window up on purpose.
        EnumThreadWindows(GetCurrentThreadId(), DestroyLeftover, 0);
        RemoveTree(m_scratch);
    }

    // Runs the whole sequence; the destination dialog browses to `folder`
    // (when given) and answers Next, or Cancel.
    void RunSetup(const std::string& folder, bool next = true) {
        if (!folder.empty()) seam::SetBrowseAnswer(folder);
        m_driver.On("", [this, folder, next](HWND h) {
            m_proposed = DialogDriver::Text(h, IDC_DIRECTORY);
            if (!folder.empty()) SendMessageA(GetDlgItem(h, IDC_BROWSE), BM_CLICK, 0, 0);
            m_chosen = DialogDriver::Text(h, IDC_DIRECTORY);
            DialogDriver::Click(h, next ? IDOK : IDCANCEL);
        });
        CSetupApp app;
        SetErrorMode(SEM_NOGPFAULTERRORBOX);
        EXPECT_FALSE(app.InitInstance());
        app.ExitInstance();
    }

    std::string m_scratch;
    std::string m_proposed;
    std::string m_chosen;
    DialogDriver m_driver;
};

}  // namespace

TEST_F(SetupAppTest, Windows95And98AndNt4AreAccepted) {
    struct Version { DWORD platform, major, minor; };
    for (Version v : {Version{VER_PLATFORM_WIN32_WINDOWS, 4, 0}, Version{VER_PLATFORM_WIN32_WINDOWS, 4, 10},
                      Version{VER_PLATFORM_WIN32_NT, 4, 0}, Version{VER_PLATFORM_WIN32_NT, 5, 1}}) {
        seam::Reset();
        seam::SetVersion(v.platform, v.major, v.minor);
        DialogDriver driver;
        driver.On("", [](HWND h) { DialogDriver::Click(h, IDCANCEL); });
        CSetupApp app;
        EXPECT_FALSE(app.InitInstance());
        app.ExitInstance();
        EXPECT_EQ(driver.Seen().size(), 1u) << v.platform << " " << v.major << "." << v.minor;
        EXPECT_TRUE(seam::MessageBoxes().empty());
    }
}

TEST_F(SetupAppTest, CancelEndsWithoutMessageAndCreatesNothing) {
    RunSetup(m_scratch + "\\New Folder", false);
    EXPECT_TRUE(seam::MessageBoxes().empty());
    EXPECT_EQ(seam::Count("CreateDirectoryA"), 0);
    EXPECT_EQ(GetFileAttributesA((m_scratch + "\\New Folder").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(SetupAppTest, ProposesTheProgramFilesFolderAndProductName) {
    char programFiles[MAX_PATH] = "";
    DWORD size = sizeof programFiles;
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", 0, KEY_READ, &key), 0);
    RegQueryValueExA(key, "ProgramFilesDir", nullptr, nullptr, reinterpret_cast<BYTE*>(programFiles), &size);
    RegCloseKey(key);
    RunSetup("", false);
    EXPECT_EQ(m_proposed, std::string(programFiles) + "\\Scrivon V4.1");
}

TEST_F(SetupAppTest, WithoutProgramFilesDirItProposesProgramFilesOnTheWindowsDrive) {
    seam::Fail("RegQueryValueExA", ERROR_FILE_NOT_FOUND, 0, "ProgramFilesDir");
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    RunSetup("", false);
    EXPECT_EQ(m_proposed, std::string(1, windows[0]) + ":\\Program Files\\Scrivon V4.1");
}

TEST_F(SetupAppTest, DestinationThatCannotBeCreatedEndsTheRun) {
    std::string folder = m_scratch + "\\Locked";
    CreateDirectoryA(folder.c_str(), nullptr);
    seam::Fail("CreateDirectoryA", ERROR_ACCESS_DENIED, 0, folder);
    RunSetup(folder);
    ASSERT_EQ(seam::MessageBoxes().size(), 1u);
    EXPECT_EQ(seam::MessageBoxes()[0].text,
              Fill(Catalogue(IDS_CREATE_DIRECTORY), {folder, SystemText(ERROR_ACCESS_DENIED)}));
    EXPECT_EQ(seam::MessageBoxes()[0].style, static_cast<UINT>(MB_ICONSTOP));
    EXPECT_EQ(seam::Count("CopyFileA"), 0);
    EXPECT_EQ(seam::Count("GetTempFileNameA"), 0);
    EXPECT_EQ(m_driver.Seen().size(), 1u) << "no progress window after the failure";
}

// A product file whose path would be cut would be copied under a wrong name:
// such a destination is refused before anything is made.
TEST_F(SetupAppTest, DestinationTooLongForTheProductFilesIsRefused) {
    std::string folder = m_scratch;
    while (folder.size() < 250) {
        folder += "\\" + std::string(std::min<size_t>(40, 250 - folder.size()), 'd');
        CreateDirectoryA(folder.c_str(), nullptr);
    }
    ASSERT_NE(GetFileAttributesA(folder.c_str()), INVALID_FILE_ATTRIBUTES);
    seam::Reset();
    RunSetup(folder);
    EXPECT_EQ(m_chosen, folder);
    ASSERT_EQ(seam::MessageBoxes().size(), 1u);
    EXPECT_EQ(seam::MessageBoxes()[0].text,
              Fill(Catalogue(IDS_CREATE_DIRECTORY), {folder, SystemText(ERROR_FILENAME_EXCED_RANGE)}));
    EXPECT_EQ(seam::Count("CreateDirectoryA"), 0);
    EXPECT_EQ(seam::Count("CopyFileA"), 0);
}

TEST_F(SetupAppTest, ExistingDestinationIsAcceptedAndAPhaseFailureEndsTheRun) {
    // The test program's folder ships no system libraries, so the first phase fails.
    RunSetup(m_scratch);
    ASSERT_EQ(seam::MessageBoxes().size(), 1u);
    const std::string text = seam::MessageBoxes()[0].text;
    EXPECT_EQ(text.find(Fill(Catalogue(IDS_CREATE_DIRECTORY), {m_scratch, ""})), std::string::npos) << text;
    EXPECT_NE(text.find("Mfc42.dll"), std::string::npos) << text;
    EXPECT_EQ(seam::Count("CopyFileA"), 0) << "nothing is copied after the failure";
    // The progress window stays up, unchanged, until the program ends.
    bool progressUp = false;
    for (const std::string& caption : m_driver.Seen()) progressUp |= caption == Catalogue(IDS_PROGRESS_TITLE);
    EXPECT_TRUE(progressUp);
}
