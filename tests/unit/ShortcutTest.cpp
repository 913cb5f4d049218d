// The shortcut writer. Links are written into %TEMP%\SetupTests\ShortcutTest and
// read back through the shell's own link object; the seam's proxy in front of
// that object records each call, fails the step a test names, and shows whether
// any interface or COM initialisation is left behind.
#include <gtest/gtest.h>

#include <objbase.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "LinkReader.h"
#include "Seam.h"
#include "support/Shortcut.h"

namespace {

const HRESULT kRefused = E_ACCESSDENIED;

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::vector<std::string> CallNames() {
    std::vector<std::string> names;
    for (const seam::Call& c : seam::Calls()) names.push_back(c.fn);
    return names;
}

// Nothing of a call may outlive it: no proxy still referenced, COM left as found.
void ExpectReleased(int uninitialisations, int line) {
    SCOPED_TRACE(testing::Message() << "checked at line " << line);
    EXPECT_EQ(0, seam::LiveComObjects());
    EXPECT_EQ(0, seam::ComInitBalance());
    EXPECT_EQ(uninitialisations, seam::Count("CoUninitialize"));
}
#define EXPECT_RELEASED(n) ExpectReleased(n, __LINE__)

class ShortcutTest : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        CreateDirectoryA((std::string(temp) + "SetupTests").c_str(), nullptr);
        dir_ = std::string(temp) + "SetupTests\\ShortcutTest";
        Clean();
        ASSERT_TRUE(CreateDirectoryA(dir_.c_str(), nullptr));
        target_ = In("Scrivon.exe");
        HANDLE file = CreateFileA(target_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        CloseHandle(file);
        seam::Reset();
    }
    void TearDown() override { Clean(); }

    void Clean() {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((dir_ + "\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do DeleteFileA(In(found.cFileName).c_str());
            while (FindNextFileA(search, &found));
            FindClose(search);
        }
        RemoveDirectoryA(dir_.c_str());
    }

    std::string In(const std::string& name) const { return dir_ + "\\" + name; }

    std::string dir_, target_;
};

TEST_F(ShortcutTest, WritesTheLinkAsGiven) {
    struct Case {
        const char* what;
        const char* name;
        const char* arguments;
        const char* description;
        bool icon;
        int iconIndex;
    };
    const Case cases[] = {
        {"a group shortcut", "Scrivon V4.1.lnk", "", "Scrivon V4.1", false, 0},
        {"arguments and an icon", "Read me.lnk", "/p \"Read me.txt\"", "Read the notes", true, 2},
        {"a name in the ANSI code page", "Caf\xE9 \xC9t\xE9.lnk", "-n", "Caf\xE9", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        seam::Reset();
        const std::string linkPath = In(c.name);
        const std::string iconPath = c.icon ? In("Scrivon.ico") : "";
        ASSERT_EQ(S_OK, CreateShortcut(target_.c_str(), linkPath.c_str(), c.description, c.arguments,
                                       iconPath.c_str(), c.iconIndex));

        // The steps in order, each once, and nothing else set on the link.
        std::vector<std::string> steps = {"CoInitialize", "CoCreateInstance", "QueryInterface",
                                          "IShellLinkA::SetPath", "IShellLinkA::SetDescription",
                                          "IShellLinkA::SetArguments"};
        if (c.icon) steps.push_back("IShellLinkA::SetIconLocation");
        steps.insert(steps.end(), {"IShellLinkA::SetShowCmd", "IPersistFile::Save", "IPersistFile::Release",
                                   "IShellLinkA::Release", "CoUninitialize"});
        EXPECT_EQ(steps, CallNames());
        EXPECT_EQ((std::vector<std::string>{"CLSID_ShellLink", "0", "1", "IID_IShellLinkA"}),
                  seam::CallsOf("CoCreateInstance").at(0).args);
        EXPECT_EQ((std::vector<std::string>{linkPath, "1"}), seam::CallsOf("IPersistFile::Save").at(0).args);
        EXPECT_RELEASED(1);

        ASSERT_TRUE(Exists(linkPath));
        Link link = ReadLink(linkPath);
        ASSERT_EQ(S_OK, link.loaded);
        EXPECT_EQ(0, lstrcmpiA(target_.c_str(), link.path.c_str())) << link.path;
        EXPECT_EQ(c.arguments, link.arguments);
        EXPECT_EQ(c.description, link.description);
        EXPECT_EQ("", link.workingDir);
        EXPECT_EQ(SW_SHOWNORMAL, link.showCmd);
        EXPECT_EQ(0, link.hotkey);
        EXPECT_EQ(iconPath, link.iconPath);
        if (c.icon) EXPECT_EQ(c.iconIndex, link.iconIndex);
    }
}

TEST_F(ShortcutTest, ReplacesALinkOfTheSameName) {
    const std::string linkPath = In("Scrivon V4.1.lnk");
    HANDLE file = CreateFileA(linkPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    DWORD written;
    WriteFile(file, "garbage", 7, &written, nullptr);
    CloseHandle(file);

    ASSERT_EQ(S_OK, CreateShortcut(target_.c_str(), linkPath.c_str(), "Scrivon V4.1", "", "", 0));
    Link link = ReadLink(linkPath);
    ASSERT_EQ(S_OK, link.loaded);
    EXPECT_EQ(0, lstrcmpiA(target_.c_str(), link.path.c_str())) << link.path;
    EXPECT_EQ("Scrivon V4.1", link.description);
}

// The first step that fails ends the work with its code: nothing after it is
// called, no file is written, and everything obtained so far is released.
TEST_F(ShortcutTest, AFailedStepEndsTheWorkAndReleasesEverything) {
    const std::vector<std::string> steps = {
        "CoCreateInstance",          "QueryInterface",          "IShellLinkA::SetPath",
        "IShellLinkA::SetDescription", "IShellLinkA::SetArguments", "IShellLinkA::SetIconLocation",
        "IShellLinkA::SetShowCmd",   "IPersistFile::Save",
    };
    const std::string linkPath = In("Scrivon V4.1.lnk");
    const std::string iconPath = In("Scrivon.ico");
    for (size_t failing = 0; failing < steps.size(); ++failing) {
        SCOPED_TRACE(steps[failing]);
        seam::Reset();
        seam::Fail(steps[failing], static_cast<DWORD>(kRefused));
        EXPECT_EQ(kRefused, CreateShortcut(target_.c_str(), linkPath.c_str(), "Scrivon V4.1", "", iconPath.c_str(), 0));
        EXPECT_FALSE(Exists(linkPath));
        for (size_t later = failing + 1; later < steps.size(); ++later) EXPECT_EQ(0, seam::Count(steps[later]));
        // The file interface goes first; the link interface after it.
        std::vector<std::string> names = CallNames();
        std::vector<std::string> releases;
        for (const std::string& name : names)
            if (name.find("::Release") != std::string::npos) releases.push_back(name);
        std::vector<std::string> expected;
        if (failing > 1) expected.push_back("IPersistFile::Release");
        if (failing > 0) expected.push_back("IShellLinkA::Release");
        EXPECT_EQ(expected, releases);
        EXPECT_EQ("CoUninitialize", names.back());
        EXPECT_RELEASED(1);
    }
}

// A name longer than MAX_PATH wide characters is not saved under a cut name.
TEST_F(ShortcutTest, LinkPathTooLongIsNotSaved) {
    const std::string linkPath = In(std::string(300, 'n') + ".lnk");
    HRESULT hr = CreateShortcut(target_.c_str(), linkPath.c_str(), "Scrivon V4.1", "", "", 0);
    EXPECT_TRUE(FAILED(hr)) << std::hex << hr;
    EXPECT_EQ(0, seam::Count("IPersistFile::Save"));
    EXPECT_RELEASED(1);
}

// A thread already in the multithreaded apartment: CoInitialize refuses, the
// link is still written, and the caller's initialisation is left in place.
TEST_F(ShortcutTest, KeepsTheCallersApartment) {
    ASSERT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    const std::string linkPath = In("Scrivon V4.1.lnk");
    EXPECT_EQ(S_OK, CreateShortcut(target_.c_str(), linkPath.c_str(), "Scrivon V4.1", "", "", 0));
    EXPECT_TRUE(Exists(linkPath));
    EXPECT_RELEASED(0);
    EXPECT_EQ(S_FALSE, CoInitializeEx(nullptr, COINIT_MULTITHREADED)) << "the caller's apartment is gone";
    CoUninitialize();
    CoUninitialize();
}

}  // namespace
