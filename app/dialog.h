// The least of a dialog framework that the program needs: a modal dialog from a template whose
// messages reach virtual handlers of a C++ object.
#pragma once

#include "platform/win32/windows_api.h"

namespace app {

class Dialog {
 public:
  Dialog(int templateId, HWND parent);
  virtual ~Dialog() = default;
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  // Runs the dialog modally; returns what EndDialog was given, or -1 when it could not start.
  INT_PTR DoModal();

 protected:
  virtual BOOL OnInitDialog() { return TRUE; }
  // Reached by the button with id IDOK (or Enter), and only by a click: an edit box with the
  // same id sends other notifications.
  virtual void OnOK() { EndDialog(m_hWnd, IDOK); }
  virtual void OnCancel() { EndDialog(m_hWnd, IDCANCEL); }
  // A click on any other button.
  virtual void OnButtonClicked(int /*id*/) {}
  // Sees every message first. True when handled, with `result` as the answer.
  virtual bool OnMessage(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/,
                         LRESULT& /*result*/) {
    return false;
  }

  HWND m_hWnd = nullptr;

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

  int templateId_;
  HWND parent_;
};

}  // namespace app
