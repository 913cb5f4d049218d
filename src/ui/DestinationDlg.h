// The destination question: the welcome text, the proposed folder, Browse,
// Next and Cancel.
#ifndef UI_DESTINATIONDLG_H
#define UI_DESTINATIONDLG_H

#include "framework/Afx.h"

class CDestinationDlg : public CDialog {
public:
    explicit CDestinationDlg(CWnd* parent = 0);
    virtual ~CDestinationDlg();

    CString m_directory;
    CString m_message;
    HICON m_icon;

protected:
    virtual void DoDataExchange(CDataExchange* dx);
    virtual BOOL OnInitDialog();

    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnBrowse();

    DECLARE_MESSAGE_MAP()
};

#endif
