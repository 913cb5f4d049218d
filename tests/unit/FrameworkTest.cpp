// The framework behaviours the program relies on: data exchange on OK only,
// radio groups, message boxes without owner under the program's name, CString.
#include <gtest/gtest.h>

#include "DialogDriver.h"
#include "Seam.h"
#include "framework/Afx.h"
#include "resource.h"

namespace {

// A dialog over the file types template: one edit box exchanged with a member.
class TextDialog : public CDialog {
public:
    TextDialog() : CDialog(IDD_FILE_TYPES) {}
    CString m_text;
    int m_exchanges = 0;

protected:
    void DoDataExchange(CDataExchange* dx) override {
        ++m_exchanges;
        DDX_Text(dx, IDC_TYPES, m_text);
    }
};

// A dialog over the restart template: the radio group.
class RadioDialog : public CDialog {
public:
    RadioDialog() : CDialog(IDD_RESTART) {}
    int m_choice = 0;

protected:
    void DoDataExchange(CDataExchange* dx) override { DDX_Radio(dx, IDC_RESTART_NOW, m_choice); }
};

std::string ProgramBaseName() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name = path;
    name = name.substr(name.find_last_of('\\') + 1);
    return name.substr(0, name.find_last_of('.'));
}

}  // namespace

TEST(Dialog, OkExchangesTheControlsIntoTheMembers) {
    TextDialog dialog;
    dialog.m_text = "before";
    std::string shown;
    DialogDriver driver;
    driver.On("", [&](HWND h) {
        shown = DialogDriver::Text(h, IDC_TYPES);
        DialogDriver::Type(h, IDC_TYPES, "typed by the user");
        DialogDriver::Click(h, IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(shown, "before");
    EXPECT_STREQ(dialog.m_text, "typed by the user");
    EXPECT_EQ(dialog.m_exchanges, 2);
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

TEST(Dialog, CancelEscapeAndCloseBoxEndWithoutExchange) {
    const std::function<void(HWND)> endings[] = {
        [](HWND h) { DialogDriver::Click(h, IDCANCEL); },
        [](HWND h) { DialogDriver::Key(h, VK_ESCAPE); },
        [](HWND h) { DialogDriver::CloseBox(h); },
    };
    for (const auto& end : endings) {
        TextDialog dialog;
        dialog.m_text = "kept";
        DialogDriver driver;
        driver.On("", [&](HWND h) {
            DialogDriver::Type(h, IDC_TYPES, "thrown away");
            end(h);
        });
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
        EXPECT_STREQ(dialog.m_text, "kept");
        EXPECT_EQ(dialog.m_exchanges, 1) << "only the exchange into the controls";
    }
}

TEST(Dialog, RadioGroupLoadsAndSavesTheIndex) {
    for (int start : {0, 1}) {
        RadioDialog dialog;
        dialog.m_choice = start;
        LRESULT nowChecked = -1, laterChecked = -1;
        DialogDriver driver;
        driver.On("", [&](HWND h) {
            nowChecked = SendDlgItemMessageA(h, IDC_RESTART_NOW, BM_GETCHECK, 0, 0);
            laterChecked = SendDlgItemMessageA(h, IDC_RESTART_LATER, BM_GETCHECK, 0, 0);
            // The user picks the other button.
            DialogDriver::Click(h, start == 0 ? IDC_RESTART_LATER : IDC_RESTART_NOW);
            DialogDriver::Click(h, IDOK);
        });
        EXPECT_EQ(dialog.DoModal(), IDOK);
        EXPECT_EQ(nowChecked, start == 0 ? BST_CHECKED : BST_UNCHECKED);
        EXPECT_EQ(laterChecked, start == 1 ? BST_CHECKED : BST_UNCHECKED);
        EXPECT_EQ(dialog.m_choice, 1 - start);
    }
}

TEST(MessageBox, NoOwnerAndTheProgramsBaseNameAsCaption) {
    CWinApp app;
    CEditView placeholder;
    app.m_pMainWnd = &placeholder;   // a main window object without a window
    AfxMessageBox("plain text", MB_ICONSTOP);
    AfxMessageBox(IDS_DONE, MB_ICONINFORMATION);
    app.m_pMainWnd = nullptr;

    ASSERT_EQ(seam::MessageBoxes().size(), 2u);
    CString done;
    done.LoadString(IDS_DONE);
    const seam::MessageBoxCall& first = seam::MessageBoxes()[0];
    const seam::MessageBoxCall& second = seam::MessageBoxes()[1];
    EXPECT_EQ(first.owner, nullptr);
    EXPECT_EQ(first.caption, ProgramBaseName());
    EXPECT_EQ(first.text, "plain text");
    EXPECT_EQ(first.style, static_cast<UINT>(MB_ICONSTOP));
    EXPECT_EQ(second.owner, nullptr);
    EXPECT_EQ(second.text, std::string(done));
    EXPECT_EQ(second.style, static_cast<UINT>(MB_ICONINFORMATION));
}

TEST(CString, FormatLoadAndEditInPlace) {
    CString s;
    s.Format("%s and %d%c", "text", 42, '%');
    EXPECT_STREQ(s, "text and 42%");
    EXPECT_EQ(s.GetLength(), 12);

    CString copy = s;
    copy += " more";
    EXPECT_STREQ(s, "text and 42%");
    EXPECT_STREQ(copy, "text and 42% more");

    CString product;
    EXPECT_TRUE(product.LoadString(IDS_PRODUCT_NAME));
    EXPECT_STREQ(product, "Scrivon V4.1");
    CString missing = "old";
    EXPECT_FALSE(missing.LoadString(4000));
    EXPECT_TRUE(missing.IsEmpty());

    // A text longer than any first guess of the loader's buffer comes whole.
    CString table;
    table.LoadString(IDS_WELCOME);
    EXPECT_GT(table.GetLength(), 200);
    EXPECT_EQ(table.GetLength(), lstrlenA(table));

    char* buffer = product.GetBuffer(0);
    buffer[7] = 0;
    product.ReleaseBuffer();
    EXPECT_STREQ(product, "Scrivon");
    EXPECT_EQ(product.GetLength(), 7);
}

TEST(WinApp, TitleComesFromTheProgramFile) {
    CWinApp app;
    EXPECT_EQ(std::string(app.m_pszAppName), ProgramBaseName());
    EXPECT_EQ(AfxGetApp(), &app);
    EXPECT_TRUE(app.Enable3dControlsStatic());
}
