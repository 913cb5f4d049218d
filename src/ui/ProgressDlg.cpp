// CProgressDlg. Enter and Escape reach OnOK and OnCancel through the dialog
// manager and do nothing: the window stays until the program deletes it.
#include "ui/ProgressDlg.h"

#include <commctrl.h>

#include "res/resource.h"

BEGIN_MESSAGE_MAP(CProgressDlg, CDialog)
END_MESSAGE_MAP()

CProgressDlg::CProgressDlg(UINT captionId)
    : m_captionId(captionId ? captionId : IDS_PROGRESS_TITLE), m_lower(0), m_upper(100), m_step(10),
      m_ownerDisabled(false), m_owner(0) {}

CProgressDlg::~CProgressDlg() {
    if (m_hWnd) DestroyWindow();
}

BOOL CProgressDlg::DestroyWindow() {
    ReEnableOwner();
    return CWnd::DestroyWindow();
}

BOOL CProgressDlg::Create(CWnd* parent) {
    m_owner = GetSafeOwner(parent);
    if (m_owner && IsWindowEnabled(m_owner)) {
        EnableWindow(m_owner, FALSE);
        m_ownerDisabled = true;
    }
    if (!CDialog::Create(IDD_PROGRESS, parent)) {
        ReEnableOwner();
        return FALSE;
    }
    return TRUE;
}

void CProgressDlg::ReEnableOwner() {
    if (m_ownerDisabled && m_owner) EnableWindow(m_owner, TRUE);
    m_ownerDisabled = false;
}

void CProgressDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_PROGRESS, m_progressBar);
}

BOOL CProgressDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_progressBar.SendMessage(PBM_SETRANGE, 0, MAKELPARAM(m_lower, m_upper));
    m_progressBar.SendMessage(PBM_SETSTEP, m_step, 0);
    m_progressBar.SendMessage(PBM_SETPOS, m_lower, 0);
    CString caption;
    caption.LoadString(m_captionId);
    SetWindowText(caption);
    return TRUE;
}

void CProgressDlg::OnOK() {}

void CProgressDlg::OnCancel() {}

void CProgressDlg::SetRange(int lower, int upper) {
    m_lower = lower;
    m_upper = upper;
    if (m_hWnd) m_progressBar.SendMessage(PBM_SETRANGE, 0, MAKELPARAM(lower, upper));
}

void CProgressDlg::SetStatus(const char* text) {
    if (m_hWnd) SetDlgItemTextA(m_hWnd, IDC_STATUS, text);
}

int CProgressDlg::SetPos(int position) {
    if (!m_hWnd) return 0;
    PumpMessages();
    if (!m_hWnd) return 0;   // a handler may have closed the window
    int previous = LOWORD(m_progressBar.SendMessage(PBM_SETPOS, position, 0));
    RefreshPercent(position);
    return previous;
}

void CProgressDlg::PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, 0, 0, 0, PM_REMOVE)) {
        if (!IsDialogMessage(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

void CProgressDlg::RefreshPercent(int position) {
    int percent = ((position - m_lower) * 100) / (m_upper - m_lower);
    char text[16];
    wsprintfA(text, "%d%c", percent, '%');
    char current[16];
    current[0] = 0;
    GetDlgItemTextA(m_hWnd, IDC_PERCENT, current, sizeof current);
    if (lstrcmpA(current, text) != 0) SetDlgItemTextA(m_hWnd, IDC_PERCENT, text);
}
