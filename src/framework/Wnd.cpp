// CWnd over the Win32 window calls.
#include "framework/Wnd.h"
#include "framework/WinApp.h"

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

CWnd::CWnd() : m_hWnd(0), m_defaultRequested(false) {}

CWnd::~CWnd() {}

BOOL CWnd::DestroyWindow() {
    if (!m_hWnd) return FALSE;
    BOOL ok = ::DestroyWindow(m_hWnd);
    m_hWnd = 0;
    return ok;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

void CWnd::SetWindowText(const char* text) { ::SetWindowTextA(m_hWnd, text); }

HWND CWnd::GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }

BOOL CWnd::IsIconic() const { return ::IsIconic(m_hWnd); }

void CWnd::GetClientRect(RECT* rect) const { ::GetClientRect(m_hWnd, rect); }

BOOL CWnd::IsDialogMessage(MSG* msg) { return m_hWnd && ::IsDialogMessageA(m_hWnd, msg); }

void CWnd::Default() { m_defaultRequested = true; }

HWND CWnd::GetSafeOwner(CWnd* parent) {
    HWND hwnd = parent ? parent->m_hWnd : 0;
    bool fromMain = false;
    if (!hwnd) {
        CWinApp* app = AfxGetApp();
        hwnd = app && app->m_pMainWnd ? app->m_pMainWnd->m_hWnd : 0;
        fromMain = true;
    }
    while (hwnd && (GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD))
        hwnd = ::GetParent(hwnd);
    if (hwnd && fromMain) hwnd = ::GetLastActivePopup(hwnd);
    return hwnd;
}

CPaintDC::CPaintDC(CWnd* wnd) : m_hWnd(wnd->m_hWnd) { m_hDC = ::BeginPaint(m_hWnd, &m_paint); }

CPaintDC::~CPaintDC() { ::EndPaint(m_hWnd, &m_paint); }
