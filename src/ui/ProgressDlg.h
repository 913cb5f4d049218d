// The modeless progress window: status line, bar and percentage. Without a
// message loop of its own, it services the thread's messages each time its
// position is set.
#ifndef UI_PROGRESSDLG_H
#define UI_PROGRESSDLG_H

#include "framework/Afx.h"

class CProgressDlg : public CDialog {
public:
    explicit CProgressDlg(UINT captionId = 0);
    virtual ~CProgressDlg();
    virtual BOOL DestroyWindow();

    BOOL Create(CWnd* parent = 0);
    void SetRange(int lower, int upper);
    void SetStatus(const char* text);
    int SetPos(int position);

    CProgressCtrl m_progressBar;
    UINT m_captionId;
    int m_lower;
    int m_upper;
    int m_step;
    bool m_ownerDisabled;

protected:
    virtual void DoDataExchange(CDataExchange* dx);
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    DECLARE_MESSAGE_MAP()

private:
    void ReEnableOwner();
    void PumpMessages();
    void RefreshPercent(int position);

    HWND m_owner;
};

#endif
