// CRestartDlg. It opens with "restart now" checked; OK (or Enter) takes the
// choice, Escape and the close box end it without reading the buttons.
#include "register/RestartDlg.h"

#include "res/resource.h"

BEGIN_MESSAGE_MAP(CRestartDlg, CDialog)
END_MESSAGE_MAP()

CRestartDlg::CRestartDlg(CWnd* parent) : CDialog(IDD_RESTART, parent), m_restartChoice(0) {}

CRestartDlg::~CRestartDlg() {}

void CRestartDlg::DoDataExchange(CDataExchange* dx) { DDX_Radio(dx, IDC_RESTART_NOW, m_restartChoice); }
