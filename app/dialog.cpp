#include "app/dialog.h"

namespace app {

Dialog::Dialog(int templateId, HWND parent) : templateId_(templateId), parent_(parent) {}

INT_PTR Dialog::DoModal() {
  return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId_), parent_,
                         DialogProc, reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK Dialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Dialog* self = nullptr;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<Dialog*>(lParam);
    SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    self->m_hWnd = window;
  } else {
    self = reinterpret_cast<Dialog*>(GetWindowLongPtrA(window, DWLP_USER));
  }
  if (self == nullptr) return FALSE;  // messages before WM_INITDIALOG
  // Nothing may unwind into the system's code.
  try {
    const INT_PTR handled = self->Dispatch(message, wParam, lParam);
    if (message == WM_NCDESTROY) self->m_hWnd = nullptr;
    return handled;
  } catch (...) {
    return FALSE;
  }
}

INT_PTR Dialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (OnMessage(message, wParam, lParam, result)) {
    // These few answer through the procedure's return value, the rest through DWLP_MSGRESULT.
    if (message == WM_QUERYDRAGICON || message == WM_CTLCOLORSTATIC || message == WM_CTLCOLORDLG ||
        message == WM_CTLCOLOREDIT || message == WM_CTLCOLORBTN) {
      return static_cast<INT_PTR>(result);
    }
    SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
    return TRUE;
  }
  switch (message) {
    case WM_INITDIALOG:
      return OnInitDialog();
    case WM_COMMAND:
      if (HIWORD(wParam) != BN_CLICKED) return FALSE;
      if (LOWORD(wParam) == IDOK) {
        OnOK();
      } else if (LOWORD(wParam) == IDCANCEL) {
        OnCancel();
      } else {
        OnButtonClicked(LOWORD(wParam));
      }
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace app
