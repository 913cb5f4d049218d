// The file types question: a list of extensions the user may edit, Yes or No.
#ifndef REGISTER_FILETYPESDLG_H
#define REGISTER_FILETYPESDLG_H

#include "framework/Afx.h"

class CFileTypesDlg : public CDialog {
public:
    explicit CFileTypesDlg(CWnd* parent = 0);
    virtual ~CFileTypesDlg();

    CString m_types;   // extensions without dots, separated by blanks

protected:
    virtual void DoDataExchange(CDataExchange* dx);

    DECLARE_MESSAGE_MAP()
};

#endif
