// ids.h: every command and control ID of the Windows program.
#pragma once

// Commands (WM_COMMAND, low word of wParam).
#define IDC_VISIT 1001
#define IDC_QUIT 1003 // the Quit button and the Exit menu item
#define IDC_STORE 1006
#define IDC_CLOSE 1016
#define IDC_ABOUT 1017
#define IDC_GENERATE 1021

// Controls that send no command of their own.
#define IDC_STORED_NAMES 1005
#define IDC_MODE_CHOOSER 1015
#define IDC_NAME_BOX 1019
#define IDC_GROUP_FRAME 1500
#define IDC_LABEL 1501 // both labels of the About window

// The item of the menu bar the popup is inserted before, by command; the bar
// is empty then, so the popup is appended whatever the number.
#define IDM_MENU_INSERT_AT 1012

// The maker's home page and its host, shown in the Visit menu item.
#define MAKER_HOST "www.tavrelon.com"
#define MAKER_HOME_PAGE "http://" MAKER_HOST "/index.htm"
