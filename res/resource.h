// Resource ids of the panel: dialog templates, strings, icons, bitmaps and
// the controls that code refers to by id.
#pragma once

#define IDC_STATIC (-1)

#define IDD_ABOUT 100
#define IDS_ABOUT_ITEM 101
#define IDD_MAIN 102
#define IDI_CORVANE 128
#define IDI_CLOSE_NORMAL 129
#define IDI_MINIMIZE_NORMAL 130
#define IDI_MINIMIZE_ACTIVE 131
#define IDI_CLOSE_ACTIVE 132
#define IDD_MATRIX_PAGE 134
#define IDD_MESSAGE_BOX 135
#define IDB_MESSAGE_SYMBOL 136
#define IDD_CONFIG_IP 139
#define IDD_EDID_PAGE 140
#define IDD_STATUS_POPUP 142
#define IDB_FINISH_MARK 143
#define IDD_UPGRADE_PAGE 144

// Main window
#define IDC_CLOSE 1002
#define IDC_MINIMIZE 1005
#define IDC_TAB_GENERAL 1008
#define IDC_TAB_EDID 1011
#define IDC_TAB_MATRIX 1012
#define IDC_TAB_UPGRADE 1013
#define IDC_COM_MODE 1016
#define IDC_RECEIVE_LOG 1042
#define IDC_SEND_LOG 1043

// Message box
#define IDC_MESSAGE_CLOSE 1057
#define IDC_MESSAGE_OK 1058
#define IDC_MESSAGE_CANCEL 1099
#define IDC_MESSAGE_SYMBOL 1100
#define IDC_MESSAGE_NO_LONGER_REMIND 1101

// Busy pop-up
#define IDC_STATUS_TEXT 1086
#define IDC_STATUS_FINISH_MARK 1087
