// How the run ends: the decision on the flags and the shutdown privilege, and
// the real restart dialog answered by the driver. The seam's ExitWindowsEx
// only records, so nothing here restarts or logs off the test machine.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DialogDriver.h"
#include "Seam.h"
#include "TestText.h"
#include "app/SetupContext.h"
#include "resource.h"

namespace {

struct Outcome {
    std::vector<std::string> dialogs;    // captions of the dialogs met
    std::vector<std::string> messages;
    std::vector<std::string> exits;      // flags of each ExitWindowsEx
    bool shutdownAllowed;
    int restartChecked = -1;             // IDC_RESTART_NOW when the dialog came up
};

// Runs FinishSetup; a restart dialog, if one comes up, is answered by act.
Outcome Finish(bool isNT, bool rebootNeeded, bool pathChanged, std::function<void(HWND)> act = nullptr) {
    SetupContext context;
    InitSetupContext(context);
    context.isNT = isNT;
    context.rebootNeeded = rebootNeeded;
    context.pathChanged = pathChanged;
    Outcome out;
    DialogDriver driver;
    driver.On("", [&](HWND h) {
        out.restartChecked = static_cast<int>(SendDlgItemMessageA(h, IDC_RESTART_NOW, BM_GETCHECK, 0, 0));
        if (act) act(h);
        else DialogDriver::Click(h, IDOK);
    });
    EXPECT_TRUE(FinishSetup(context));
    out.dialogs = driver.Seen();
    for (const seam::MessageBoxCall& box : seam::MessageBoxes()) {
        out.messages.push_back(box.text);
        EXPECT_EQ(box.style, static_cast<UINT>(MB_ICONINFORMATION)) << box.text;
        EXPECT_EQ(box.owner, nullptr) << box.text;
    }
    for (const seam::Call& c : seam::CallsOf("ExitWindowsEx")) out.exits.push_back(c.args.at(0) + "," + c.args.at(1));
    out.shutdownAllowed = context.shutdownAllowed;
    return out;
}

using Texts = std::vector<std::string>;
const char kReboot[] = "2,0";
const char kLogoff[] = "0,0";

}  // namespace

TEST(Completion, DecisionTable) {
    const std::string restartCaption = "Restart Windows";
    struct Case {
        const char* name;
        bool isNT, reboot, path;
        const char* privilegeFault;   // a privilege call that fails, if any
        bool dialog;
        Texts messages;
        Texts exits;
    };
    const Case cases[] = {
        {"9x, restart due", false, true, false, nullptr, true, {}, {kReboot}},
        {"9x, nothing due", false, false, false, nullptr, false, {Catalogue(IDS_DONE)}, {}},
        {"NT, restart due", true, true, false, nullptr, true, {}, {kReboot}},
        {"NT, restart and logoff due: the restart only", true, true, true, nullptr, true, {}, {kReboot}},
        {"NT, restart due, no privilege", true, true, false, "PrivilegeCheck", false,
         {Catalogue(IDS_RESTART_NEEDED)}, {}},
        {"NT, restart and logoff due, no privilege", true, true, true, "PrivilegeCheck", false,
         {Catalogue(IDS_RESTART_NEEDED)}, {}},
        {"NT, Path changed", true, false, true, nullptr, false, {Catalogue(IDS_LOGOFF)}, {kLogoff}},
        {"NT, Path changed, no privilege: logoff all the same", true, false, true, "PrivilegeCheck", false,
         {Catalogue(IDS_LOGOFF)}, {kLogoff}},
        {"NT, nothing due", true, false, false, nullptr, false, {Catalogue(IDS_DONE)}, {}},
        // When the token can't be opened, the check stores no verdict and the
        // restart is offered; Windows would refuse it if it must.
        {"NT, token not opened", true, true, false, "OpenProcessToken", true, {}, {kReboot}},
    };
    for (const Case& c : cases) {
        seam::Reset();
        if (c.privilegeFault) seam::Fail(c.privilegeFault, ERROR_ACCESS_DENIED);
        Outcome out = Finish(c.isNT, c.reboot, c.path);
        EXPECT_EQ(out.dialogs, c.dialog ? Texts{restartCaption} : Texts{}) << c.name;
        EXPECT_EQ(out.messages, c.messages) << c.name;
        EXPECT_EQ(out.exits, c.exits) << c.name;
        EXPECT_EQ(out.shutdownAllowed, std::string(c.privilegeFault ? c.privilegeFault : "") != "PrivilegeCheck")
            << c.name;
        if (c.dialog) EXPECT_EQ(out.restartChecked, BST_CHECKED) << c.name << ": opens on restart now";
        // The privilege step runs on NT whatever the flags, and only there.
        EXPECT_EQ(seam::Count("OpenProcessToken"), c.isNT ? 1 : 0) << c.name;
        EXPECT_EQ(seam::Count("PrivilegeCheck"), c.isNT ? 1 : 0) << c.name;
    }
}

TEST(Completion, PrivilegeStepAsksForTheShutdownPrivilege) {
    Outcome out = Finish(true, false, false);
    auto open = seam::CallsOf("OpenProcessToken");
    ASSERT_EQ(open.size(), 1u);
    EXPECT_EQ(open[0].args, Texts{seam::Num(0xF00FF)});
    auto lookup = seam::CallsOf("LookupPrivilegeValueA");
    ASSERT_EQ(lookup.size(), 1u);
    EXPECT_EQ(lookup[0].args, (Texts{"", "SeShutdownPrivilege"}));
    auto adjust = seam::CallsOf("AdjustTokenPrivileges");
    ASSERT_EQ(adjust.size(), 1u);
    // No disabling of all, a 16-byte previous state, one privilege, enabled.
    EXPECT_EQ(adjust[0].args, (Texts{"0", "16", "1", seam::Num(SE_PRIVILEGE_ENABLED)}));
    auto check = seam::CallsOf("PrivilegeCheck");
    ASSERT_EQ(check.size(), 1u);
    EXPECT_EQ(check[0].args, (Texts{"1", seam::Num(PRIVILEGE_SET_ALL_NECESSARY)}));
    EXPECT_TRUE(out.shutdownAllowed) << "Wine's user holds the privilege";
}

TEST(Completion, LogoffStartsOnlyAfterTheMessage) {
    Finish(true, false, true);
    int message = -1, exit = -1;
    const auto& calls = seam::Calls();
    for (size_t i = 0; i < calls.size(); ++i) {
        if (calls[i].fn == "MessageBoxA") message = static_cast<int>(i);
        if (calls[i].fn == "ExitWindowsEx") exit = static_cast<int>(i);
    }
    ASSERT_GE(message, 0);
    EXPECT_GT(exit, message);
}

// Only OK with "restart now" checked restarts. Escape and the close box read
// no choice and must not restart, whatever button is checked.
TEST(Completion, RestartDialogAnswers) {
    struct Case {
        const char* name;
        std::function<void(HWND)> act;
        Texts exits;
    };
    const auto later = [](HWND h) { SendDlgItemMessageA(h, IDC_RESTART_LATER, BM_CLICK, 0, 0); };
    const Case cases[] = {
        {"OK", [](HWND h) { DialogDriver::Click(h, IDOK); }, {kReboot}},
        {"Enter", [](HWND h) { DialogDriver::Key(h, VK_RETURN); }, {kReboot}},
        {"later, then OK", [&](HWND h) { later(h); DialogDriver::Click(h, IDOK); }, {}},
        {"later, then now, then OK",
         [&](HWND h) {
             later(h);
             SendDlgItemMessageA(h, IDC_RESTART_NOW, BM_CLICK, 0, 0);
             DialogDriver::Click(h, IDOK);
         },
         {kReboot}},
        {"Escape", [](HWND h) { DialogDriver::Key(h, VK_ESCAPE); }, {}},
        {"close box", [](HWND h) { DialogDriver::CloseBox(h); }, {}},
        {"later, then Escape", [&](HWND h) { later(h); DialogDriver::Key(h, VK_ESCAPE); }, {}},
    };
    for (const Case& c : cases) {
        seam::Reset();
        Outcome out = Finish(false, true, false, c.act);
        EXPECT_EQ(out.dialogs.size(), 1u) << c.name;
        EXPECT_EQ(out.exits, c.exits) << c.name;
        EXPECT_TRUE(out.messages.empty()) << c.name << ": no message after the dialog";
    }
}
