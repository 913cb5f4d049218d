// The destination dialog, driven like a user: Next, Enter, Escape, the close
// box, Browse answered or cancelled.
#include <gtest/gtest.h>

#include "DialogDriver.h"
#include "Seam.h"
#include "framework/Afx.h"
#include "resource.h"
#include "ui/DestinationDlg.h"

namespace {

struct DialogRun {
    INT_PTR result;
    std::string directory;
    std::string shownBefore;   // IDC_DIRECTORY when the dialog came up
    std::string message;       // IDC_MESSAGE when the dialog came up
};

DialogRun RunDialog(const std::string& directory, std::function<void(HWND)> act) {
    CDestinationDlg dialog;
    dialog.m_directory = directory.c_str();
    dialog.m_message = "Welcome to the test";
    DialogRun run{};
    DialogDriver driver;
    driver.On("", [&](HWND hwnd) {
        run.shownBefore = DialogDriver::Text(hwnd, IDC_DIRECTORY);
        run.message = DialogDriver::Text(hwnd, IDC_MESSAGE);
        act(hwnd);
    });
    run.result = dialog.DoModal();
    EXPECT_TRUE(driver.AllDone()) << "the dialog never came up";
    run.directory = std::string(dialog.m_directory);
    return run;
}

std::string TempFolder(const char* name) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string path = std::string(temp) + name;
    CreateDirectoryA(path.c_str(), nullptr);
    char longPath[MAX_PATH];
    GetLongPathNameA(path.c_str(), longPath, MAX_PATH);
    return longPath;
}

}  // namespace

TEST(DestinationDlg, ShowsBothTextsAndNextReturnsTheFolder) {
    DialogRun run = RunDialog("C:\\Program Files\\Scrivon V4.1",
                        [](HWND hwnd) { DialogDriver::Click(hwnd, IDOK); });
    EXPECT_EQ(run.result, IDOK);
    EXPECT_EQ(run.shownBefore, "C:\\Program Files\\Scrivon V4.1");
    EXPECT_EQ(run.message, "Welcome to the test");
    EXPECT_EQ(run.directory, "C:\\Program Files\\Scrivon V4.1");
}

TEST(DestinationDlg, EnterIsNextEscapeAndCloseBoxCancel) {
    struct Case { const char* name; std::function<void(HWND)> act; INT_PTR result; };
    const Case cases[] = {
        {"Enter", [](HWND h) { DialogDriver::Key(h, VK_RETURN); }, IDOK},
        {"Escape", [](HWND h) { DialogDriver::Key(h, VK_ESCAPE); }, IDCANCEL},
        {"close box", [](HWND h) { DialogDriver::CloseBox(h); }, IDCANCEL},
        {"Cancel", [](HWND h) { DialogDriver::Click(h, IDCANCEL); }, IDCANCEL},
    };
    for (const Case& c : cases) EXPECT_EQ(RunDialog("C:\\Dest", c.act).result, c.result) << c.name;
}

TEST(DestinationDlg, BrowseReplacesTheFolderAndNextReturnsIt) {
    std::string chosen = TempFolder("Chosen Folder");
    seam::SetBrowseAnswer(chosen);
    std::string afterBrowse;
    DialogRun run = RunDialog("C:\\Dest", [&](HWND hwnd) {
        SendMessageA(GetDlgItem(hwnd, IDC_BROWSE), BM_CLICK, 0, 0);
        afterBrowse = DialogDriver::Text(hwnd, IDC_DIRECTORY);
        DialogDriver::Click(hwnd, IDOK);
    });
    EXPECT_EQ(afterBrowse, chosen);
    EXPECT_EQ(run.result, IDOK);
    EXPECT_EQ(run.directory, chosen);

    auto calls = seam::CallsOf("SHBrowseForFolderA");
    ASSERT_EQ(calls.size(), 1u);
    CString title;
    title.LoadString(IDS_CHOOSE_DIRECTORY);
    EXPECT_EQ(calls[0].args[0], "0") << "the browser has no owner";
    EXPECT_EQ(calls[0].args[1], std::string(title));
    EXPECT_EQ(calls[0].args[2], "1") << "file-system folders only";
}

TEST(DestinationDlg, CancelledBrowseLeavesTheFolder) {
    seam::SetBrowseAnswer("");
    DialogRun run = RunDialog("C:\\Dest", [](HWND hwnd) {
        SendMessageA(GetDlgItem(hwnd, IDC_BROWSE), BM_CLICK, 0, 0);
        DialogDriver::Click(hwnd, IDOK);
    });
    EXPECT_EQ(run.directory, "C:\\Dest");
}

TEST(DestinationDlg, IconIsTheWindowsBigAndSmallIconAndTheDragIcon) {
    CDestinationDlg dialog;
    ASSERT_NE(dialog.m_icon, nullptr);
    HICON big = nullptr, small = nullptr, drag = nullptr;
    RunDialog("C:\\Dest", [&](HWND hwnd) {
        big = reinterpret_cast<HICON>(SendMessageA(hwnd, WM_GETICON, ICON_BIG, 0));
        small = reinterpret_cast<HICON>(SendMessageA(hwnd, WM_GETICON, ICON_SMALL, 0));
        drag = reinterpret_cast<HICON>(SendMessageA(hwnd, WM_QUERYDRAGICON, 0, 0));
        DialogDriver::Click(hwnd, IDCANCEL);
    });
    // LoadIcon hands out one shared handle per resource.
    EXPECT_EQ(big, dialog.m_icon);
    EXPECT_EQ(small, dialog.m_icon);
    EXPECT_EQ(drag, dialog.m_icon);
}

TEST(DestinationDlg, LongFolderIsReturnedWhole) {
    std::string folder = "C:\\" + std::string(200, 'x') + "\\" + std::string(50, 'y');
    DialogRun run = RunDialog(folder, [](HWND hwnd) { DialogDriver::Click(hwnd, IDOK); });
    EXPECT_EQ(run.directory, folder);
}
