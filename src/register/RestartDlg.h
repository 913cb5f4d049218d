// The restart question: restart Windows now, or later.
#ifndef REGISTER_RESTARTDLG_H
#define REGISTER_RESTARTDLG_H

#include "framework/Afx.h"

class CRestartDlg : public CDialog {
public:
    explicit CRestartDlg(CWnd* parent = 0);
    virtual ~CRestartDlg();

    // The button checked in the group that starts at IDC_RESTART_NOW: 0 now,
    // 1 later. Read from the buttons only when the user presses OK.
    int m_restartChoice;

protected:
    virtual void DoDataExchange(CDataExchange* dx);

    DECLARE_MESSAGE_MAP()
};

#endif
