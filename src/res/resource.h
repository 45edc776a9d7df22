#pragma once
// Resource symbols, shared by the resource script and the program.
#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_PLAYNOOKAPP_DIALOG 102
#define IDR_MAINFRAME 128
#define IDD_SERVERSELECT_DIALOG 130

#define IDC_FLASH 1000
#define IDC_RADIO_AUTO 1001
#define IDC_RADIO_TELECOM 1002
#define IDC_RADIO_UNICOM 1003
#define IDC_CHECK_NOREMIND 1004

#define IDM_ABOUTBOX 0x0010

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
