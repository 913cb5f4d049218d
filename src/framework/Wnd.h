// CWnd and the small window classes around it: a C++ object that may or may
// not have a window (m_hWnd), with the few operations the program uses.
#ifndef FRAMEWORK_WND_H
#define FRAMEWORK_WND_H

#include "framework/CmdTarget.h"

class CWnd : public CCmdTarget {
public:
    CWnd();
    virtual ~CWnd();

    HWND GetSafeHwnd() const { return m_hWnd; }
    virtual BOOL DestroyWindow();

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    void SetWindowText(const char* text);
    HWND GetDlgItem(int id) const;
    BOOL IsIconic() const;
    void GetClientRect(RECT* rect) const;
    BOOL IsDialogMessage(MSG* msg);

    // The nearest window that is not a child, from the parent or else from the
    // application's main window (then its last active pop-up); null when none.
    static HWND GetSafeOwner(CWnd* parent);

    HWND m_hWnd;

protected:
    // Asks for the system's default handling of the message being dispatched.
    void Default();
    bool m_defaultRequested;

    DECLARE_MESSAGE_MAP()

private:
    CWnd(const CWnd&);
    CWnd& operator=(const CWnd&);
};

// Stands in for a main window without ever creating one.
class CEditView : public CWnd {};

// The common-controls progress bar, bound to a dialog control.
class CProgressCtrl : public CWnd {};

// BeginPaint and EndPaint around a scope.
class CPaintDC {
public:
    explicit CPaintDC(CWnd* wnd);
    ~CPaintDC();
    HDC m_hDC;

private:
    HWND m_hWnd;
    PAINTSTRUCT m_paint;
};

#endif
