// The search-path phase on both platforms. The NT way works on a stand-in for
// HKEY_LOCAL_MACHINE: RegOverridePredefKey maps it, for this process only, to
// a scratch key under HKCU\Software\SetupTests\SearchPathTest, so the test
// machine's own Path is never touched. The Windows 9x way edits a scratch
// Autoexec.bat under %TEMP%, to which the phase's file path is pointed. The
// seam fails what a machine can't be made to fail (a full disk, no memory).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Scratch.h"
#include "Seam.h"
#include "TestText.h"
#include "app/SetupContext.h"
#include "register/SearchPath.h"
#include "resource.h"

namespace {

const char kScratchKey[] = "Software\\SetupTests\\SearchPathTest";
const char kEnvironment[] = "System\\CurrentControlSet\\Control\\Session Manager\\Environment";
const char kDir[] = "C:\\Program Files\\Scrivon V4.1";
const std::string kQuoted = std::string("\"") + kDir + "\"";

class SearchPathTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_root.ok());
        m_machine = m_root.key();

        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        m_folder = std::string(temp) + "SearchPathTest";
        CreateDirectoryA(m_folder.c_str(), nullptr);
        m_file = m_folder + "\\Autoexec.bat";
        DeleteFileA(m_file.c_str());
        m_savedPath = autoexecPath;
        autoexecPath = m_file.c_str();

        InitSetupContext(m_context);
        lstrcpyA(m_context.installDir, kDir);
    }

    void TearDown() override {
        autoexecPath = m_savedPath;
        DeleteFileA(m_file.c_str());
        RemoveDirectoryA(m_folder.c_str());
    }

    // The Path value of the stand-in machine, stored through the wide API as
    // NT stores it, with its terminator.
    void StorePath(DWORD type, const std::string& text) {
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(m_machine, kEnvironment, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                                 &key, nullptr));
        std::wstring wide(text.size() + 1, L'\0');
        MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], static_cast<int>(wide.size()));
        wide.resize(lstrlenW(wide.c_str()) + 1);
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, L"Path", 0, type, reinterpret_cast<const BYTE*>(wide.data()),
                                                static_cast<DWORD>(2 * wide.size())));
        RegCloseKey(key);
    }

    void DeleteStoredPath() {
        HKEY key;
        if (RegOpenKeyExA(m_machine, kEnvironment, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
        RegDeleteValueA(key, "Path");
        RegCloseKey(key);
    }

    // The stored value, its type, and its text up to a terminator if any.
    bool StoredPath(DWORD* type, std::string* text) {
        HKEY key;
        if (RegOpenKeyExA(m_machine, kEnvironment, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
        wchar_t data[4096];
        DWORD size = sizeof data;
        LONG rc = RegQueryValueExW(key, L"Path", nullptr, type, reinterpret_cast<BYTE*>(data), &size);
        RegCloseKey(key);
        if (rc != ERROR_SUCCESS) return false;
        std::wstring wide(data, size / 2);
        wide.resize(lstrlenW(wide.c_str()) < static_cast<int>(wide.size()) ? lstrlenW(wide.c_str()) : wide.size());
        char ansi[8192] = "";
        WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), ansi, sizeof ansi - 1, nullptr,
                            nullptr);
        *text = ansi;
        return true;
    }

    void WriteAutoexec(const std::string& bytes) {
        HANDLE file = CreateFileA(m_file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
        CloseHandle(file);
    }

    // The file's bytes; "(none)" when it does not exist.
    std::string ReadAutoexec() {
        HANDLE file = CreateFileA(m_file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) return "(none)";
        std::string bytes(GetFileSize(file, nullptr), '\0');
        DWORD read = 0;
        if (!bytes.empty()) ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr);
        CloseHandle(file);
        return bytes;
    }

    std::vector<std::string> Messages() {
        std::vector<std::string> out;
        for (const seam::MessageBoxCall& box : seam::MessageBoxes()) {
            out.push_back(box.text);
            EXPECT_EQ(box.style, static_cast<UINT>(MB_ICONSTOP)) << box.text;
        }
        return out;
    }

    int PathWrites() {
        int n = 0;
        for (const seam::Call& c : seam::CallsOf("RegSetValueExA")) n += c.args.at(1) == "Path";
        return n;
    }

    RedirectedRoot m_root{HKEY_LOCAL_MACHINE, kScratchKey};
    HKEY m_machine = nullptr;
    std::string m_folder, m_file;
    const char* m_savedPath = nullptr;
    SetupContext m_context;
};

}  // namespace

TEST_F(SearchPathTest, NtAppendsTheFolderOnceAndKeepsTheValuesType) {
    struct Case {
        const char* name;
        DWORD type;
        std::string before, after;   // after "": nothing written
    };
    const Case cases[] = {
        {"NT's own expandable Path", REG_EXPAND_SZ, "%SystemRoot%\\system32;%SystemRoot%",
         std::string("%SystemRoot%\\system32;%SystemRoot%;") + kDir},
        {"plain text with a trailing semicolon", REG_SZ, "C:\\BIN;", std::string("C:\\BIN;") + kDir},
        {"empty value", REG_SZ, "", std::string(";") + kDir},
        {"present in another case", REG_EXPAND_SZ, "C:\\BIN;c:\\PROGRAM FILES\\scrivon v4.1", ""},
        {"present as the start of a longer entry", REG_SZ, std::string(kDir) + "\\bin", ""},
    };
    for (const Case& c : cases) {
        seam::Reset();
        StorePath(c.type, c.before);
        m_context.isNT = true;
        m_context.pathChanged = true;   // cleared by the phase
        EXPECT_TRUE(AddToSearchPath(m_context)) << c.name;
        EXPECT_EQ(m_context.pathChanged, !c.after.empty()) << c.name;
        EXPECT_FALSE(m_context.rebootNeeded) << c.name;
        EXPECT_TRUE(seam::MessageBoxes().empty()) << c.name;
        EXPECT_EQ(seam::OpenKeys(), 0) << c.name;
        DWORD type = 0;
        std::string text;
        ASSERT_TRUE(StoredPath(&type, &text)) << c.name;
        EXPECT_EQ(type, c.type) << c.name;
        EXPECT_EQ(text, c.after.empty() ? c.before : c.after) << c.name;
        auto writes = seam::CallsOf("RegSetValueExA");
        ASSERT_EQ(writes.size(), c.after.empty() ? 0u : 1u) << c.name;
        if (writes.empty()) continue;
        // Stored as this program stores every text: its length, no terminator.
        EXPECT_EQ(writes[0].args[3], c.after) << c.name;
        EXPECT_EQ(writes[0].args[4], seam::Num(c.after.size())) << c.name;

        // A second run reads its own value back and finds the folder.
        seam::Reset();
        EXPECT_TRUE(AddToSearchPath(m_context));
        EXPECT_FALSE(m_context.pathChanged) << c.name << ", second run";
        EXPECT_EQ(PathWrites(), 0) << c.name << ", second run";
    }
}

TEST_F(SearchPathTest, NtComparesByTheCodePage) {
    // Under code page 1252 the byte 0xE9 (e acute) folds to 0xC9.
    seam::SetACP(1252);
    lstrcpyA(m_context.installDir, "C:\\\xC9" "diteur");
    StorePath(REG_SZ, "C:\\BIN;c:\\\xE9" "DITEUR");
    m_context.isNT = true;
    EXPECT_TRUE(AddToSearchPath(m_context));
    EXPECT_FALSE(m_context.pathChanged);
    EXPECT_EQ(PathWrites(), 0);
}

TEST_F(SearchPathTest, NtValueThatCannotBeReadStopsTheRun) {
    struct Case {
        const char* name;
        bool store;
        const char* faultFn;
        DWORD error;
    };
    const Case cases[] = {
        {"missing value", false, nullptr, ERROR_FILE_NOT_FOUND},
        {"no right to the key", true, "RegOpenKeyExA", ERROR_ACCESS_DENIED},
        // Our own code for a chain node that can't be allocated reads as the
        // system's out-of-memory text, not as an unknown error -1.
        {"no memory for the key chain", true, "HeapAlloc", ERROR_NOT_ENOUGH_MEMORY},
    };
    for (const Case& c : cases) {
        seam::Reset();
        DeleteStoredPath();
        if (c.store) StorePath(REG_SZ, "C:\\BIN");
        if (c.faultFn) seam::Fail(c.faultFn, c.error, 1);
        m_context.isNT = true;
        m_context.pathChanged = true;
        EXPECT_FALSE(AddToSearchPath(m_context)) << c.name;
        EXPECT_FALSE(m_context.pathChanged) << c.name;
        EXPECT_EQ(Messages(), std::vector<std::string>{Fill(Catalogue(IDS_KEY_ACCESS),
                                                            {kEnvironment, SystemText(c.error)})})
            << c.name;
        EXPECT_EQ(PathWrites(), 0) << c.name;
        EXPECT_EQ(seam::OpenKeys(), 0) << c.name;
    }
}

TEST_F(SearchPathTest, NtWriteOrMemoryFailureIsPassedOver) {
    const std::string after = std::string("C:\\BIN;") + kDir;
    struct Case {
        const char* name;
        const char* fn;
        std::string argument;
    };
    const Case cases[] = {
        {"the value can't be written", "RegSetValueExA", "Path"},
        {"no memory for the new value", "HeapAlloc", seam::Num(after.size())},
    };
    for (const Case& c : cases) {
        seam::Reset();
        StorePath(REG_SZ, "C:\\BIN");
        seam::Fail(c.fn, ERROR_ACCESS_DENIED, 0, c.argument);
        m_context.isNT = true;
        EXPECT_TRUE(AddToSearchPath(m_context)) << c.name;
        EXPECT_TRUE(m_context.pathChanged) << c.name;
        EXPECT_TRUE(seam::MessageBoxes().empty()) << c.name;
        DWORD type;
        std::string text;
        ASSERT_TRUE(StoredPath(&type, &text));
        EXPECT_EQ(text, "C:\\BIN") << c.name;
    }
}

TEST_F(SearchPathTest, Win9xPutsTheQuotedFolderOnThePathLineOnce) {
    struct Case {
        const char* name;
        std::string before, after;   // after "": unchanged
    };
    const Case cases[] = {
        {"SET PATH line", "@ECHO OFF\r\nSET PATH=C:\\WINDOWS;C:\\WINDOWS\\COMMAND\r\nWIN\r\n",
         "@ECHO OFF\r\nSET PATH=C:\\WINDOWS;C:\\WINDOWS\\COMMAND;" + kQuoted + "\r\nWIN\r\n"},
        {"trailing semicolon", "PATH=C:\\DOS;\r\n", "PATH=C:\\DOS;" + kQuoted + ";\r\n"},
        {"no PATH line", "@ECHO OFF\r\n", "set PATH=" + kQuoted + "\r\n@ECHO OFF\r\n"},
        {"empty file", "", "set PATH=" + kQuoted + "\r\n"},
        {"already there in another case", "PATH=C:\\DOS;\"c:\\program files\\SCRIVON V4.1\"\r\n", ""},
        // What follows a zero byte is not text, but it is the user's: it stays.
        {"bytes after a zero", std::string("PATH=C:\\DOS\r\nREM\0tail\r\n", 23),
         "PATH=C:\\DOS;" + kQuoted + std::string("\r\nREM\0tail\r\n", 12)},
        {"bytes after a zero, no PATH line", std::string("REM\0PATH=X\r\n", 12),
         "set PATH=" + kQuoted + std::string("\r\nREM\0PATH=X\r\n", 14)},
    };
    for (const Case& c : cases) {
        seam::Reset();
        WriteAutoexec(c.before);
        m_context.isNT = false;
        m_context.rebootNeeded = false;
        m_context.pathChanged = true;
        EXPECT_TRUE(AddToSearchPath(m_context)) << c.name;
        EXPECT_EQ(ReadAutoexec(), c.after.empty() ? c.before : c.after) << c.name;
        EXPECT_EQ(m_context.rebootNeeded, !c.after.empty()) << c.name;
        EXPECT_FALSE(m_context.pathChanged) << c.name;
        EXPECT_TRUE(seam::MessageBoxes().empty()) << c.name;
        EXPECT_EQ(seam::Count("RegOpenKeyExA") + seam::Count("RegCreateKeyExA"), 0) << c.name;
        if (c.after.empty()) {
            EXPECT_EQ(seam::Count("WriteFile"), 0) << c.name;
            continue;
        }
        // The file is closed again: it opens without any sharing.
        HANDLE file = CreateFileA(m_file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_NE(file, INVALID_HANDLE_VALUE) << c.name;
        CloseHandle(file);

        // A second run finds the entry, changes nothing, and leaves a pending
        // restart pending.
        seam::Reset();
        EXPECT_TRUE(AddToSearchPath(m_context));
        EXPECT_EQ(ReadAutoexec(), c.after) << c.name << ", second run";
        EXPECT_TRUE(m_context.rebootNeeded) << c.name << ", second run";
        EXPECT_EQ(seam::Count("WriteFile"), 0) << c.name << ", second run";
    }
}

TEST_F(SearchPathTest, Win9xComparesByTheCodePage) {
    seam::SetACP(1252);
    lstrcpyA(m_context.installDir, "C:\\\xC9" "diteur");
    const std::string before = "PATH=C:\\DOS;\"c:\\\xE9" "DITEUR\"\r\n";
    WriteAutoexec(before);
    EXPECT_TRUE(AddToSearchPath(m_context));
    EXPECT_EQ(ReadAutoexec(), before);
    EXPECT_FALSE(m_context.rebootNeeded);
}

TEST_F(SearchPathTest, Win9xWithoutAReadableFileChangesNothing) {
    for (bool pending : {false, true}) {
        seam::Reset();
        DeleteFileA(m_file.c_str());
        m_context.rebootNeeded = pending;
        EXPECT_TRUE(AddToSearchPath(m_context)) << "missing file";
        EXPECT_EQ(ReadAutoexec(), "(none)") << "no file is created";
        EXPECT_EQ(m_context.rebootNeeded, pending);
    }
    // Held open by another program without sharing: passed over as well.
    WriteAutoexec("PATH=C:\\DOS\r\n");
    HANDLE held = CreateFileA(m_file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    m_context.rebootNeeded = false;
    EXPECT_TRUE(AddToSearchPath(m_context));
    CloseHandle(held);
    EXPECT_EQ(ReadAutoexec(), "PATH=C:\\DOS\r\n");
    EXPECT_FALSE(m_context.rebootNeeded);
    EXPECT_TRUE(seam::MessageBoxes().empty());
}

TEST_F(SearchPathTest, Win9xNoMemoryForTheNewTextIsPassedOver) {
    const std::string before = "PATH=C:\\DOS\r\n";
    WriteAutoexec(before);
    seam::Fail("HeapAlloc", ERROR_NOT_ENOUGH_MEMORY, 0, seam::Num(before.size() + kQuoted.size() + 1));
    EXPECT_TRUE(AddToSearchPath(m_context));
    EXPECT_EQ(ReadAutoexec(), before);
    EXPECT_TRUE(m_context.rebootNeeded);
    EXPECT_TRUE(seam::MessageBoxes().empty());
}

TEST_F(SearchPathTest, Win9xFileThatCannotBeOpenedForWritingStopsTheRun) {
    const std::string before = "PATH=C:\\DOS\r\n";
    WriteAutoexec(before);
    seam::Fail("CreateFileA", ERROR_ACCESS_DENIED, 0, seam::Num(GENERIC_WRITE));
    EXPECT_FALSE(AddToSearchPath(m_context));
    EXPECT_EQ(Messages(), std::vector<std::string>{Fill(Catalogue(IDS_CREATE_FILE),
                                                        {m_file, SystemText(ERROR_ACCESS_DENIED)})});
    EXPECT_EQ(ReadAutoexec(), before);
    EXPECT_TRUE(m_context.rebootNeeded);
}

// A write that fails after the file was opened for rewriting must not leave
// the boot file cut or garbled: the old text is put back before the message.
TEST_F(SearchPathTest, Win9xFailedWriteLeavesTheFileAsItWas) {
    struct Case {
        const char* name;
        std::string before;
        int failingWrite;
    };
    const std::string withPath = "@ECHO OFF\r\nPATH=C:\\DOS\r\nWIN\r\n";
    const std::string withoutPath = "@ECHO OFF\r\nREM a batch file of some length\r\nWIN\r\n";
    const Case cases[] = {
        {"the one write of an edited PATH line", withPath, 1},
        {"set PATH=", withoutPath, 1},
        {"the entry, after set PATH= was written", withoutPath, 2},
        {"the line end", withoutPath, 3},
        {"the old text", withoutPath, 4},
        {"the old text of an empty file", "", 4},
    };
    for (const Case& c : cases) {
        seam::Reset();
        WriteAutoexec(c.before);
        seam::Fail("WriteFile", ERROR_DISK_FULL, c.failingWrite);
        m_context.rebootNeeded = false;
        EXPECT_FALSE(AddToSearchPath(m_context)) << c.name;
        EXPECT_EQ(ReadAutoexec(), c.before) << c.name;
        EXPECT_EQ(Messages(), std::vector<std::string>{Fill(Catalogue(IDS_WRITE_ERROR),
                                                            {m_file, SystemText(ERROR_DISK_FULL)})})
            << c.name;
        EXPECT_EQ(seam::Count("WriteFile"), c.failingWrite + 1) << c.name << ": the writes stop at the failure";
        HANDLE file = CreateFileA(m_file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_NE(file, INVALID_HANDLE_VALUE) << c.name << ": the file is closed";
        CloseHandle(file);
    }
}
