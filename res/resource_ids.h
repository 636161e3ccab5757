// Numbers shared by the resource scripts and the C++ code: dialogs, the string, the icon,
// the cursor, the controls and the template engine's resource. Plain #defines, so that
// windres and the compiler read the same file.
#pragma once

// Dialog templates.
#define IDD_ABOUTBOX 100
#define IDD_TOMESHIFT_DIALOG 102

// The system-menu entry "&About Tomeshift...".
#define IDS_ABOUTBOX 101

// The application icon (group icon) and the link cursor (group cursor).
#define IDR_MAINFRAME 128
#define IDC_HAND_CURSOR 129

// Controls of the main dialog.
#define IDC_BOOK_PATH 1000
#define IDC_BROWSE 1001
#define IDC_PATCH 1002
#define IDC_LINK_BESTSELLING 1003
#define IDC_LINK_COVERGRAPHICS 1004
#define IDC_LINK_MORETRAFFIC 1005
#define IDC_LINK_MARKETING 1006

// The template engine: resource type 348, id 1.
#define RT_TEMPLATE_ENGINE 348
#define IDR_TEMPLATE_ENGINE 1
