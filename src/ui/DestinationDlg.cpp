// CDestinationDlg. The folder is a static text: the user can only browse for
// another one, never type a path.
#include "ui/DestinationDlg.h"

#include <shlobj.h>

#include "res/resource.h"

BEGIN_MESSAGE_MAP(CDestinationDlg, CDialog)
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_BN_CLICKED(IDC_BROWSE, OnBrowse)
END_MESSAGE_MAP()

CDestinationDlg::CDestinationDlg(CWnd* parent) : CDialog(IDD_DESTINATION, parent) {
    m_icon = LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDI_SETUP));
}

CDestinationDlg::~CDestinationDlg() {}

void CDestinationDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Text(dx, IDC_DIRECTORY, m_directory);
    DDX_Text(dx, IDC_MESSAGE, m_message);
}

BOOL CDestinationDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_icon));
    return TRUE;
}

void CDestinationDlg::OnPaint() {
    if (!IsIconic()) {
        Default();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.m_hDC), 0);
    int cxIcon = GetSystemMetrics(SM_CXICON);
    int cyIcon = GetSystemMetrics(SM_CYICON);
    RECT rect;
    GetClientRect(&rect);
    int x = (rect.right - rect.left - cxIcon + 1) / 2;
    int y = (rect.bottom - rect.top - cyIcon + 1) / 2;
    DrawIcon(dc.m_hDC, x, y, m_icon);
}

HCURSOR CDestinationDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(m_icon); }

void CDestinationDlg::OnBrowse() {
    IMalloc* allocator = 0;
    SHGetMalloc(&allocator);
    CString title;
    title.LoadString(IDS_CHOOSE_DIRECTORY);

    char displayName[MAX_PATH];
    BROWSEINFOA info;
    ZeroMemory(&info, sizeof info);
    CWinApp* app = AfxGetApp();
    info.hwndOwner = app && app->m_pMainWnd ? app->m_pMainWnd->m_hWnd : 0;
    info.pidlRoot = 0;
    info.pszDisplayName = displayName;
    info.lpszTitle = title;
    info.ulFlags = BIF_RETURNONLYFSDIRS;

    LPITEMIDLIST chosen = SHBrowseForFolderA(&info);
    if (chosen) {
        char path[MAX_PATH];
        path[0] = 0;
        BOOL isFolder = SHGetPathFromIDListA(chosen, path);
        if (allocator) allocator->Free(chosen);
        if (isFolder) SetDlgItemTextA(m_hWnd, IDC_DIRECTORY, path);
    }
    if (allocator) allocator->Release();
}
