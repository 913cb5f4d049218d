// UpdateSystemLibraries in scratch folders that stand for the setup's own,
// the system and the Windows directory: which versions lead to a replacement,
// the Wininit.ini entries on Windows 95 and 98 (with what the file held
// before, and after failed writes), the delayed moves on NT, the failures and
// their messages, and the progress shown for each library.
#include <gtest/gtest.h>

#include <algorithm>

#include "DeployFixture.h"
#include "MachineLock.h"
#include "Seam.h"
#include "TestText.h"
#include "app/Manifest.h"
#include "app/SetupContext.h"
#include "resource.h"

namespace {

// Wine reads the version of any program file named like one of its own
// libraries (msvcrt, oleaut32, olepro32) from its built-in copy, wherever the
// file lies. So only Mfc42.dll's versions can be chosen here; one of the
// other three is newer than its installed copy only when that copy is
// missing or has no version (a text file), and 0.0.0 then.
const char* const kLibraries[] = {"Mfc42.dll", "Msvcrt.dll", "Oleaut32.dll", "Olepro32.dll"};
const char kEqual[] = "5.0.2000.0";  // shipped and installed alike: left alone

// A library file: a version "A.B.C.D", "text" for a file without version
// resource, or "" for no file.
void PutLibrary(const std::string& path, const std::string& version) {
    DeleteFileA(path.c_str());
    if (version == "text") deploy::WriteBytes(path, "no version resource\r\n");
    else if (!version.empty()) deploy::WriteVersioned(path, version);
}

std::vector<std::string> Lines(const char* section, DWORD length) {
    std::vector<std::string> lines;
    for (const char* p = section; p < section + length && *p; p += lstrlenA(p) + 1) lines.push_back(p);
    return lines;
}

class SystemLibrariesTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = deploy::ScratchRoot();
        RemoveTree(root);
        source = deploy::MakeFolder(root, "Setup Source");
        system = deploy::MakeFolder(root, "System Folder");
        for (const char* name : kLibraries) {
            Ship(name, kEqual);
            Install(name, kEqual);
        }
        InitSetupContext(context);
        lstrcpyA(context.sourceDir, source.c_str());
        lstrcpyA(context.systemDir, system.c_str());
        UseWindowsFolder("Windows Folder");
        context.fileTotal = 58;
        context.isNT = false;
    }
    void TearDown() override { RemoveTree(root); }

    void UseWindowsFolder(const std::string& part) {
        windows = deploy::MakeFolder(root, part);
        lstrcpyA(context.windowsDir, windows.c_str());
    }
    void Ship(const std::string& name, const std::string& version) { PutLibrary(Shipped(name), version); }
    void Install(const std::string& name, const std::string& version) { PutLibrary(Installed(name), version); }
    std::string Shipped(const std::string& name) const { return deploy::Join(source, name); }
    std::string Installed(const std::string& name) const { return deploy::Join(system, name); }
    std::string Journal() const { return deploy::Join(windows, "Wininit.ini"); }
    std::vector<std::string> Temps() const { return deploy::List(system, "tem*.tmp"); }

    // The temporary copy made for the n-th replacement, as the copy named it.
    std::string Temp(size_t n) const {
        std::vector<seam::Call> copies = seam::CallsOf("CopyFileA");
        return n < copies.size() ? copies[n].args[1] : "(no copy " + std::to_string(n) + ")";
    }

    // The journal entry for one library: delete the installed copy, then move
    // the temporary copy in; only the move for a library the system lacks.
    std::string Entry(const std::string& name, const std::string& temp) const {
        std::string move = "=" + deploy::ShortPath(temp) + "\r\n";
        if (!deploy::Exists(Installed(name))) return deploy::Join(deploy::ShortPath(system), name) + move;
        std::string installed = deploy::ShortPath(Installed(name));
        return "NUL=" + installed + "\r\n" + installed + move;
    }

    // The journal is closed: nobody holds it open without sharing.
    bool JournalClosed() const {
        HANDLE file = CreateFileA(Journal().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
        CloseHandle(file);
        return context.renameJournal == INVALID_HANDLE_VALUE;
    }

    std::string root, source, system, windows;
    SetupContext context;
};

TEST_F(SystemLibrariesTest, ShippedCopyReplacesOnlyWhenNewer) {
    struct Case {
        const char* installed;
        const char* shipped;
        bool replaced;
    };
    const Case cases[] = {
        {"6.0.8168.0", "6.0.8447.0", true},    // the builds decide
        {"6.1.0.0", "6.0.9999.0", false},      // the minors decide before the builds
        {"6.0.8447.5", "6.0.8447.9", false},   // the fourth number is not compared
        {"6.0.8447.9", "6.0.8447.5", false},
        {"5.9.9999.0", "6.0.0.0", true},
        {"7.0.0.0", "6.9.9999.0", false},
        {"6.0.8447.0", "6.0.40000.0", true},   // numbers compare unsigned
        {"6.0.40000.0", "6.0.8447.0", false},
        {"", "6.0.8447.0", true},              // not installed yet: 0.0.0
        {"text", "0.0.1.0", true},             // installed without version: 0.0.0
        {"", "0.0.0.0", false},                // 0.0.0 is never installed
        {"text", "0.0.0.9", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("installed ") + c.installed + ", shipped " + c.shipped);
        seam::Reset();
        for (const std::string& temp : Temps()) DeleteFileA(deploy::Join(system, temp).c_str());
        DeleteFileA(Journal().c_str());
        Install("Mfc42.dll", c.installed);
        Ship("Mfc42.dll", c.shipped);
        std::string before = deploy::ReadBytes(Installed("Mfc42.dll"));
        context.rebootNeeded = false;
        context.fileIndex = 0;

        ASSERT_TRUE(UpdateSystemLibraries(context));

        EXPECT_EQ(context.rebootNeeded, c.replaced);
        EXPECT_EQ(Temps().size(), c.replaced ? 1u : 0u);
        EXPECT_EQ(deploy::Exists(Journal()), c.replaced);
        EXPECT_EQ(deploy::ReadBytes(Installed("Mfc42.dll")), before) << "the installed copy waits for the restart";
        EXPECT_TRUE(seam::MessageBoxes().empty());
    }
}

TEST_F(SystemLibrariesTest, Windows9xJournalsEachReplacementInListOrder) {
    Install("Mfc42.dll", "");                 // one the system does not have yet
    Ship("Mfc42.dll", "6.0.8447.0");
    Install("Oleaut32.dll", "text");
    Ship("Oleaut32.dll", "2.40.4275.1");
    std::string installedOleaut = deploy::ReadBytes(Installed("Oleaut32.dll"));

    ASSERT_TRUE(UpdateSystemLibraries(context));

    EXPECT_TRUE(context.rebootNeeded);
    std::string first = Entry("Mfc42.dll", Temp(0));
    std::string second = Entry("Oleaut32.dll", Temp(1));
    EXPECT_EQ(deploy::ReadBytes(Journal()), "[rename]\r\n" + first + second);
    // The header once, then each entry in a single write: none can be cut in half.
    std::vector<seam::Call> writes = seam::CallsOf("WriteFile");
    ASSERT_EQ(writes.size(), 3u);
    EXPECT_EQ(writes[0].args[1], "[rename]\r\n");
    EXPECT_EQ(writes[1].args[1], first);
    EXPECT_EQ(writes[2].args[1], second);

    std::vector<seam::Call> opens = seam::CallsOf("CreateFileA");
    ASSERT_EQ(opens.size(), 1u);
    EXPECT_EQ(opens[0].args[0], Journal());
    EXPECT_EQ(opens[0].args[2], "0") << "no sharing";
    EXPECT_EQ(opens[0].args[3], seam::Num(OPEN_ALWAYS));
    EXPECT_TRUE(std::stoul(opens[0].args[1]) & GENERIC_WRITE);
    EXPECT_TRUE(JournalClosed());

    std::vector<seam::Call> temps = seam::CallsOf("GetTempFileNameA");
    ASSERT_EQ(temps.size(), 2u);
    EXPECT_EQ(temps[0].args, (std::vector<std::string>{system, "temp", "0"}));
    EXPECT_EQ(deploy::ReadBytes(Temp(0)), deploy::ReadBytes(Shipped("Mfc42.dll")));
    EXPECT_EQ(deploy::ReadBytes(Temp(1)), deploy::ReadBytes(Shipped("Oleaut32.dll")));
    EXPECT_FALSE(deploy::Exists(Installed("Mfc42.dll")));
    EXPECT_EQ(deploy::ReadBytes(Installed("Oleaut32.dll")), installedOleaut);
    EXPECT_EQ(seam::Count("MoveFileExA"), 0);
    EXPECT_TRUE(seam::MessageBoxes().empty());
}

TEST_F(SystemLibrariesTest, NothingToReplaceLeavesWininitAlone) {
    const char* const held[] = {nullptr, "[rename]\r\nC:\\A.DLL=C:\\B.TMP\r\n"};
    for (const char* journal : held) {
        SCOPED_TRACE(journal ? "Wininit.ini present" : "no Wininit.ini");
        seam::Reset();
        DeleteFileA(Journal().c_str());
        if (journal) deploy::WriteBytes(Journal(), journal);
        context.fileIndex = 0;

        ASSERT_TRUE(UpdateSystemLibraries(context));

        EXPECT_FALSE(context.rebootNeeded);
        EXPECT_EQ(deploy::Exists(Journal()), journal != nullptr);
        if (journal) EXPECT_EQ(deploy::ReadBytes(Journal()), journal);
        EXPECT_EQ(seam::Count("CreateFileA"), 0);
        EXPECT_EQ(seam::Count("GetTempFileNameA"), 0);
        EXPECT_TRUE(Temps().empty());
    }
}

// Whatever Wininit.ini held stays, and the next start carries out both the
// earlier renames and ours: they end up in the first [rename] section, which
// the system reads back here through its own profile functions.
TEST_F(SystemLibrariesTest, ExistingWininitKeepsWhatItHeld) {
    struct Case {
        const char* what;
        const char* before;
        const char* after;    // '@' stands for our entry
        const char* earlier;  // a rename of the file's own that must still be read, or ""
    };
    const Case cases[] = {
        {"empty file", "", "[rename]\r\n@", ""},
        {"another section", "[boot]\r\nshell=Explorer.exe\r\n", "[boot]\r\nshell=Explorer.exe\r\n[rename]\r\n@", ""},
        {"no line break at the end", "[boot]\r\nshell=Explorer.exe",
         "[boot]\r\nshell=Explorer.exe\r\n[rename]\r\n@", ""},
        {"rename section at the end", "[Rename]\r\nNUL=C:\\OLD.DLL\r\nC:\\OLD.DLL=C:\\NEW.TMP\r\n",
         "[Rename]\r\nNUL=C:\\OLD.DLL\r\nC:\\OLD.DLL=C:\\NEW.TMP\r\n@", "C:\\OLD.DLL=C:\\NEW.TMP"},
        {"rename section before another", "[rename]\r\nC:\\A.DLL=C:\\B.TMP\r\n\r\n[boot]\r\nshell=Explorer.exe\r\n",
         "[rename]\r\nC:\\A.DLL=C:\\B.TMP\r\n@\r\n[boot]\r\nshell=Explorer.exe\r\n", "C:\\A.DLL=C:\\B.TMP"},
        {"header with blanks, last line unended", "[boot]\r\n [ RENAME ] \r\nC:\\A.DLL=C:\\B.TMP",
         "[boot]\r\n [ RENAME ] \r\nC:\\A.DLL=C:\\B.TMP\r\n@", "C:\\A.DLL=C:\\B.TMP"},
        {"a section named like it", "[renamed]\r\nC:\\A.DLL=C:\\B.TMP\r\n",
         "[renamed]\r\nC:\\A.DLL=C:\\B.TMP\r\n[rename]\r\n@", ""},
        {"line feeds only", "[rename]\nC:\\A.DLL=C:\\B.TMP\n[boot]\n", "[rename]\nC:\\A.DLL=C:\\B.TMP\n@[boot]\n",
         "C:\\A.DLL=C:\\B.TMP"},
    };
    Install("Oleaut32.dll", "text");
    Ship("Oleaut32.dll", "2.40.4275.1");
    int row = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        seam::Reset();
        // A folder per row: the profile functions may keep a file they read.
        UseWindowsFolder("Windows Folder " + std::to_string(++row));
        deploy::WriteBytes(Journal(), c.before);

        ASSERT_TRUE(UpdateSystemLibraries(context));

        std::string entry = Entry("Oleaut32.dll", Temp(0));
        std::string expected = c.after;
        expected.replace(expected.find('@'), 1, entry);
        EXPECT_EQ(deploy::ReadBytes(Journal()), expected);

        char section[4096];
        DWORD length = GetPrivateProfileSectionA("rename", section, sizeof section, Journal().c_str());
        std::vector<std::string> lines = Lines(section, length);
        ASSERT_GE(lines.size(), 2u);
        EXPECT_EQ(lines[lines.size() - 2] + "\r\n" + lines.back() + "\r\n", entry);
        if (*c.earlier) EXPECT_NE(std::find(lines.begin(), lines.end(), c.earlier), lines.end());
        for (const std::string& temp : Temps()) DeleteFileA(deploy::Join(system, temp).c_str());
    }
}

// A failed write shows the journal's name and the system's reason, and leaves
// the file as the last complete entry left it.
TEST_F(SystemLibrariesTest, FailedWriteLeavesNoHalfEntry) {
    struct Case {
        const char* what;
        const char* before;  // null: no Wininit.ini yet
        int failingWrite;
        const char* after;   // '1' stands for the first entry
    };
    const Case cases[] = {
        {"the header", nullptr, 1, ""},
        {"the first entry", nullptr, 2, "[rename]\r\n"},
        {"the second entry", nullptr, 3, "[rename]\r\n1"},
        {"an entry inside the file", "[rename]\r\nC:\\A.DLL=C:\\B.TMP\r\n[boot]\r\nshell=Explorer.exe\r\n", 1,
         "[rename]\r\nC:\\A.DLL=C:\\B.TMP\r\n[boot]\r\nshell=Explorer.exe\r\n"},
    };
    Install("Mfc42.dll", "");
    Ship("Mfc42.dll", "6.0.8447.0");
    Install("Oleaut32.dll", "text");
    Ship("Oleaut32.dll", "2.40.4275.1");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        seam::Reset();
        DeleteFileA(Journal().c_str());
        if (c.before) deploy::WriteBytes(Journal(), c.before);
        seam::Fail("WriteFile", ERROR_DISK_FULL, c.failingWrite);

        EXPECT_FALSE(UpdateSystemLibraries(context));

        std::string expected = c.after;
        size_t at = expected.find('1');
        if (at != std::string::npos) expected.replace(at, 1, Entry("Mfc42.dll", Temp(0)));
        EXPECT_EQ(deploy::ReadBytes(Journal()), expected);
        EXPECT_TRUE(deploy::ShowedOnly(Fill(Catalogue(IDS_WRITE_ERROR), {Journal(), SystemText(ERROR_DISK_FULL)})));
        EXPECT_TRUE(JournalClosed());
        for (const std::string& temp : Temps()) DeleteFileA(deploy::Join(system, temp).c_str());
    }
}

TEST_F(SystemLibrariesTest, JournalThatCannotBeCreated) {
    Install("Msvcrt.dll", "");
    seam::Fail("CreateFileA", ERROR_ACCESS_DENIED, 0, "Wininit.ini");

    EXPECT_FALSE(UpdateSystemLibraries(context));

    EXPECT_TRUE(deploy::ShowedOnly(Fill(Catalogue(IDS_CREATE_FILE), {Journal(), SystemText(ERROR_ACCESS_DENIED)})));
    EXPECT_TRUE(context.rebootNeeded);
    EXPECT_EQ(seam::Count("WriteFile"), 0);
    EXPECT_FALSE(deploy::Exists(Journal()));
    EXPECT_EQ(context.fileIndex, 2) << "the libraries after it are not looked at";
}

// On NT a refused delayed move names the installed copy with the move's own
// error, even when deleting the orphaned temporary copy fails as well.
TEST_F(SystemLibrariesTest, NtRefusedMoveRemovesTheTemporaryCopy) {
    struct Case {
        DWORD moveError;
        DWORD deleteError;  // 0: the deletion works
        UINT message;
    };
    const Case cases[] = {
        {ERROR_ACCESS_DENIED, 0, IDS_SYSLIB_ACCESS},
        {ERROR_WRITE_PROTECT, 0, IDS_SYSLIB_FAILED},
        {ERROR_ACCESS_DENIED, ERROR_SHARING_VIOLATION, IDS_SYSLIB_ACCESS},
    };
    context.isNT = true;
    Install("Olepro32.dll", "text");
    Ship("Olepro32.dll", "5.0.4275.1");
    std::string installed = Installed("Olepro32.dll");
    std::string before = deploy::ReadBytes(installed);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.moveError);
        seam::Reset();
        for (const std::string& temp : Temps()) DeleteFileA(deploy::Join(system, temp).c_str());
        seam::Fail("MoveFileExA", c.moveError);
        if (c.deleteError) seam::Fail("DeleteFileA", c.deleteError);

        EXPECT_FALSE(UpdateSystemLibraries(context));

        EXPECT_TRUE(deploy::ShowedOnly(Fill(Catalogue(c.message), {installed, SystemText(c.moveError)})));
        std::vector<seam::Call> moves = seam::CallsOf("MoveFileExA");
        ASSERT_EQ(moves.size(), 1u);
        EXPECT_EQ(moves[0].args, (std::vector<std::string>{Temp(0), installed, "5"}));
        std::vector<seam::Call> deletes = seam::CallsOf("DeleteFileA");
        ASSERT_EQ(deletes.size(), 1u);
        EXPECT_EQ(deletes[0].args[0], Temp(0));
        if (!c.deleteError) EXPECT_TRUE(Temps().empty()) << "the temporary copy is gone";
        EXPECT_EQ(deploy::ReadBytes(installed), before);
        EXPECT_FALSE(deploy::Exists(Journal()));
    }
}

// The pending renames that the system keeps for the next start, as pairs of
// source and target. Ours are taken out again, so that the test machine's
// next start does not carry them out.
std::vector<std::pair<std::string, std::string>> TakePendingRenames(const std::string& under) {
    std::vector<std::pair<std::string, std::string>> ours;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager", 0,
                      KEY_QUERY_VALUE | KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return ours;
    std::vector<WCHAR> data(65536);
    DWORD size = static_cast<DWORD>(data.size() * sizeof(WCHAR));
    DWORD type = 0;
    if (RegQueryValueExW(key, L"PendingFileRenameOperations", nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                         &size) == ERROR_SUCCESS) {
        std::vector<std::wstring> strings;
        for (const WCHAR* p = data.data(); p < data.data() + size / sizeof(WCHAR) && *p; p += lstrlenW(p) + 1)
            strings.push_back(p);
        std::wstring kept;
        std::wstring wideUnder(under.begin(), under.end());
        for (size_t i = 0; i + 1 < strings.size(); i += 2) {
            if (strings[i].find(wideUnder) != std::wstring::npos) {
                ours.emplace_back(std::string(strings[i].begin(), strings[i].end()),
                                  std::string(strings[i + 1].begin(), strings[i + 1].end()));
            } else {
                kept += strings[i] + L'\0' + strings[i + 1] + L'\0';
            }
        }
        if (kept.empty()) {
            RegDeleteValueW(key, L"PendingFileRenameOperations");
        } else {
            kept += L'\0';
            RegSetValueExW(key, L"PendingFileRenameOperations", 0, REG_MULTI_SZ,
                           reinterpret_cast<const BYTE*>(kept.data()), static_cast<DWORD>(kept.size() * sizeof(WCHAR)));
        }
    }
    RegCloseKey(key);
    return ours;
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

TEST_F(SystemLibrariesTest, NtRegistersADelayedMove) {
    context.isNT = true;
    Install("Msvcrt.dll", "text");
    Ship("Msvcrt.dll", "6.0.8397.0");
    std::string before = deploy::ReadBytes(Installed("Msvcrt.dll"));

    bool updated;
    std::vector<std::pair<std::string, std::string>> pending;
    {
        // The value is the machine's: no other run may add or take entries in between.
        MachineLock lock("PendingFileRenameOperations");
        updated = UpdateSystemLibraries(context);
        pending = TakePendingRenames(system);
    }

    ASSERT_TRUE(updated);
    EXPECT_TRUE(context.rebootNeeded);
    ASSERT_EQ(pending.size(), 1u);
    EXPECT_TRUE(EndsWith(pending[0].first, Temp(0))) << pending[0].first;
    EXPECT_TRUE(EndsWith(pending[0].second, Installed("Msvcrt.dll"))) << pending[0].second;
    EXPECT_EQ(pending[0].second[0], '!') << "an existing library is replaced";
    EXPECT_EQ(deploy::ReadBytes(Temp(0)), deploy::ReadBytes(Shipped("Msvcrt.dll")));
    EXPECT_EQ(deploy::ReadBytes(Installed("Msvcrt.dll")), before);
    EXPECT_FALSE(deploy::Exists(Journal()));
    EXPECT_EQ(seam::Count("CreateFileA"), 0);
    EXPECT_TRUE(seam::MessageBoxes().empty());
}

TEST_F(SystemLibrariesTest, ShippedCopyWithoutVersionStopsThePhase) {
    struct Case {
        const char* what;
        const char* shipped;
        DWORD error;  // the reason shown, when the test knows it
    };
    const Case cases[] = {{"missing", "", ERROR_FILE_NOT_FOUND}, {"no version resource", "text", 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        seam::Reset();
        Ship("Msvcrt.dll", c.shipped);  // the installed copy is there
        context.fileIndex = 0;

        EXPECT_FALSE(UpdateSystemLibraries(context));

        std::string shipped = Shipped("Msvcrt.dll");
        ASSERT_EQ(seam::MessageBoxes().size(), 1u);
        std::string shown = seam::MessageBoxes()[0].text;
        std::string prefix = Fill(Catalogue(IDS_FILE_ACCESS), {shipped, ""});
        EXPECT_EQ(shown.substr(0, prefix.size()), prefix);
        if (c.error) EXPECT_EQ(shown, Fill(Catalogue(IDS_FILE_ACCESS), {shipped, SystemText(c.error)}));
        EXPECT_EQ(seam::MessageBoxes()[0].style, static_cast<UINT>(MB_ICONSTOP));
        EXPECT_EQ(context.fileIndex, 2);
        EXPECT_EQ(seam::Count("GetTempFileNameA"), 0);
    }
}

TEST_F(SystemLibrariesTest, NoMemoryForAVersionBuffer) {
    // The first buffer is the shipped Mfc42.dll's, the second its installed copy's.
    for (int nth : {1, 2}) {
        SCOPED_TRACE(nth);
        seam::Reset();
        seam::Fail("HeapAlloc", ERROR_NOT_ENOUGH_MEMORY, nth);
        EXPECT_FALSE(UpdateSystemLibraries(context));
        EXPECT_TRUE(deploy::ShowedOnly(Catalogue(IDS_NO_MEMORY)));
        EXPECT_EQ(seam::Count("GetTempFileNameA"), 0);
    }
}

// A failed copy names the shipped copy and the temporary file, which stays
// empty; without a temporary file, the system directory and the reason none
// could be made.
TEST_F(SystemLibrariesTest, FailedCopyToTheTemporaryFile) {
    Ship("Mfc42.dll", "6.0.8447.0");
    std::string shipped = Shipped("Mfc42.dll");

    seam::Fail("CopyFileA", ERROR_DISK_FULL);
    EXPECT_FALSE(UpdateSystemLibraries(context));
    std::vector<std::string> temps = Temps();
    ASSERT_EQ(temps.size(), 1u);
    std::string temp = deploy::Join(system, temps[0]);
    EXPECT_TRUE(deploy::ShowedOnly(Fill(Catalogue(IDS_COPY_FAILED), {shipped, temp, SystemText(ERROR_DISK_FULL)})));
    EXPECT_EQ(deploy::ReadBytes(temp), "");
    EXPECT_FALSE(deploy::Exists(Journal()));
    DeleteFileA(temp.c_str());

    seam::Reset();
    seam::Fail("GetTempFileNameA", ERROR_DISK_FULL);
    EXPECT_FALSE(UpdateSystemLibraries(context));
    EXPECT_TRUE(deploy::ShowedOnly(
        Fill(Catalogue(IDS_COPY_FAILED), {shipped, system + "\\", SystemText(ERROR_DISK_FULL)})));
    EXPECT_TRUE(Temps().empty());
}

TEST_F(SystemLibrariesTest, EveryLibraryIsShownBeforeItsWork) {
    Ship("Mfc42.dll", "6.0.8447.0");
    deploy::ProgressRecorder progress(context);
    ASSERT_TRUE(progress.HasWindow());

    ASSERT_TRUE(UpdateSystemLibraries(context));

    const int positions[] = {0, 1, 3, 5};
    const int copiesBefore[] = {0, 1, 1, 1};  // only Mfc42.dll is copied
    ASSERT_EQ(progress.steps.size(), 4u);
    for (int k = 0; k < 4; ++k) {
        SCOPED_TRACE(kLibraries[k]);
        EXPECT_EQ(progress.steps[k].status, std::string("Installing ") + kLibraries[k] + ".");
        EXPECT_EQ(progress.steps[k].position, positions[k]);
        EXPECT_EQ(progress.steps[k].copiesBefore, copiesBefore[k]);
    }
    EXPECT_EQ(context.fileIndex, 4);
}

}  // namespace
