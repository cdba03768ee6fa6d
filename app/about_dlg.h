// The about box, opened from the system menu.
#pragma once

#include "app/dialog.h"
#include "res/resource.h"

namespace app {

class AboutDialog : public Dialog {
 public:
  explicit AboutDialog(HWND parent) : Dialog(IDD_ABOUTBOX, parent) {}
};

}  // namespace app
