// Registry values by key path, against the machine's real registry under
// HKCU\Software\SetupTests\RegistryTest. The seam's log shows the levels walked
// and the access asked for; its faults stand for what the machine can't show.
// After every call, whatever its outcome, no key handle may stay open and no
// chain node may stay allocated.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Seam.h"
#include "support/Registry.h"

namespace {

const char kScratch[] = "Software\\SetupTests\\RegistryTest";
const std::vector<std::string> kScratchLevels = {"Software", "SetupTests", "RegistryTest"};
const BYTE kSentinel = 0x55;

std::string Scratch(const std::string& below) { return std::string(kScratch) + "\\" + below; }

std::vector<std::string> Arg(const std::vector<seam::Call>& calls, size_t index) {
    std::vector<std::string> out;
    for (const seam::Call& c : calls) out.push_back(c.args.at(index));
    return out;
}

std::vector<std::string> Levels(std::vector<std::string> below) {
    std::vector<std::string> all = kScratchLevels;
    all.insert(all.end(), below.begin(), below.end());
    return all;
}

bool IsText(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ; }

// Values are stored and looked at with the real wide API. Its ANSI twin adds a
// terminator of its own to a text stored without one (NT does so too), which
// would hide the case of a value that really has none. The test texts are
// ASCII, so each byte stands for one wide character.
void Store(const std::string& path, const char* name, DWORD type, const std::string& bytes) {
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, &key, nullptr));
    std::wstring wideName(name, name + strlen(name));
    std::wstring wide(bytes.begin(), bytes.end());
    const BYTE* data = IsText(type) ? reinterpret_cast<const BYTE*>(wide.data())
                                    : reinterpret_cast<const BYTE*>(bytes.data());
    DWORD size = static_cast<DWORD>(IsText(type) ? 2 * wide.size() : bytes.size());
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExW(key, wideName.c_str(), 0, type, data, size));
    RegCloseKey(key);
}

bool Stored(const std::string& path, const char* name, DWORD* type, std::string* bytes) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    std::wstring wideName(name, name + strlen(name));
    BYTE data[128];
    DWORD size = sizeof data;
    LONG rc = RegQueryValueExW(key, wideName.c_str(), nullptr, type, data, &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS) return false;
    bytes->clear();
    if (IsText(*type)) {
        for (DWORD i = 0; i + 1 < size; i += 2) bytes->push_back(static_cast<char>(data[i]));
    } else {
        bytes->assign(reinterpret_cast<char*>(data), size);
    }
    return true;
}

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, kScratch);
        blocksBefore_ = seam::LiveHeapBlocks();
    }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, kScratch); }

    // Every handle of the walks closed, every node freed.
    void ExpectNothingLeft(int line) {
        int blocks = seam::LiveHeapBlocks();
        SCOPED_TRACE(testing::Message() << "checked at line " << line);
        EXPECT_EQ(0, seam::OpenKeys());
        EXPECT_EQ(blocksBefore_, blocks) << "heap blocks left";
    }

    int blocksBefore_ = 0;
};

#define EXPECT_NOTHING_LEFT() ExpectNothingLeft(__LINE__)

TEST_F(RegistryTest, WritesWithoutTerminatorAndReadsBackTerminated) {
    const std::string path = Scratch("Round\\Trip");
    ASSERT_EQ(0, RegWriteValue(HKEY_CURRENT_USER, path.c_str(), "Kind", REG_SZ, "txtfile", 7));

    // The seven letters and no terminator are handed to the system.
    std::vector<seam::Call> sets = seam::CallsOf("RegSetValueExA");
    ASSERT_EQ(1u, sets.size());
    EXPECT_EQ((std::vector<std::string>{"Kind", "1", "txtfile", "7"}),
              std::vector<std::string>(sets[0].args.begin() + 1, sets[0].args.end()));
    DWORD type = 0;
    std::string bytes;
    ASSERT_TRUE(Stored(path, "Kind", &type, &bytes));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_STREQ("txtfile", bytes.c_str());

    char buffer[16];
    memset(buffer, kSentinel, sizeof buffer);
    ASSERT_EQ(0, RegReadValue(HKEY_CURRENT_USER, path.c_str(), "Kind", REG_SZ, buffer, sizeof buffer));
    EXPECT_STREQ("txtfile", buffer);
    EXPECT_EQ(kSentinel, static_cast<BYTE>(buffer[8]));

    // Each level created, then opened, one at a time below the root, and every
    // one for reading and writing.
    const std::vector<std::string> levels = Levels({"Round", "Trip"});
    std::vector<seam::Call> creates = seam::CallsOf("RegCreateKeyExA");
    std::vector<seam::Call> opens = seam::CallsOf("RegOpenKeyExA");
    EXPECT_EQ(levels, Arg(creates, 1));
    EXPECT_EQ(levels, Arg(opens, 1));
    EXPECT_EQ(seam::Num(reinterpret_cast<uintptr_t>(HKEY_CURRENT_USER)), creates.at(0).args[0]);
    EXPECT_EQ(seam::Num(reinterpret_cast<uintptr_t>(HKEY_CURRENT_USER)), opens.at(0).args[0]);
    for (const std::string& access : Arg(creates, 2)) EXPECT_EQ("131103", access);
    for (const std::string& access : Arg(opens, 2)) EXPECT_EQ("131103", access);

    // Two chains of five levels below the root, the root closed with each.
    EXPECT_EQ(12, seam::Count("RegCloseKey"));
    EXPECT_NOTHING_LEFT();
}

TEST_F(RegistryTest, KeyPathShapes) {
    struct Case {
        const char* what;
        const char* below;
        std::vector<std::string> levels;  // below the scratch key
        const char* lands;                // where the value is stored
    };
    const Case cases[] = {
        {"one level", "One", {"One"}, "One"},
        {"a trailing backslash adds no level", "One\\", {"One"}, "One"},
        {"a doubled backslash is an empty name", "One\\\\Two", {"One", "", "Two"}, "One\\Two"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        seam::Reset();
        const std::string path = Scratch(c.below);
        ASSERT_EQ(0, RegWriteValue(HKEY_CURRENT_USER, path.c_str(), "Shape", REG_SZ, "abc", 3));
        EXPECT_EQ(Levels(c.levels), Arg(seam::CallsOf("RegCreateKeyExA"), 1));

        DWORD type;
        std::string bytes;
        EXPECT_TRUE(Stored(Scratch(c.lands), "Shape", &type, &bytes));
        EXPECT_STREQ("abc", bytes.c_str());

        char buffer[8];
        memset(buffer, kSentinel, sizeof buffer);
        EXPECT_EQ(0, RegReadValue(HKEY_CURRENT_USER, path.c_str(), "Shape", REG_SZ, buffer, sizeof buffer));
        EXPECT_STREQ("abc", buffer);
        EXPECT_EQ(Levels(c.levels), Arg(seam::CallsOf("RegOpenKeyExA"), 1));
        EXPECT_NOTHING_LEFT();
        RegDeleteTreeA(HKEY_CURRENT_USER, kScratch);
    }
}

TEST_F(RegistryTest, EmptyPathIsTheRootItself) {
    char buffer[8];
    memset(buffer, kSentinel, sizeof buffer);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              RegReadValue(HKEY_CURRENT_USER, "", "SetupTestsNoSuchValue", REG_SZ, buffer, sizeof buffer));
    const std::string root = seam::Num(reinterpret_cast<uintptr_t>(HKEY_CURRENT_USER));
    EXPECT_EQ(0, seam::Count("RegOpenKeyExA"));
    EXPECT_EQ(std::vector<std::string>{root}, Arg(seam::CallsOf("RegQueryValueExA"), 0));
    EXPECT_EQ(std::vector<std::string>{root}, Arg(seam::CallsOf("RegCloseKey"), 0));
    EXPECT_NOTHING_LEFT();
}

TEST_F(RegistryTest, LongKeyNameIsCutTo259) {
    const std::string path = Scratch(std::string(300, 'k'));
    RegWriteValue(HKEY_CURRENT_USER, path.c_str(), "Long", REG_SZ, "abc", 3);
    std::vector<seam::Call> creates = seam::CallsOf("RegCreateKeyExA");
    ASSERT_EQ(4u, creates.size());
    EXPECT_EQ(std::string(259, 'k'), creates[3].args[1]);
    EXPECT_NOTHING_LEFT();
}

// The buffer is filled with the sentinel; nothing at or after `size` may change,
// and a 0 result leaves a terminated text (or, for a number, its four bytes).
TEST_F(RegistryTest, ReadStaysWithinTheSizeAndTerminatesText) {
    struct Case {
        const char* what;
        DWORD storedType;
        std::string stored;
        DWORD readType;
        DWORD size;
        int result;
    };
    const std::string number("\x2A\0\0\0", 4);
    const Case cases[] = {
        {"text without zero, room for one", REG_SZ, "abcdefg", REG_SZ, 8, 0},
        {"text without zero filling the buffer", REG_SZ, "abcdefg", REG_SZ, 7, ERROR_MORE_DATA},
        {"text with its zero filling the buffer", REG_SZ, std::string("abc\0", 4), REG_SZ, 4, 0},
        {"text larger than the buffer", REG_SZ, "abcdefghij", REG_SZ, 4, ERROR_MORE_DATA},
        {"empty text", REG_SZ, "", REG_SZ, 4, 0},
        {"bytes read as text, room for a zero", REG_BINARY, "abc", REG_SZ, 8, 0},
        {"bytes read as text filling the buffer", REG_BINARY, "abc", REG_SZ, 3, ERROR_MORE_DATA},
        {"a number read as a number", REG_DWORD, number, REG_DWORD, 4, 0},
    };
    const std::string path = Scratch("Sizes");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Store(path, "Value", c.storedType, c.stored);
        BYTE buffer[32];
        memset(buffer, kSentinel, sizeof buffer);
        EXPECT_EQ(c.result, RegReadValue(HKEY_CURRENT_USER, path.c_str(), "Value", c.readType, buffer, c.size));
        for (DWORD i = c.size; i < sizeof buffer; ++i) ASSERT_EQ(kSentinel, buffer[i]) << "byte " << i;
        if (c.result != 0) continue;
        std::string expected = c.stored;
        if (c.readType == REG_SZ) expected = std::string(c.stored.c_str()) + '\0';
        EXPECT_EQ(expected, std::string(reinterpret_cast<char*>(buffer), expected.size()));
    }
    EXPECT_NOTHING_LEFT();
}

TEST_F(RegistryTest, MissingKeyOrValue) {
    Store(Scratch("There"), "Value", REG_SZ, "abc");
    seam::Reset();
    char buffer[8];
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              RegReadValue(HKEY_CURRENT_USER, Scratch("Missing\\Deeper").c_str(), "Value", REG_SZ, buffer, 8));
    // The walk ends at the level that is missing.
    EXPECT_EQ(Levels({"Missing"}), Arg(seam::CallsOf("RegOpenKeyExA"), 1));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              RegReadValue(HKEY_CURRENT_USER, Scratch("There").c_str(), "Other", REG_SZ, buffer, 8));
    EXPECT_NOTHING_LEFT();
}

// Each failure gives its code, and the chain as far as it got is closed: the
// root and every level that was opened, each once.
TEST_F(RegistryTest, FailuresPassTheirCodeOnAndCloseTheChain) {
    struct Case {
        const char* what;
        bool write;
        const char* fn;
        DWORD error;
        int nth;
        int result;
        int closes;
    };
    const Case cases[] = {
        {"first node not allocated", false, "HeapAlloc", ERROR_NOT_ENOUGH_MEMORY, 1, -1, 0},
        {"later node not allocated", false, "HeapAlloc", ERROR_NOT_ENOUGH_MEMORY, 3, -1, 2},
        {"a level can't be opened", false, "RegOpenKeyExA", ERROR_ACCESS_DENIED, 2, ERROR_ACCESS_DENIED, 2},
        {"the value can't be read", false, "RegQueryValueExA", ERROR_ACCESS_DENIED, 1, ERROR_ACCESS_DENIED, 6},
        {"write: first node not allocated", true, "HeapAlloc", ERROR_NOT_ENOUGH_MEMORY, 1, -1, 0},
        {"a level can't be created", true, "RegCreateKeyExA", ERROR_ACCESS_DENIED, 4, ERROR_ACCESS_DENIED, 4},
        {"the value can't be stored", true, "RegSetValueExA", ERROR_WRITE_PROTECT, 1, ERROR_WRITE_PROTECT, 6},
    };
    const std::string path = Scratch("A\\B");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RegDeleteTreeA(HKEY_CURRENT_USER, kScratch);
        if (!c.write) Store(path, "Value", REG_SZ, "abc");
        seam::Reset();
        seam::Fail(c.fn, c.error, c.nth);
        char buffer[8] = "";
        int rc = c.write ? RegWriteValue(HKEY_CURRENT_USER, path.c_str(), "Value", REG_SZ, "xyz", 3)
                         : RegReadValue(HKEY_CURRENT_USER, path.c_str(), "Value", REG_SZ, buffer, sizeof buffer);
        EXPECT_EQ(c.result, rc);
        EXPECT_EQ(c.closes, seam::Count("RegCloseKey"));
        EXPECT_NOTHING_LEFT();
        if (c.write) {
            DWORD type;
            std::string bytes;
            EXPECT_FALSE(Stored(path, "Value", &type, &bytes));
        }
    }
}

TEST_F(RegistryTest, LevelsCreatedBeforeAFailureStay) {
    seam::Fail("RegCreateKeyExA", ERROR_ACCESS_DENIED, 0, "B");
    EXPECT_EQ(ERROR_ACCESS_DENIED,
              RegWriteValue(HKEY_CURRENT_USER, Scratch("A\\B").c_str(), "Value", REG_SZ, "xyz", 3));
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, Scratch("A").c_str(), 0, KEY_READ, &key));
    RegCloseKey(key);
    EXPECT_NOTHING_LEFT();
}

}  // namespace
