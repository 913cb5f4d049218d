// wine-langs: en fr it ru
// wine-machine: shell-folders
//
// CreateProgramGroup in scratch folders. The user's "Shell Folders" values
// Programs, Desktop and SendTo are pointed at folders under %TEMP%\SetupTests
// for each test, in a machine of the program's own (a shell that follows them
// moves the Desktop for everyone), under a lock, and put back afterwards; the
// links that land are read back through the shell's own link object. The test
// runs once per language, and the run's shortcut table (SETUP_TEST_LANG) is
// the one expected.
#include <gtest/gtest.h>

#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "DeployFixture.h"
#include "MachineLock.h"
#include "LinkReader.h"
#include "Seam.h"
#include "TestText.h"
#include "app/SetupContext.h"
#include "resource.h"

namespace {

const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char kProductName[] = "Scrivon V4.1";

// The shortcut table of each language, in UTF-8; blanks are significant.
struct Entry {
    const char* linkName;
    const char* target;
    const char* description;
};
struct Table {
    const char* lang;
    Entry entries[5];
};
const Table kTables[] = {
    {"en",
     {{"Scrivon V4.1.lnk", "Scrivon.exe", "Scrivon V4.1"},
      {"Scrivon's help.lnk", "HelpUs.hlp", "Scrivon's help"},
      {"Information.lnk", "ReadmeUs.doc", "Information"},
      {"Order form.lnk", "OrderUs.doc", "Order form"},
      {"Uninstall.lnk", "Unscri.exe", "Uninstall"}}},
    {"fr",
     {{"Scrivon V4.1.lnk", "Scrivon.exe", "Scrivon V4.1"},
      {"Aide de  Scrivon.lnk", "HelpFr.hlp", "Aide de Scrivon"},
      {"Informations.lnk", "ReadmeFr.doc", "Informations"},
      {"Bon de commande.lnk", "OrderFr.doc", "Bon de commande"},
      {"Désinstaller.lnk", "Unscri.exe", "Désinstaller"}}},
    {"it",
     {{"Scrivon V4.1.lnk", "Scrivon.exe", "Scrivon V4.1"},
      {"Guida di Scrivon.lnk", "HelpIt.hlp", "Guida di Scrivon"},
      {" Informazioni.lnk", "ReadmeIt.doc", "Informazioni"},
      {"Buono di ordinazione.lnk", "OrderIt.doc", "Buono di ordinazione"},
      {"Disinstallare.lnk", "Unscri.exe", " Disinstallare"}}},
    {"ru",
     {{"Scrivon V4.1.lnk", "Scrivon.exe", "Scrivon V4.1"},
      {"Справка.lnk", "HelpRu.hlp", "Справка"},
      {"Информация.lnk", "ReadmeRu.doc", "Информация"},
      {"Заказ.lnk", "OrderRu.doc", "Заказ"},
      {"Удаление.lnk", "Unscri.exe", "Удаление"}}},
};

// UTF-8 text in the ANSI code page of the run.
std::string Ansi(const char* utf8) {
    wchar_t wide[MAX_PATH];
    char text[2 * MAX_PATH];
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, MAX_PATH);
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    return text;
}

// A shortcut as the run's table gives it, in the ANSI code page.
struct Expected {
    std::string linkName, target, arguments, description;
};

std::vector<std::string> Sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
}

// Wine's shell works the "Shell Folders" values out from "User Shell Folders"
// and writes them back whenever it looks a folder up (a link's SetPath looks
// up the Desktop), so each test sets both keys, and a value that the setup
// must not find is failed through the seam rather than removed.
const char kUserShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

// A value saved on construction and put back (or removed again) on
// destruction, as wide bytes so nothing is converted.
class SavedValue {
public:
    SavedValue(const char* keyPath, const wchar_t* name) : keyPath_(keyPath), name_(name) {
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath_, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
        BYTE data[4096];
        DWORD size = sizeof data;
        existed_ = RegQueryValueExW(key, name_, nullptr, &type_, data, &size) == ERROR_SUCCESS;
        if (existed_) bytes_.assign(data, data + size);
        RegCloseKey(key);
    }
    SavedValue(const SavedValue&) = delete;
    SavedValue& operator=(const SavedValue&) = delete;
    ~SavedValue() {
        HKEY key;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, keyPath_, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
            ERROR_SUCCESS)
            return;
        if (existed_) RegSetValueExW(key, name_, 0, type_, bytes_.data(), static_cast<DWORD>(bytes_.size()));
        else RegDeleteValueW(key, name_);
        RegCloseKey(key);
    }

private:
    const char* keyPath_;
    const wchar_t* name_;
    bool existed_ = false;
    DWORD type_ = REG_SZ;
    std::vector<BYTE> bytes_;
};

// Both copies of a shell folder value.
struct SavedFolder {
    explicit SavedFolder(const wchar_t* name) : folders(kShellFolders, name), user(kUserShellFolders, name) {}
    SavedValue folders, user;
};

void SetFolder(const char* name, const std::string& path) {
    for (const char* keyPath : {kShellFolders, kUserShellFolders}) {
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, keyPath, 0, nullptr, 0, KEY_ALL_ACCESS,
                                                 nullptr, &key, nullptr));
        EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                                                static_cast<DWORD>(path.size() + 1)));
        RegCloseKey(key);
    }
}

class ProgramGroupTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* lang = getenv("SETUP_TEST_LANG");
        const Table* table = &kTables[0];
        for (const Table& t : kTables)
            if (lang && std::string(lang) == t.lang) table = &t;

        // Each language's run has folders of its own.
        root = deploy::ScratchRoot() + "." + table->lang;
        RemoveTree(root);
        programs = deploy::MakeFolder(root, "Start Menu Programs");
        desktop = deploy::MakeFolder(root, "Desktop");
        sendTo = deploy::MakeFolder(root, "Send To");
        install = deploy::MakeFolder(root, "Scrivon V4.1");
        std::string windows = deploy::MakeFolder(root, "Windows Folder");
        group = deploy::Join(programs, kProductName);

        InitSetupContext(context);
        lstrcpyA(context.productName, kProductName);
        context.productNameLength = lstrlenA(kProductName);
        lstrcpyA(context.installDir, install.c_str());
        lstrcpyA(context.uninstallerName, deploy::Join(windows, "Unscri410.exe").c_str());
        deploy::WriteBytes(context.uninstallerName, "uninstaller");

        for (const Entry& e : table->entries) {
            Expected x{Ansi(e.linkName), "", "", Ansi(e.description)};
            if (std::string(e.target) == "Unscri.exe") {
                x.target = context.uninstallerName;
                x.arguments = std::string("/") + kProductName + " /" + install;
            } else {
                x.target = deploy::Join(install, e.target);
                deploy::WriteBytes(x.target, e.target);
            }
            expected.push_back(x);
        }

        SetFolder("Programs", programs);
        SetFolder("Desktop", desktop);
        SetFolder("SendTo", sendTo);
        seam::Reset();
    }

    void TearDown() override { RemoveTree(root); }

    // The files in folder are the shortcuts of those entries, as the table says.
    // Wine hands a link saved on the Desktop to its menu builder, a process of
    // its own, which sooner or later puts a ".desktop" file beside it: those
    // are not the program's and are left out.
    void ExpectLinks(const std::string& folder, const std::vector<size_t>& entries, int line) const {
        SCOPED_TRACE(testing::Message() << "links in " << folder << ", checked at line " << line);
        std::vector<std::string> names, found;
        for (size_t i : entries) names.push_back(expected[i].linkName);
        for (const std::string& name : deploy::List(folder))
            if (name.size() < 8 || name.compare(name.size() - 8, 8, ".desktop") != 0) found.push_back(name);
        ASSERT_EQ(Sorted(names), Sorted(found));
        for (size_t i : entries) {
            const Expected& x = expected[i];
            SCOPED_TRACE(x.linkName);
            Link link = ReadLink(deploy::Join(folder, x.linkName));
            ASSERT_EQ(S_OK, link.loaded);
            EXPECT_EQ(0, lstrcmpiA(x.target.c_str(), link.path.c_str())) << link.path;
            EXPECT_EQ(x.arguments, link.arguments);
            EXPECT_EQ(x.description, link.description);
        }
    }

    // Nothing of the link objects outlives the phase, nor any registry key.
    void ExpectReleased(int line) const {
        SCOPED_TRACE(testing::Message() << "checked at line " << line);
        EXPECT_EQ(0, seam::LiveComObjects());
        EXPECT_EQ(0, seam::ComInitBalance());
        EXPECT_EQ(0, seam::OpenKeys());
    }

    MachineLock lock{"ShellFolders"};  // first: taken before the values are saved, given back after
    SavedFolder savedPrograms{L"Programs"};
    SavedFolder savedDesktop{L"Desktop"};
    SavedFolder savedSendTo{L"SendTo"};
    std::string root, programs, desktop, sendTo, install, group;
    SetupContext context;
    std::vector<Expected> expected;
};

#define EXPECT_LINKS(folder, ...) ExpectLinks(folder, std::vector<size_t>(__VA_ARGS__), __LINE__)
#define EXPECT_RELEASED() ExpectReleased(__LINE__)
const std::vector<size_t> kAll = {0, 1, 2, 3, 4};
const std::vector<size_t> kFirst = {0};

TEST_F(ProgramGroupTest, MakesTheGroupWithItsShortcutsAndTwoCopiesOfTheFirst) {
    ASSERT_TRUE(CreateProgramGroup(context));

    EXPECT_LINKS(group, kAll);
    EXPECT_LINKS(desktop, kFirst);
    EXPECT_LINKS(sendTo, kFirst);
    EXPECT_EQ(std::vector<std::string>{kProductName}, deploy::List(programs));
    EXPECT_TRUE(seam::MessageBoxes().empty());
    EXPECT_RELEASED();

    // The Programs read passes 259 bytes for its 260; the others their 260.
    std::vector<std::string> reads;
    for (const seam::Call& c : seam::CallsOf("RegQueryValueExA")) reads.push_back(c.args[1] + " " + c.args[2]);
    EXPECT_EQ((std::vector<std::string>{"Programs 259", "Desktop 260", "SendTo 260"}), reads);
    // Seven shortcuts, none with an icon of its own.
    EXPECT_EQ(7, seam::Count("IPersistFile::Save"));
    EXPECT_EQ(0, seam::Count("IShellLinkA::SetIconLocation"));
}

TEST_F(ProgramGroupTest, ASecondRunReusesTheGroupAndReplacesItsLinks) {
    ASSERT_TRUE(CreateProgramGroup(context));
    const std::string first = deploy::Join(group, expected[0].linkName);
    deploy::WriteBytes(first, "garbage");
    deploy::WriteBytes(deploy::Join(desktop, expected[0].linkName), "garbage");
    seam::Reset();

    ASSERT_TRUE(CreateProgramGroup(context));

    EXPECT_LINKS(group, kAll);
    EXPECT_LINKS(desktop, kFirst);
    EXPECT_LINKS(sendTo, kFirst);
    EXPECT_TRUE(seam::MessageBoxes().empty());
    ASSERT_EQ(1, seam::Count("CreateDirectoryA"));
    EXPECT_EQ(group, seam::CallsOf("CreateDirectoryA")[0].args[0]);
    EXPECT_RELEASED();
}

// A Programs folder that the system does not name, or that does not fit the
// read, leaves the phase without a group, a copy or a message.
TEST_F(ProgramGroupTest, NoProgramsFolderSkipsThePhase) {
    struct Case {
        const char* what;
        std::string value;
        const char* failing;  // failed through the seam, with `error`, where an argument holds `arg`
        DWORD error;
        const char* arg;
    };
    const Case cases[] = {
        {"no Programs value", programs, "RegQueryValueExA", ERROR_FILE_NOT_FOUND, "Programs"},
        {"a path of 259 characters", "C:\\" + std::string(256, 'p'), nullptr, 0, ""},
        {"the key can't be opened for reading and writing", programs, "RegOpenKeyExA", ERROR_ACCESS_DENIED, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        seam::Reset();
        SetFolder("Programs", c.value);
        if (c.failing) seam::Fail(c.failing, c.error, 0, c.arg);

        EXPECT_TRUE(CreateProgramGroup(context));

        EXPECT_EQ(0, seam::Count("CreateDirectoryA"));
        EXPECT_EQ(0, seam::Count("CoCreateInstance"));
        EXPECT_TRUE(deploy::List(programs).empty());
        EXPECT_TRUE(deploy::List(desktop).empty());
        EXPECT_TRUE(deploy::List(sendTo).empty());
        EXPECT_TRUE(seam::MessageBoxes().empty());
        EXPECT_RELEASED();
    }
}

// The one failure of the phase: the group folder itself, shown with the
// information icon, and nothing after it.
TEST_F(ProgramGroupTest, AGroupFolderThatCannotBeMadeEndsThePhase) {
    struct Case {
        const char* what;
        std::string programs;
        const char* failing;  // CreateDirectoryA failed on purpose, with `error`
        DWORD error;
        bool tried;           // CreateDirectoryA was called
    };
    const std::string missing = deploy::Join(root, "No Programs Folder");
    // 258 characters: the read takes it, but not the group's name after it.
    const std::string deep = deploy::Join(root, std::string(257 - root.size(), 'd'));
    const Case cases[] = {
        {"the Programs folder is missing", missing, nullptr, ERROR_PATH_NOT_FOUND, true},
        {"the folder is refused", programs, "CreateDirectoryA", ERROR_ACCESS_DENIED, true},
        {"the group's path would be cut", deep, nullptr, ERROR_FILENAME_EXCED_RANGE, false},
    };
    ASSERT_EQ(258u, deep.size());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        seam::Reset();
        SetFolder("Programs", c.programs);
        if (c.failing) seam::Fail(c.failing, c.error);

        EXPECT_FALSE(CreateProgramGroup(context));

        std::string shown = c.tried ? deploy::Join(c.programs, kProductName) : c.programs + "\\";
        EXPECT_TRUE(deploy::ShowedOnly(
            Fill(Catalogue(IDS_CREATE_DIRECTORY), {shown, SystemText(c.error)}), MB_ICONINFORMATION));
        EXPECT_EQ(c.tried ? 1 : 0, seam::Count("CreateDirectoryA"));
        EXPECT_EQ(0, seam::Count("CoCreateInstance"));
        EXPECT_TRUE(deploy::List(programs).empty());
        EXPECT_TRUE(deploy::List(desktop).empty());
        EXPECT_TRUE(deploy::List(sendTo).empty());
        EXPECT_RELEASED();
    }
}

TEST_F(ProgramGroupTest, AShellFolderThatIsNotNamedSkipsOnlyItsCopy) {
    struct Case {
        const char* what;
        bool desktop, sendTo;  // the value is there
    };
    const Case cases[] = {
        {"no Desktop value", false, true},
        {"no SendTo value", true, false},
        {"neither", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RemoveTree(group);
        for (const std::string& copy : {desktop, sendTo})
            for (const std::string& name : deploy::List(copy)) DeleteFileA(deploy::Join(copy, name).c_str());
        seam::Reset();
        if (!c.desktop) seam::Fail("RegQueryValueExA", ERROR_FILE_NOT_FOUND, 0, "Desktop");
        if (!c.sendTo) seam::Fail("RegQueryValueExA", ERROR_FILE_NOT_FOUND, 0, "SendTo");

        EXPECT_TRUE(CreateProgramGroup(context));

        EXPECT_LINKS(group, kAll);
        EXPECT_LINKS(desktop, c.desktop ? kFirst : std::vector<size_t>{});
        EXPECT_LINKS(sendTo, c.sendTo ? kFirst : std::vector<size_t>{});
        EXPECT_TRUE(seam::MessageBoxes().empty());
        EXPECT_RELEASED();
    }
}

// A shortcut that can't be written is passed over and the next one is
// written; whatever step failed, no link object stays referenced.
TEST_F(ProgramGroupTest, AShortcutThatCannotBeWrittenIsPassedOver) {
    struct Case {
        const char* what;
        const char* fn;
        int nth;
        std::string arg;
        std::vector<size_t> inGroup;
        bool onDesktop, inSendTo;
    };
    const Case cases[] = {
        {"the link object can't be created", "CoCreateInstance", 0, "", {}, false, false},
        {"the second target is refused", "IShellLinkA::SetPath", 0, expected[1].target, {0, 2, 3, 4}, true, true},
        {"the uninstaller's arguments are refused", "IShellLinkA::SetArguments", 0, expected[4].arguments,
         {0, 1, 2, 3}, true, true},
        {"the Desktop copy's description is refused", "IShellLinkA::SetDescription", 2, "", kAll, false, true},
        {"the SendTo copy can't be saved", "IPersistFile::Save", 0, sendTo, kAll, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RemoveTree(group);
        for (const std::string& copy : {desktop, sendTo})
            for (const std::string& name : deploy::List(copy)) DeleteFileA(deploy::Join(copy, name).c_str());
        seam::Reset();
        seam::Fail(c.fn, static_cast<DWORD>(E_ACCESSDENIED), c.nth, c.arg);

        EXPECT_TRUE(CreateProgramGroup(context));

        EXPECT_LINKS(group, c.inGroup);
        EXPECT_LINKS(desktop, c.onDesktop ? kFirst : std::vector<size_t>{});
        EXPECT_LINKS(sendTo, c.inSendTo ? kFirst : std::vector<size_t>{});
        EXPECT_TRUE(seam::MessageBoxes().empty());
        EXPECT_RELEASED();
    }
}

// A link path of 259 characters is written; a longer one would be cut and
// the link saved under another name, so that shortcut is left out whole.
TEST_F(ProgramGroupTest, LinkPathsThatWouldBeCutAreLeftOut) {
    // The first link name, the same in every language, fills the 259 exactly.
    const size_t fill = 259 - (1 + lstrlenA(kProductName) + 1 + expected[0].linkName.size());
    const std::string deep = deploy::MakeFolder(root, std::string(fill - root.size() - 1, 'd'));
    ASSERT_EQ(fill, deep.size());
    SetFolder("Programs", deep);
    const std::string deepGroup = deploy::Join(deep, kProductName);

    ASSERT_TRUE(CreateProgramGroup(context));

    std::vector<size_t> fitting;
    for (size_t i = 0; i < expected.size(); ++i)
        if (deepGroup.size() + 1 + expected[i].linkName.size() <= 259) fitting.push_back(i);
    ASSERT_FALSE(fitting.empty());
    EXPECT_EQ(0u, fitting[0]);
    EXPECT_LINKS(deepGroup, fitting);
    EXPECT_EQ(static_cast<int>(fitting.size()) + 2, seam::Count("IPersistFile::Save"));
    EXPECT_LINKS(desktop, kFirst);
    EXPECT_LINKS(sendTo, kFirst);
    EXPECT_TRUE(seam::MessageBoxes().empty());
    EXPECT_RELEASED();
}

}  // namespace
