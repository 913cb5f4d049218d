// File and directory helpers on the machine's real file system, in a scratch
// folder under %TEMP%\SetupTests\FilesTest; the seam fails the calls that a
// machine can't be made to fail (a read-only drive, no memory, a bad read).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Scratch.h"
#include "Seam.h"
#include "support/Files.h"

namespace {

bool IsDirectory(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    CloseHandle(file);
}

// Nobody holds the file open: it opens without any sharing.
bool IsClosed(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

std::vector<std::string> CreatedDirs() {
    std::vector<std::string> out;
    for (const seam::Call& c : seam::CallsOf("CreateDirectoryA")) out.push_back(c.args.at(0));
    return out;
}

class FilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        root_ = std::string(temp) + "SetupTests";
        base_ = root_ + "\\FilesTest";
        RemoveTree(base_);
        CreateDirectoryA(root_.c_str(), nullptr);
        ASSERT_TRUE(CreateDirectoryA(base_.c_str(), nullptr));
        seam::Reset();
    }
    void TearDown() override { RemoveTree(base_); }

    std::string In(const std::string& below) const { return below.empty() ? base_ : base_ + "\\" + below; }

    std::string root_, base_;
};

// The path buffer is compared whole after each call, so a backslash not put
// back, or a zero left behind, shows.
TEST_F(FilesTest, CreateDirectoryTreeMakesTheLevelsAboveTheLastName) {
    struct Case {
        const char* what;
        const char* below;
        std::vector<std::string> made;    // below the scratch folder
        const char* notMade;
        const char* lastTried;
    };
    const Case cases[] = {
        {"three levels", "A\\B\\C", {"A", "A\\B"}, "A\\B\\C", "A\\B"},
        {"a trailing backslash makes the last one too", "A\\B\\C\\", {"A", "A\\B", "A\\B\\C"}, "A\\B\\C\\D", "A\\B\\C"},
        {"the destination under an existing folder", "Scrivon V4.1", {}, "Scrivon V4.1", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RemoveTree(In("A"));
        seam::Reset();
        const std::string path = In(c.below);
        std::vector<char> buffer(path.begin(), path.end());
        buffer.resize(MAX_PATH, 0);
        const std::vector<char> before = buffer;

        EXPECT_EQ(0, CreateDirectoryTree(buffer.data()));
        EXPECT_EQ(before, buffer);
        for (const std::string& dir : c.made) EXPECT_TRUE(IsDirectory(In(dir))) << dir;
        EXPECT_FALSE(IsDirectory(In(c.notMade)));
        ASSERT_FALSE(CreatedDirs().empty());
        EXPECT_EQ(In(c.lastTried), CreatedDirs().back());
        for (const std::string& tried : CreatedDirs()) EXPECT_EQ(0u, path.find(tried)) << tried;
    }
}

TEST_F(FilesTest, CreateDirectoryTreeNeverTriesTheFirstThreeCharacters) {
    for (const char* path : {"", "C", "C:", "C:\\", "\\\\a", "C:\\A"}) {
        char buffer[MAX_PATH];
        lstrcpyA(buffer, path);
        EXPECT_EQ(0, CreateDirectoryTree(buffer)) << path;
        EXPECT_STREQ(path, buffer);
    }
    EXPECT_EQ(0, seam::Count("CreateDirectoryA"));
}

TEST_F(FilesTest, CreateDirectoryTreeOnANetworkPathStartsWithTheServer) {
    seam::Fail("CreateDirectoryA", ERROR_BAD_NETPATH);
    char buffer[MAX_PATH] = "\\\\server\\share\\dir";
    EXPECT_EQ(ERROR_BAD_NETPATH, CreateDirectoryTree(buffer));
    EXPECT_EQ(static_cast<DWORD>(ERROR_BAD_NETPATH), GetLastError());
    EXPECT_EQ(std::vector<std::string>{"\\\\server"}, CreatedDirs());
    EXPECT_STREQ("\\\\server\\share\\dir", buffer);
}

TEST_F(FilesTest, CreateDirectoryTreeStopsAtTheFirstLevelThatFails) {
    seam::Fail("CreateDirectoryA", ERROR_WRITE_PROTECT, 0, "\\Blocked");
    const std::string path = In("A\\Blocked\\C\\D");
    char buffer[MAX_PATH];
    lstrcpyA(buffer, path.c_str());
    EXPECT_EQ(ERROR_WRITE_PROTECT, CreateDirectoryTree(buffer));
    EXPECT_EQ(static_cast<DWORD>(ERROR_WRITE_PROTECT), GetLastError());
    EXPECT_STREQ(path.c_str(), buffer);
    EXPECT_TRUE(IsDirectory(In("A")));
    EXPECT_EQ(In("A\\Blocked"), CreatedDirs().back());
}

// A file of the same name counts as made; the level below it then fails.
TEST_F(FilesTest, CreateDirectoryTreeUnderAFile) {
    WriteWholeFile(In("F"), "not a folder");
    const std::string path = In("F\\G\\H");
    char buffer[MAX_PATH];
    lstrcpyA(buffer, path.c_str());
    int rc = CreateDirectoryTree(buffer);
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, rc);
    EXPECT_EQ(static_cast<DWORD>(rc), GetLastError());
    EXPECT_STREQ(path.c_str(), buffer);
    EXPECT_EQ(In("F\\G"), CreatedDirs().back());
}

TEST_F(FilesTest, LoadWholeFileGivesTheBytesAndATerminator) {
    struct Case {
        const char* what;
        std::string bytes;
        int stringLength;
    };
    const Case cases[] = {
        {"text", "@ECHO OFF\r\nPATH C:\\WINDOWS;C:\\DOS\r\n", 35},
        {"empty", "", 0},
        {"a zero inside", std::string("SET A=1\0SET B=2", 15), 7},
    };
    const std::string path = In("Autoexec.bat");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteWholeFile(path, c.bytes);
        seam::Reset();
        HGLOBAL block = nullptr;
        char* text = nullptr;
        LONG size = -7;
        ASSERT_EQ(0, LoadWholeFile(path.c_str(), &block, &text, &size));
        ASSERT_NE(nullptr, block);
        EXPECT_EQ(static_cast<LONG>(c.bytes.size()), size) << "the file's size, not the text's";
        EXPECT_EQ(block, GlobalHandle(text));
        EXPECT_EQ(1u, GlobalFlags(block) & GMEM_LOCKCOUNT);
        EXPECT_GE(GlobalSize(block), c.bytes.size() + 1);
        EXPECT_EQ(c.bytes + '\0', std::string(text, c.bytes.size() + 1));
        EXPECT_EQ(c.stringLength, lstrlenA(text));
        EXPECT_TRUE(IsClosed(path));
        GlobalUnlock(block);
        GlobalFree(block);
    }
    // Read only, shared with other readers, the whole file in order.
    std::vector<seam::Call> opens = seam::CallsOf("CreateFileA");
    ASSERT_EQ(1u, opens.size());
    EXPECT_EQ((std::vector<std::string>{path, seam::Num(GENERIC_READ), seam::Num(FILE_SHARE_READ),
                                        seam::Num(OPEN_EXISTING), seam::Num(FILE_FLAG_SEQUENTIAL_SCAN)}),
              opens[0].args);
}

TEST_F(FilesTest, LoadWholeFileBesideAnotherReader) {
    const std::string path = In("Autoexec.bat");
    WriteWholeFile(path, "PATH C:\\DOS\r\n");
    HANDLE reader = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, reader);
    HGLOBAL block;
    char* text;
    EXPECT_EQ(0, LoadWholeFile(path.c_str(), &block, &text));
    EXPECT_STREQ("PATH C:\\DOS\r\n", text);
    GlobalUnlock(block);
    GlobalFree(block);
    CloseHandle(reader);
}

TEST_F(FilesTest, LoadWholeFileThatCantBeOpened) {
    const std::string path = In("Autoexec.bat");
    HGLOBAL block = reinterpret_cast<HGLOBAL>(0x55555555);
    char* text = reinterpret_cast<char*>(0x55555555);
    EXPECT_EQ(-3, LoadWholeFile(path.c_str(), &block, &text));
    EXPECT_EQ(nullptr, block);
    EXPECT_EQ(nullptr, text);

    WriteWholeFile(path, "PATH C:\\DOS\r\n");
    HANDLE holder = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    EXPECT_EQ(-3, LoadWholeFile(path.c_str(), &block, &text));
    CloseHandle(holder);
    EXPECT_EQ(0, seam::Count("GlobalAlloc"));
}

// Each failure leaves the file closed, the block (when there was one) freed,
// and the outputs null.
TEST_F(FilesTest, LoadWholeFileFailures) {
    struct Case {
        const char* fn;
        int result;
    };
    const Case cases[] = {{"CreateFileA", -3}, {"GlobalAlloc", -1}, {"GlobalLock", -2}, {"ReadFile", -4}};
    const std::string path = In("Autoexec.bat");
    WriteWholeFile(path, "PATH C:\\DOS\r\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fn);
        seam::Reset();
        seam::Fail(c.fn, ERROR_NOT_ENOUGH_MEMORY);
        HGLOBAL block;
        char* text;
        EXPECT_EQ(c.result, LoadWholeFile(path.c_str(), &block, &text));
        EXPECT_EQ(nullptr, block);
        EXPECT_EQ(nullptr, text);
        EXPECT_TRUE(IsClosed(path));
        std::vector<seam::Call> locks = seam::CallsOf("GlobalLock");
        if (!locks.empty()) {
            HGLOBAL locked = reinterpret_cast<HGLOBAL>(std::stoul(locks[0].args.at(0)));
            EXPECT_EQ(static_cast<UINT>(GMEM_INVALID_HANDLE), GlobalFlags(locked)) << "block not freed";
        }
    }
}

TEST_F(FilesTest, GetFileSizeBySeekLeavesThePointerWhereItWas) {
    const std::string path = In("Sized.txt");
    WriteWholeFile(path, "0123456789");
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    SetFilePointer(file, 4, nullptr, FILE_BEGIN);
    EXPECT_EQ(10, GetFileSizeBySeek(static_cast<HFILE>(reinterpret_cast<INT_PTR>(file))));
    EXPECT_EQ(4u, SetFilePointer(file, 0, nullptr, FILE_CURRENT));
    CloseHandle(file);
}

}  // namespace
