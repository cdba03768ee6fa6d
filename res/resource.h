// Resource ids shared by res/vantik.rc and the C++ sources. Plain #defines, because the
// resource compiler's preprocessor understands nothing else.
#ifndef VANTIK_RES_RESOURCE_H
#define VANTIK_RES_RESOURCE_H

// Dialog templates.
#define IDD_ABOUTBOX 100
#define IDD_VANTIK_DIALOG 102
#define IDD_DIALOG_PROGRESS 142

// String table: the caption of the about item of the system menu.
#define IDS_ABOUTBOX 101

// Icons, all 32 by 32. IDR_MAINFRAME is the application icon (a magnifying glass); the
// other three mark a row of the result list.
#define IDR_MAINFRAME 128
#define IDI_WARNING_RESULT 133
#define IDI_NORMAL_RESULT 139
#define IDI_ABNORMAL_RESULT 141

// Controls of the main dialog (102).
#define IDC_RESULT_LIST 1000
#define IDC_DIAGNOSE 1001
#define IDC_REPAIR 1002
#define IDC_EXPORT 1003

// Controls of the progress dialog's template (142).
#define IDC_STEP_EDIT 1005
#define IDC_PROGRESS_BAR 1006

// Command id of the about item of the system menu. System menu commands must keep their low
// four bits clear, because Windows uses those bits itself.
#define IDM_ABOUTBOX 0x0010

// Statics that no code addresses.
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#endif
