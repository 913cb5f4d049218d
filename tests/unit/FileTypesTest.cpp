// The file types phase with its real dialog, answered by the driver. The
// writes land in a stand-in for HKEY_CLASSES_ROOT: RegOverridePredefKey maps
// it, for this process only, to HKCU\Software\SetupTests\FileTypesTest, so the
// test machine's own file classes are never touched.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DialogDriver.h"
#include "Scratch.h"
#include "Seam.h"
#include "app/Manifest.h"
#include "app/SetupContext.h"
#include "resource.h"

namespace {

const char kScratchKey[] = "Software\\SetupTests\\FileTypesTest";
const char kDir[] = "C:\\Program Files\\Scrivon V4.1";
const std::string kProgram = std::string(kDir) + "\\Scrivon.exe";

class FileTypesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_root.ok());
        m_classes = m_root.key();
        InitSetupContext(m_context);
        lstrcpyA(m_context.installDir, kDir);
    }

    // Runs the phase; `act` answers the dialog. Returns the list it showed.
    std::string Run(std::function<void(HWND)> act) {
        std::string shown;
        DialogDriver driver;
        driver.On("", [&](HWND h) {
            shown = DialogDriver::Text(h, IDC_TYPES);
            act(h);
        });
        EXPECT_TRUE(RegisterTextTypes(m_context));
        EXPECT_TRUE(driver.AllDone()) << "the dialog never came up";
        EXPECT_EQ(seam::OpenKeys(), 0);
        return shown;
    }

    // The keys made directly below the root, in order.
    std::vector<std::string> TopKeys() {
        std::vector<std::string> out;
        const std::string root = seam::Num(reinterpret_cast<uintptr_t>(HKEY_CLASSES_ROOT));
        for (const seam::Call& c : seam::CallsOf("RegCreateKeyExA"))
            if (c.args.at(0) == root) out.push_back(c.args.at(1));
        return out;
    }

    // A default value of the stand-in root: its type and its text. What the
    // program passes (no terminator) shows in the seam's log; the ANSI call
    // stores a terminator of its own, which is dropped here.
    std::string Stored(const std::string& key, DWORD* type = nullptr) {
        HKEY handle;
        if (RegOpenKeyExA(m_classes, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return "(no key)";
        wchar_t data[1024];
        DWORD size = sizeof data, stored = 0;
        LONG rc = RegQueryValueExW(handle, L"", nullptr, &stored, reinterpret_cast<BYTE*>(data), &size);
        RegCloseKey(handle);
        if (rc != ERROR_SUCCESS) return "(no value)";
        if (type) *type = stored;
        std::string out;
        for (DWORD i = 0; i < size / 2; ++i) out += static_cast<char>(data[i]);
        if (!out.empty() && out.back() == '\0') out.pop_back();
        return out;
    }

    RedirectedRoot m_root{HKEY_CLASSES_ROOT, kScratchKey};
    HKEY m_classes = nullptr;
    SetupContext m_context;
};

std::vector<std::string> Keys(const std::string& words) {
    std::vector<std::string> out;
    size_t i = 0;
    while (i < words.size()) {
        size_t end = words.find(' ', i);
        if (end == std::string::npos) end = words.size();
        if (end > i) out.push_back("." + words.substr(i, end - i));
        i = end + 1;
    }
    return out;
}

const std::vector<std::string> kClassKeys = {"txtfile", "txtfile", "txtfile"};

}  // namespace

TEST_F(FileTypesTest, YesWritesTheClassWithQuotedCommandsAndEveryExtension) {
    std::string shown = Run([](HWND h) { DialogDriver::Click(h, IDOK); });
    EXPECT_EQ(shown, kDefaultTextTypes);

    DWORD type = 0;
    EXPECT_EQ(Stored("txtfile\\DefaultIcon", &type), kProgram + ",0");
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(Stored("txtfile\\shell\\open\\command"), "\"" + kProgram + "\" \"%1\"");
    EXPECT_EQ(Stored("txtfile\\shell\\print\\command"), "\"" + kProgram + "\" /p \"%1\"");

    std::vector<std::string> extensions = Keys(kDefaultTextTypes);
    ASSERT_EQ(extensions.size(), 28u);
    EXPECT_EQ(extensions.front(), ".1st");
    EXPECT_EQ(extensions.back(), ".txt");
    std::vector<std::string> expected = kClassKeys;
    expected.insert(expected.end(), extensions.begin(), extensions.end());
    EXPECT_EQ(TopKeys(), expected) << "the class first, then the extensions in list order";
    for (const std::string& key : extensions) EXPECT_EQ(Stored(key, &type), "txtfile") << key;

    // Each text is passed with its length as size, without a terminator.
    auto writes = seam::CallsOf("RegSetValueExA");
    ASSERT_EQ(writes.size(), 31u);
    for (const seam::Call& c : writes) {
        EXPECT_EQ(c.args.at(1), "") << "the default value";
        EXPECT_EQ(c.args.at(2), seam::Num(REG_SZ));
        EXPECT_EQ(c.args.at(4), seam::Num(c.args.at(3).size())) << c.args.at(3);
        EXPECT_EQ(c.args.at(3).find('\0'), std::string::npos) << c.args.at(3);
    }
    EXPECT_EQ(writes[1].args[3], "\"" + kProgram + "\" \"%1\"");
    EXPECT_EQ(writes[3].args[3], "txtfile");
}

TEST_F(FileTypesTest, NoEnterEscapeAndTheCloseBoxWriteNothing) {
    struct Case { const char* name; std::function<void(HWND)> act; };
    const Case cases[] = {
        {"No", [](HWND h) { DialogDriver::Click(h, IDCANCEL); }},
        {"Enter in the edit box", [](HWND h) { DialogDriver::Key(h, VK_RETURN); }},
        {"Escape", [](HWND h) { DialogDriver::Key(h, VK_ESCAPE); }},
        {"close box", [](HWND h) { DialogDriver::CloseBox(h); }},
    };
    for (const Case& c : cases) {
        seam::Reset();
        Run(c.act);
        EXPECT_EQ(seam::Count("RegCreateKeyExA"), 0) << c.name;
        EXPECT_EQ(seam::Count("RegSetValueExA"), 0) << c.name;
    }
    EXPECT_EQ(Stored("txtfile\\DefaultIcon"), "(no key)");
}

TEST_F(FileTypesTest, AnEditedListIsSplitAtBlanksAndTakenAsTyped) {
    const std::string longWord(300, 'x');
    struct Case {
        const char* name;
        std::string typed;
        std::vector<std::string> keys;
    };
    const Case cases[] = {
        {"empty list", "", {}},
        {"blanks only", "    ", {}},
        {"runs of blanks, a dot, capitals", "  log   .ini TXT ", {".log", "..ini", ".TXT"}},
        {"a backslash names a key path", "a\\b", {".a\\b"}},
        {"a long word is cut to 258 characters", longWord, {"." + longWord.substr(0, 258)}},
    };
    for (const Case& c : cases) {
        seam::Reset();
        Run([&](HWND h) {
            DialogDriver::Type(h, IDC_TYPES, c.typed);
            DialogDriver::Click(h, IDOK);
        });
        std::vector<std::string> expected = kClassKeys;
        // The walk creates a key path one level at a time.
        for (const std::string& key : c.keys) expected.push_back(key.substr(0, key.find('\\')));
        EXPECT_EQ(TopKeys(), expected) << c.name;
        EXPECT_EQ(Stored("txtfile\\shell\\open\\command"), "\"" + kProgram + "\" \"%1\"") << c.name;
    }
    EXPECT_EQ(Stored(".a\\b"), "txtfile");
    EXPECT_EQ(Stored(".a"), "(no value)");
}

TEST_F(FileTypesTest, AWriteThatFailsIsPassedOver) {
    seam::Fail("RegSetValueExA", ERROR_ACCESS_DENIED, 1);
    Run([](HWND h) { DialogDriver::Click(h, IDOK); });
    EXPECT_TRUE(seam::MessageBoxes().empty());
    EXPECT_EQ(seam::Count("RegSetValueExA"), 31);
    EXPECT_EQ(Stored("txtfile\\DefaultIcon"), "(no value)");
    EXPECT_EQ(Stored("txtfile\\shell\\open\\command"), "\"" + kProgram + "\" \"%1\"");
    EXPECT_EQ(Stored(".txt"), "txtfile");
}
