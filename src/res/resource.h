// Resource ids of the setup program: strings, dialog templates, controls, icon.
#ifndef SETUP_RESOURCE_H
#define SETUP_RESOURCE_H

// Strings. IDS_PRODUCT_NAME has one copy; 128..145 exist in every language.
#define IDS_PRODUCT_NAME        1
#define IDS_NEED_WINDOWS        128
#define IDS_NO_MEMORY           129
#define IDS_CHOOSE_DIRECTORY    130
#define IDS_WELCOME             131
#define IDS_SYSLIB_ACCESS       132
#define IDS_SYSLIB_FAILED       133
#define IDS_FILE_ACCESS         134
#define IDS_WRITE_ERROR         135
#define IDS_PROGRESS_TITLE      136
#define IDS_INSTALLING          137
#define IDS_CREATE_DIRECTORY    138
#define IDS_COPY_FAILED         139
#define IDS_CREATE_FILE         140
#define IDS_SHORTCUTS           141
#define IDS_RESTART_NEEDED      142
#define IDS_KEY_ACCESS          143
#define IDS_LOGOFF              144
#define IDS_DONE                145

// Icon and dialog templates.
#define IDI_SETUP               256
#define IDD_DESTINATION         257
#define IDD_PROGRESS            258
#define IDD_RESTART             259
#define IDD_FILE_TYPES          260

// Controls.
#define IDC_TYPES               257
#define IDC_BROWSE              1024
#define IDC_DIRECTORY           1025
#define IDC_PROGRESS            1027
#define IDC_PERCENT             1028
#define IDC_STATUS              1029
#define IDC_RESTART_NOW         1030
#define IDC_RESTART_LATER       1031
#define IDC_MESSAGE             1032

#ifndef IDC_STATIC
#define IDC_STATIC              (-1)
#endif

#endif
