// RegisterApplication against the machine's registry. The product name is the
// test's own, so the Uninstall entry is a scratch key; the App Paths entry of
// Scrivon.exe is one key for every run, so it is saved and put back under a
// lock of the machine. What lands is read back with the wide API, byte for
// byte; what the program controls (the type and the size it passes) is read
// from the seam's log. After every run no key stays open and no heap block
// stays allocated.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DeployFixture.h"
#include "MachineLock.h"
#include "Seam.h"
#include "TestText.h"
#include "app/SetupContext.h"
#include "resource.h"
#include "support/Registry.h"

namespace {

const char kAppPaths[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Scrivon.exe";
const char kUninstallPrefix[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
// Blanks and dots, kept as they are in the key name.
const char kProduct[] = "SetupTests Registration V4.1";

struct Value {
    bool present = false;
    DWORD type = 0;
    std::wstring data;   // the stored bytes, two to a character
};

Value Stored(const std::string& keyPath, const wchar_t* name) {
    Value v;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return v;
    BYTE data[2048];
    memset(data, 0x55, sizeof data);
    DWORD size = sizeof data;
    v.present = RegQueryValueExW(key, name, nullptr, &v.type, data, &size) == ERROR_SUCCESS;
    RegCloseKey(key);
    if (v.present) v.data.assign(reinterpret_cast<wchar_t*>(data), size / 2);
    return v;
}

bool KeyExists(const char* keyPath) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

DWORD ValueCount(const std::string& keyPath) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
    DWORD values = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                     nullptr);
    RegCloseKey(key);
    return values;
}

// The text as it lands: the registry holds it in UTF-16. The program passes no
// terminator; NT, and Wine, add one when the byte after the data is a zero,
// Windows 95 does not. Either is the value the program wrote.
::testing::AssertionResult Holds(const Value& v, const std::string& text) {
    if (!v.present) return ::testing::AssertionFailure() << "no value, expected " << text;
    if (v.type != REG_SZ) return ::testing::AssertionFailure() << "type " << v.type;
    std::wstring wide(text.begin(), text.end());
    if (v.data != wide && v.data != wide + L'\0') {
        std::string got;
        for (wchar_t c : v.data) got += c ? static_cast<char>(c) : '0';
        return ::testing::AssertionFailure() << "holds \"" << got << "\" (a 0 for each zero), expected " << text;
    }
    return ::testing::AssertionSuccess();
}

// What the program handed to RegSetValueExA for one value: name, type, the
// data bytes as many as the size said, and the size.
std::vector<std::string> Write(const std::string& name, const std::string& text) {
    return {name, "1", text, seam::Num(text.size())};
}

class RegistrationTest : public ::testing::Test {
protected:
    // The first registry calls of the process and its first scoped trace
    // leave lasting blocks on the process heap: made once before any count.
    static void SetUpTestSuite() {
        SCOPED_TRACE("warm-up");
        HKEY key;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\SetupTests\\RegistrationTest", 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, &key, nullptr) == ERROR_SUCCESS) {
            RegSetValueExA(key, "Warm", 0, REG_SZ, reinterpret_cast<const BYTE*>("abc"), 3);
            RegCloseKey(key);
        }
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\SetupTests\\RegistrationTest");
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_READ | KEY_WRITE, &key) == ERROR_SUCCESS)
            RegCloseKey(key);
    }

    void SetUp() override {
        uninstallKey = std::string(kUninstallPrefix) + kProduct;
        // The App Paths entry as it was: its default value, or no key at all.
        appPathsBefore = Stored(kAppPaths, nullptr);
        appPathsExisted = KeyExists(kAppPaths);
        Clean();

        InitSetupContext(context);
        lstrcpyA(context.productName, kProduct);
        context.productNameLength = lstrlenA(kProduct);
        Use("C:\\Program Files\\Scrivon V4.1", "C:\\WINDOWS\\Unscri410.exe");
    }

    void TearDown() override {
        Clean();
        if (!appPathsExisted) return;
        HKEY key;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kAppPaths, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
            ERROR_SUCCESS)
            return;
        if (appPathsBefore.present)
            RegSetValueExW(key, nullptr, 0, appPathsBefore.type, reinterpret_cast<const BYTE*>(appPathsBefore.data.data()),
                           static_cast<DWORD>(2 * appPathsBefore.data.size()));
        RegCloseKey(key);
    }

    void Clean() {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kAppPaths);
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, uninstallKey.c_str());
    }

    void Use(const std::string& installDir, const std::string& uninstaller) {
        lstrcpyA(context.installDir, installDir.c_str());
        lstrcpyA(context.uninstallerName, uninstaller.c_str());
        command = uninstaller + " /" + kProduct + " /" + installDir;
    }

    // Runs the phase, counting the heap blocks around it.
    bool Run() {
        int before = seam::LiveHeapBlocks();
        bool ok = RegisterApplication(context);
        heapBlocksLeft = seam::LiveHeapBlocks() - before;
        return ok;
    }

    MachineLock lock{"AppPaths"};  // first: taken before the entry is saved, given back after
    std::string uninstallKey, command;
    Value appPathsBefore;
    bool appPathsExisted = false;
    SetupContext context;
    int heapBlocksLeft = 0;
};

TEST_F(RegistrationTest, WritesTheThreeValuesWithTheirLengthsAsSizes) {
    struct Case {
        const char* what;
        std::string installDir;
        std::string appPath;
    };
    const std::string longest = "C:\\" + std::string(256, 'x');
    const Case cases[] = {
        {"a destination with blanks", "C:\\Program Files\\Scrivon V4.1", "C:\\Program Files\\Scrivon V4.1\\Scrivon.exe"},
        // The App Paths value is cut to 259 characters; the command is never cut.
        {"a destination of 259 characters", longest, longest},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        seam::Reset();
        Clean();
        Use(c.installDir, "C:\\WINDOWS\\Unscri410.exe");

        ASSERT_TRUE(Run());

        std::vector<std::vector<std::string>> writes;
        for (const seam::Call& call : seam::CallsOf("RegSetValueExA"))
            writes.push_back(std::vector<std::string>(call.args.begin() + 1, call.args.end()));
        EXPECT_EQ((std::vector<std::vector<std::string>>{Write("(null)", c.appPath), Write("DisplayName", kProduct),
                                                         Write("UninstallString", command)}),
                  writes);

        EXPECT_TRUE(Holds(Stored(kAppPaths, nullptr), c.appPath));
        EXPECT_TRUE(Holds(Stored(uninstallKey, L"DisplayName"), kProduct));
        EXPECT_TRUE(Holds(Stored(uninstallKey, L"UninstallString"), command));
        EXPECT_EQ(1u, ValueCount(kAppPaths));
        EXPECT_EQ(2u, ValueCount(uninstallKey));

        // The two strings have exactly their room: the key path and the command,
        // each with its terminator (the other blocks are the key chains' nodes).
        std::vector<std::string> sizes;
        for (const seam::Call& call : seam::CallsOf("HeapAlloc"))
            if (call.args[0] != seam::Num(sizeof(KeyNode))) sizes.push_back(call.args[0]);
        EXPECT_EQ((std::vector<std::string>{seam::Num(uninstallKey.size() + 1), seam::Num(command.size() + 1)}), sizes);
        EXPECT_TRUE(seam::MessageBoxes().empty());
        EXPECT_EQ(0, seam::OpenKeys());
        EXPECT_EQ(0, heapBlocksLeft);
    }
}

TEST_F(RegistrationTest, ASecondInstallationOverwritesTheValuesInPlace) {
    lstrcpyA(context.installDir, "C:\\An Earlier Destination Of Another Length");
    lstrcpyA(context.uninstallerName, "C:\\WINDOWS\\Unscri400.exe");
    ASSERT_TRUE(Run());
    Use("D:\\Scrivon", "C:\\WINDOWS\\Unscri410.exe");

    ASSERT_TRUE(Run());

    EXPECT_TRUE(Holds(Stored(kAppPaths, nullptr), "D:\\Scrivon\\Scrivon.exe"));
    EXPECT_TRUE(Holds(Stored(uninstallKey, L"DisplayName"), kProduct));
    EXPECT_TRUE(Holds(Stored(uninstallKey, L"UninstallString"), command));
    EXPECT_EQ(1u, ValueCount(kAppPaths));
    EXPECT_EQ(2u, ValueCount(uninstallKey));
}

// Only memory for the two strings stops the phase, with the catalogue's
// message and no system text; a value that can't be written is passed over.
// Values written before the failure stay.
TEST_F(RegistrationTest, FailuresAndWhatTheyLeave) {
    struct Case {
        const char* what;
        const char* fn;
        DWORD error;
        int nth;
        std::string arg;
        bool result;
        bool appPath, displayName, uninstallString;
    };
    const std::string keyPathSize = seam::Num(uninstallKey.size() + 1);
    const std::string commandSize = seam::Num(command.size() + 1);
    ASSERT_NE(keyPathSize, commandSize);
    const Case cases[] = {
        {"no memory for the key path", "HeapAlloc", ERROR_NOT_ENOUGH_MEMORY, 0, keyPathSize, false, true, false, false},
        {"no memory for the command", "HeapAlloc", ERROR_NOT_ENOUGH_MEMORY, 0, commandSize, false, true, true, false},
        {"no memory for a key chain", "HeapAlloc", ERROR_NOT_ENOUGH_MEMORY, 1, "", true, false, true, true},
        {"the machine's keys may not be written", "RegCreateKeyExA", ERROR_ACCESS_DENIED, 0, "", true, false, false,
         false},
        {"one value can't be stored", "RegSetValueExA", ERROR_ACCESS_DENIED, 0, "DisplayName", true, true, false,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Clean();
        seam::Reset();
        seam::Fail(c.fn, c.error, c.nth, c.arg);

        EXPECT_EQ(c.result, Run());

        if (c.result) EXPECT_TRUE(seam::MessageBoxes().empty());
        else EXPECT_TRUE(deploy::ShowedOnly(Catalogue(IDS_NO_MEMORY), MB_ICONSTOP));
        EXPECT_EQ(c.appPath, Stored(kAppPaths, nullptr).present);
        EXPECT_EQ(c.displayName, Stored(uninstallKey, L"DisplayName").present);
        EXPECT_EQ(c.uninstallString, Stored(uninstallKey, L"UninstallString").present);
        EXPECT_EQ(0, seam::OpenKeys());
        EXPECT_EQ(0, heapBlocksLeft);
    }
}

}  // namespace
