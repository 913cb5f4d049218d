// CFileTypesDlg. Yes takes the edited list; No, Enter (No is the default
// button), Escape and the close box leave it unread.
#include "register/FileTypesDlg.h"

#include "app/Manifest.h"
#include "res/resource.h"

BEGIN_MESSAGE_MAP(CFileTypesDlg, CDialog)
END_MESSAGE_MAP()

CFileTypesDlg::CFileTypesDlg(CWnd* parent) : CDialog(IDD_FILE_TYPES, parent) { m_types = kDefaultTextTypes; }

CFileTypesDlg::~CFileTypesDlg() {}

void CFileTypesDlg::DoDataExchange(CDataExchange* dx) { DDX_Text(dx, IDC_TYPES, m_types); }
