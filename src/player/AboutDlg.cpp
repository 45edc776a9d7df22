#include "player/AboutDlg.h"

#include "resource.h"

CAboutDlg::CAboutDlg() : winkit::Dialog(IDD_ABOUTBOX, nullptr) {}
