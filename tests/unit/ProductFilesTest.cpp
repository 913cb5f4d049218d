// CopyProductFiles and InstallUninstaller in scratch folders: what reaches
// the destination and the Windows directory, under which names, with which
// status line and position, and what a failure shows and leaves behind.
#include <gtest/gtest.h>

#include "DeployFixture.h"
#include "Seam.h"
#include "TestText.h"
#include "app/Manifest.h"
#include "app/SetupContext.h"
#include "resource.h"

namespace {

std::vector<std::string> ProductNames() {
    std::vector<std::string> names;
    for (const char* name = FirstFile(kProductFiles); name; name = NextFile(name)) names.push_back(name);
    return names;
}

std::string Content(const std::string& name) { return "shipped " + name + "\r\n"; }

class ProductFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = deploy::ScratchRoot();
        RemoveTree(root);
        source = deploy::MakeFolder(root, "Setup Source");
        install = deploy::MakeFolder(root, "Scrivon V4.1");
        windows = deploy::MakeFolder(root, "Windows Folder");
        for (const std::string& name : ProductNames())
            if (name != "Scrivon.exe") deploy::WriteBytes(deploy::Join(source, name), Content(name));
        deploy::WriteVersioned(deploy::Join(source, "Scrivon.exe"), "4.1.0.1");
        deploy::WriteBytes(deploy::Join(source, "Unscri.exe"), Content("Unscri.exe"));

        InitSetupContext(context);
        lstrcpyA(context.sourceDir, source.c_str());
        lstrcpyA(context.installDir, install.c_str());
        lstrcpyA(context.windowsDir, windows.c_str());
        context.fileTotal = 58;
        context.fileIndex = 4;  // the four system libraries came first
    }
    void TearDown() override { RemoveTree(root); }

    std::string root, source, install, windows;
    SetupContext context;
};

TEST_F(ProductFilesTest, CopiesEveryFileInListOrderReplacingWhatIsThere) {
    // Files of an earlier installation, some older and one newer, all replaced.
    deploy::WriteBytes(deploy::Join(install, "Ada.ini"), "older");
    deploy::WriteBytes(deploy::Join(install, "TipsUs.txt"), "newer, still replaced");
    deploy::WriteVersioned(deploy::Join(install, "Scrivon.exe"), "9.0.0.0");

    ASSERT_TRUE(CopyProductFiles(context));

    std::vector<std::string> names = ProductNames();
    std::vector<seam::Call> copies = seam::CallsOf("CopyFileA");
    ASSERT_EQ(copies.size(), names.size());
    for (size_t i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(names[i]);
        EXPECT_EQ(copies[i].args[0], deploy::Join(source, names[i]));
        EXPECT_EQ(copies[i].args[1], deploy::Join(install, names[i]));
        EXPECT_EQ(copies[i].args[2], "0");
        EXPECT_EQ(deploy::ReadBytes(deploy::Join(install, names[i])),
                  deploy::ReadBytes(deploy::Join(source, names[i])));
        // The name keeps its letter case on disk.
        EXPECT_EQ(deploy::List(install, names[i]), std::vector<std::string>{names[i]});
    }
    EXPECT_EQ(deploy::List(install).size(), names.size());
    EXPECT_TRUE(seam::MessageBoxes().empty());
    EXPECT_EQ(context.fileIndex, 58);
}

TEST_F(ProductFilesTest, EachFileIsShownBeforeItsCopy) {
    deploy::ProgressRecorder progress(context);
    ASSERT_TRUE(progress.HasWindow());

    ASSERT_TRUE(CopyProductFiles(context));

    std::vector<std::string> names = ProductNames();
    ASSERT_EQ(progress.steps.size(), names.size());
    for (size_t i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(names[i]);
        EXPECT_EQ(progress.steps[i].status, "Installing " + names[i] + ".");
        EXPECT_EQ(progress.steps[i].position, static_cast<int>(100 * (4 + i) / 58));
        EXPECT_EQ(progress.steps[i].copiesBefore, static_cast<int>(i));
    }
    EXPECT_EQ(progress.steps.front().position, 6);
    EXPECT_EQ(progress.steps.back().position, 98);
}

TEST_F(ProductFilesTest, MissingFileStopsTheCopyWithBothPaths) {
    deploy::ProgressRecorder progress(context);
    DeleteFileA(deploy::Join(source, "Html.dll").c_str());

    EXPECT_FALSE(CopyProductFiles(context));

    std::string from = deploy::Join(source, "Html.dll");
    std::string to = deploy::Join(install, "Html.dll");
    EXPECT_TRUE(deploy::ShowedOnly(Fill(Catalogue(IDS_COPY_FAILED), {from, to, SystemText(ERROR_FILE_NOT_FOUND)})));
    ASSERT_FALSE(progress.steps.empty());
    EXPECT_EQ(progress.steps.back().status, "Installing Html.dll.");

    // The files before it stay; nothing after it is tried.
    bool before = true;
    for (const std::string& name : ProductNames()) {
        if (name == "Html.dll") before = false;
        EXPECT_EQ(deploy::Exists(deploy::Join(install, name)), before) << name;
    }
    EXPECT_EQ(seam::CallsOf("CopyFileA").back().args[0], from);
}

TEST_F(ProductFilesTest, UninstallerIsNamedAfterTheMainProgramsVersion) {
    struct Case {
        const char* version;
        const char* name;
    };
    const Case cases[] = {
        {"4.1.0.1", "Unscri410.exe"},
        {"4.1.0.7", "Unscri410.exe"},    // the fourth number does not count
        {"4.1.17.0", "Unscri41A.exe"},   // '0' + 17, no test of range
        {"5.2.9.3", "Unscri529.exe"},
        {"4.257.273.0", "Unscri41A.exe"},  // only the low byte is added
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        seam::Reset();
        deploy::WriteVersioned(deploy::Join(source, "Scrivon.exe"), c.version);
        std::string expected = deploy::Join(windows, c.name);
        deploy::WriteBytes(expected, "an uninstaller left by an earlier setup");
        lstrcpyA(context.uninstallerName, "garbage");

        ASSERT_TRUE(InstallUninstaller(context));

        EXPECT_STREQ(context.uninstallerName, expected.c_str());
        EXPECT_EQ(deploy::ReadBytes(expected), Content("Unscri.exe"));
        EXPECT_EQ(deploy::List(windows, c.name), std::vector<std::string>{c.name});
        std::vector<seam::Call> copies = seam::CallsOf("CopyFileA");
        ASSERT_EQ(copies.size(), 1u);
        EXPECT_EQ(copies[0].args[0], deploy::Join(source, "Unscri.exe"));
        EXPECT_EQ(copies[0].args[2], "0");
        EXPECT_TRUE(seam::MessageBoxes().empty());
        DeleteFileA(expected.c_str());
    }
}

TEST_F(ProductFilesTest, UninstallerSetsNoProgressOfItsOwn) {
    deploy::ProgressRecorder progress(context);
    ASSERT_TRUE(InstallUninstaller(context));
    EXPECT_TRUE(progress.steps.empty());
    EXPECT_EQ(context.fileIndex, 4);
}

TEST_F(ProductFilesTest, MainProgramWithoutVersionStopsBeforeAnyCopy) {
    std::string mainProgram = deploy::Join(source, "Scrivon.exe");
    struct Case {
        const char* what;
        bool present;  // a text file in place of the program, or nothing at all
        DWORD error;   // the reason shown, when the test knows it
    };
    const Case cases[] = {{"no version resource", true, 0}, {"missing", false, ERROR_FILE_NOT_FOUND}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        seam::Reset();
        DeleteFileA(mainProgram.c_str());
        if (c.present) deploy::WriteBytes(mainProgram, "not a program");

        EXPECT_FALSE(InstallUninstaller(context));

        ASSERT_EQ(seam::MessageBoxes().size(), 1u);
        std::string shown = seam::MessageBoxes()[0].text;
        std::string prefix = Fill(Catalogue(IDS_FILE_ACCESS), {mainProgram, ""});
        EXPECT_EQ(shown.substr(0, prefix.size()), prefix);
        if (c.error) EXPECT_EQ(shown, Fill(Catalogue(IDS_FILE_ACCESS), {mainProgram, SystemText(c.error)}));
        EXPECT_EQ(seam::MessageBoxes()[0].style, static_cast<UINT>(MB_ICONSTOP));
        EXPECT_EQ(seam::Count("CopyFileA"), 0);
        EXPECT_TRUE(deploy::List(windows).empty());
    }
}

TEST_F(ProductFilesTest, NoMemoryForTheVersionBuffer) {
    seam::Fail("HeapAlloc", ERROR_NOT_ENOUGH_MEMORY, 1);
    EXPECT_FALSE(InstallUninstaller(context));
    EXPECT_TRUE(deploy::ShowedOnly(Catalogue(IDS_NO_MEMORY)));
    EXPECT_EQ(seam::Count("CopyFileA"), 0);
}

TEST_F(ProductFilesTest, UninstallerCopyFailureNamesBothPaths) {
    std::string from = deploy::Join(source, "Unscri.exe");
    DeleteFileA(from.c_str());
    EXPECT_FALSE(InstallUninstaller(context));
    std::string to = deploy::Join(windows, "Unscri410.exe");
    EXPECT_STREQ(context.uninstallerName, to.c_str());
    EXPECT_TRUE(deploy::ShowedOnly(Fill(Catalogue(IDS_COPY_FAILED), {from, to, SystemText(ERROR_FILE_NOT_FOUND)})));
    EXPECT_FALSE(deploy::Exists(to));
}

}  // namespace
