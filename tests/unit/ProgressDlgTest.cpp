// The progress window: label refresh, positions of the 58 files, keyboard,
// owner handling.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "Seam.h"
#include "app/Manifest.h"
#include "app/SetupContext.h"
#include "framework/Afx.h"
#include "resource.h"
#include "ui/ProgressDlg.h"

namespace {

std::string ItemText(const CProgressDlg& dialog, int id) {
    char text[512];
    lstrcpyA(text, "garbage");
    GetDlgItemTextA(dialog.m_hWnd, id, text, sizeof text);
    return text;
}

int BarPos(const CProgressDlg& dialog) {
    return static_cast<int>(SendDlgItemMessageA(dialog.m_hWnd, IDC_PROGRESS, PBM_GETPOS, 0, 0));
}

// Counts the texts set on a control.
int g_setTexts = 0;
WNDPROC g_staticProc = nullptr;
LRESULT CALLBACK CountingProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
    if (msg == WM_SETTEXT) ++g_setTexts;
    return CallWindowProcA(g_staticProc, hwnd, msg, w, l);
}

}  // namespace

TEST(ProgressDlg, OpensWithTitleRangeAndTemplateLabel) {
    CProgressDlg dialog;
    ASSERT_TRUE(dialog.Create());
    ASSERT_NE(dialog.m_hWnd, nullptr);
    CString title;
    title.LoadString(IDS_PROGRESS_TITLE);
    char caption[64] = "garbage";
    GetWindowTextA(dialog.m_hWnd, caption, sizeof caption);
    EXPECT_STREQ(caption, title);
    EXPECT_EQ(ItemText(dialog, IDC_PERCENT), " 0 %");
    EXPECT_EQ(ItemText(dialog, IDC_STATUS), "");
    PBRANGE range;
    SendDlgItemMessageA(dialog.m_hWnd, IDC_PROGRESS, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(range.iLow, 0);
    EXPECT_EQ(range.iHigh, 100);
    LONG style = GetWindowLongA(dialog.m_hWnd, GWL_STYLE);
    EXPECT_FALSE(style & WS_SYSMENU) << "the window must have no close box";
}

TEST(ProgressDlg, PercentLabelFollowsPosition) {
    struct Case { int lower, upper, pos; const char* label; };
    const Case cases[] = {
        {0, 100, 0, "0%"}, {0, 100, 42, "42%"}, {0, 100, 100, "100%"}, {10, 20, 15, "50%"},
    };
    for (const Case& c : cases) {
        CProgressDlg dialog;
        ASSERT_TRUE(dialog.Create());
        dialog.SetRange(c.lower, c.upper);
        dialog.SetPos(c.pos);
        EXPECT_EQ(ItemText(dialog, IDC_PERCENT), c.label) << c.lower << ".." << c.upper << " at " << c.pos;
        EXPECT_EQ(BarPos(dialog), c.pos);
    }
}

TEST(ProgressDlg, SamePercentSetsLabelOnce) {
    CProgressDlg dialog;
    ASSERT_TRUE(dialog.Create());
    HWND label = GetDlgItem(dialog.m_hWnd, IDC_PERCENT);
    g_staticProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(label, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingProc)));
    g_setTexts = 0;
    dialog.SetPos(7);
    dialog.SetPos(7);
    EXPECT_EQ(g_setTexts, 1);
    dialog.SetPos(8);
    EXPECT_EQ(g_setTexts, 2);
    SetWindowLongPtrA(label, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_staticProc));
}

TEST(ProgressDlg, EnterAndEscapeLeaveItOpen) {
    CProgressDlg dialog;
    ASSERT_TRUE(dialog.Create());
    for (UINT key : {VK_RETURN, VK_ESCAPE}) {
        PostMessageA(dialog.m_hWnd, WM_KEYDOWN, key, 1);
        PostMessageA(dialog.m_hWnd, WM_KEYUP, key, 0xC0000001);
        PostMessageA(dialog.m_hWnd, WM_COMMAND, key == VK_RETURN ? IDOK : IDCANCEL, 0);
        dialog.SetPos(1);   // pumps the queue
        EXPECT_TRUE(IsWindow(dialog.m_hWnd));
        EXPECT_TRUE(IsWindowVisible(dialog.m_hWnd));
    }
}

TEST(ProgressDlg, OwnerIsDisabledWhileUpAndEnabledWhenDeleted) {
    CWnd owner;
    owner.m_hWnd = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                   nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(owner.m_hWnd, nullptr);
    CProgressDlg* dialog = new CProgressDlg;
    ASSERT_TRUE(dialog->Create(&owner));
    EXPECT_FALSE(IsWindowEnabled(owner.m_hWnd));
    HWND window = dialog->m_hWnd;
    delete dialog;
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(IsWindowEnabled(owner.m_hWnd));
    DestroyWindow(owner.m_hWnd);
    owner.m_hWnd = nullptr;
}

TEST(ProgressDlg, DeletingOneNeverCreatedTouchesNoWindow) {
    CWnd owner;
    owner.m_hWnd = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE | WS_DISABLED, 0, 0, 50, 50,
                                   nullptr, nullptr, nullptr, nullptr);
    delete new CProgressDlg;
    EXPECT_FALSE(IsWindowEnabled(owner.m_hWnd));
    DestroyWindow(owner.m_hWnd);
    owner.m_hWnd = nullptr;
}

// Every file of both lists, in order: its status text and the bar position.
TEST(ShowFileProgress, StatusAndPositionOfAll58Files) {
    SetupContext context;
    InitSetupContext(context);
    context.progress = new CProgressDlg;
    ASSERT_TRUE(context.progress->Create());
    context.fileTotal = CountFiles(kSystemLibraries) + CountFiles(kProductFiles);
    ASSERT_EQ(context.fileTotal, 58);
    context.progress->SetRange(0, 100);

    CString format;
    format.LoadString(IDS_INSTALLING);
    std::vector<int> positions;
    int k = 0;
    for (const char* list : {kSystemLibraries, kProductFiles}) {
        for (const char* name = FirstFile(list); name; name = NextFile(name), ++k) {
            ShowFileProgress(context, name);
            CString expected;
            expected.Format(format, name);
            EXPECT_EQ(ItemText(*context.progress, IDC_STATUS), std::string(expected)) << name;
            EXPECT_EQ(context.fileIndex, k + 1);
            positions.push_back(BarPos(*context.progress));
            EXPECT_EQ(ItemText(*context.progress, IDC_PERCENT), std::to_string(positions.back()) + "%");
        }
    }
    ASSERT_EQ(positions.size(), 58u);
    EXPECT_EQ(std::vector<int>(positions.begin(), positions.begin() + 5), (std::vector<int>{0, 1, 3, 5, 6}));
    EXPECT_EQ(positions.back(), 98);
    for (size_t i = 0; i < positions.size(); ++i) EXPECT_EQ(positions[i], static_cast<int>(100 * i / 58));
    delete context.progress;
}

TEST(ShowFileProgress, EnglishStatusOfTheFirstFile) {
    if (GetUserDefaultUILanguage() != 0x409) GTEST_SKIP() << "English machine only";
    SetupContext context;
    InitSetupContext(context);
    context.progress = new CProgressDlg;
    ASSERT_TRUE(context.progress->Create());
    context.fileTotal = 58;
    ShowFileProgress(context, "Mfc42.dll");
    EXPECT_EQ(ItemText(*context.progress, IDC_STATUS), "Installing Mfc42.dll.");
    delete context.progress;
}
