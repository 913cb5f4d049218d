// CDialog. The object rides in the window's DWLP_USER slot; the static dialog
// procedure forwards each message to it.
#include "framework/Dialog.h"
#include "framework/WinApp.h"

BEGIN_MESSAGE_MAP(CDialog, CWnd)
END_MESSAGE_MAP()

CDialog::CDialog() : m_nIDHelp(0), m_pParentWnd(0) {}

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDHelp(templateId), m_pParentWnd(parent) {}

CDialog::~CDialog() {
    if (m_hWnd) CWnd::DestroyWindow();
}

INT_PTR CDialog::DoModal() {
    HWND owner = GetSafeOwner(m_pParentWnd);
    INT_PTR result = DialogBoxParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_nIDHelp), owner,
                                     DialogProc, reinterpret_cast<LPARAM>(this));
    m_hWnd = 0;
    return result;
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
    m_nIDHelp = templateId;
    m_pParentWnd = parent;
    HWND hwnd = CreateDialogParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(templateId),
                                   parent ? parent->m_hWnd : 0, DialogProc,
                                   reinterpret_cast<LPARAM>(this));
    return hwnd != 0;
}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

void CDialog::EndDialog(int result) { ::EndDialog(m_hWnd, result); }

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::OnOK() {
    UpdateData(TRUE);
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        CDialog* self = reinterpret_cast<CDialog*>(lParam);
        SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
        self->m_hWnd = hwnd;
        return self->OnInitDialog();
    }
    CDialog* self = reinterpret_cast<CDialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    if (!self) return FALSE;
    if (message == WM_NCDESTROY) {
        self->m_hWnd = 0;
        return FALSE;
    }
    return self->Dispatch(message, wParam, lParam);
}

INT_PTR CDialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    (void)lParam;
    UINT code = 0, id = 0;
    if (message == WM_COMMAND) {
        id = LOWORD(wParam);
        code = HIWORD(wParam);
        if (code == BN_CLICKED && id == IDOK) { OnOK(); return TRUE; }
        if (code == BN_CLICKED && id == IDCANCEL) { OnCancel(); return TRUE; }
    }
    const MessageMapEntry* entry = FindEntry(message, code, id);
    if (!entry) return FALSE;
    if (entry->signature == AfxSigCursor) {
        typedef HCURSOR (CCmdTarget::*CursorHandler)();
        HCURSOR cursor = (this->*reinterpret_cast<CursorHandler>(entry->handler))();
        return reinterpret_cast<INT_PTR>(cursor);
    }
    m_defaultRequested = false;
    (this->*entry->handler)();
    return m_defaultRequested ? FALSE : TRUE;
}

void DDX_Text(CDataExchange* dx, int id, CString& value) {
    HWND control = dx->m_pDlgWnd->GetDlgItem(id);
    if (!dx->m_bSaveAndValidate) {
        SetWindowTextA(control, value);
        return;
    }
    int length = GetWindowTextLengthA(control);
    char* buffer = value.GetBuffer(length);
    buffer[0] = 0;
    GetWindowTextA(control, buffer, length + 1);
    value.ReleaseBuffer();
}

static bool IsRadio(HWND control) {
    char cls[16];
    if (!GetClassNameA(control, cls, sizeof cls) || lstrcmpiA(cls, "Button") != 0) return false;
    LONG type = GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

void DDX_Radio(CDataExchange* dx, int id, int& value) {
    HWND control = dx->m_pDlgWnd->GetDlgItem(id);
    if (dx->m_bSaveAndValidate) value = -1;
    for (int index = 0; control && IsRadio(control); ++index) {
        if (dx->m_bSaveAndValidate) {
            if (SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED) value = index;
        } else {
            SendMessageA(control, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        control = GetWindow(control, GW_HWNDNEXT);
        if (control && (GetWindowLongA(control, GWL_STYLE) & WS_GROUP)) break;
    }
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
    if (!control.m_hWnd) control.m_hWnd = dx->m_pDlgWnd->GetDlgItem(id);
}
