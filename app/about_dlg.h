// The about box, opened from the system menu.
#pragma once

#include "app/dialog.h"
#include "res/resource.h"

class CAboutDlg : public CDialog {
 public:
  explicit CAboutDlg(HWND parent) : CDialog(IDD_ABOUTBOX, parent) {}
};
