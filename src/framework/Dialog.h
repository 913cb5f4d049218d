// CDialog: a dialog template with a C++ object behind it, modal (DoModal) or
// modeless (Create), and the data exchange between members and controls.
#ifndef FRAMEWORK_DIALOG_H
#define FRAMEWORK_DIALOG_H

#include "framework/String.h"
#include "framework/Wnd.h"

class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate)
        : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}
    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate;   // TRUE: controls to members; FALSE: members to controls
};

void DDX_Text(CDataExchange* dx, int id, CString& value);
// The index of the checked button in the group of radio buttons that starts at id
// (-1 when none is checked); loading checks the button of that index.
void DDX_Radio(CDataExchange* dx, int id, int& value);
void DDX_Control(CDataExchange* dx, int id, CWnd& control);

class CDialog : public CWnd {
public:
    CDialog();
    CDialog(UINT templateId, CWnd* parent = 0);
    virtual ~CDialog();

    virtual INT_PTR DoModal();
    BOOL Create(UINT templateId, CWnd* parent = 0);
    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    void EndDialog(int result);

    virtual BOOL OnInitDialog();

protected:
    virtual void DoDataExchange(CDataExchange* dx);
    virtual void OnOK();
    virtual void OnCancel();

    UINT m_nIDHelp;        // the template id
    CWnd* m_pParentWnd;

    DECLARE_MESSAGE_MAP()

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
};

#endif
