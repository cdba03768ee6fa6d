#include "app/progress_dlg.h"

#include <commctrl.h>

#include "res/resource.h"

namespace app {

ProgressDialog::ProgressDialog(HWND owner, const tasks::UnitList& units)
    : Dialog(IDD_DIALOG_PROGRESS, owner),
      m_pOwner(owner),
      m_run(std::make_shared<tasks::RunState>(units, static_cast<tasks::RunnerView*>(this))) {}

ProgressDialog::~ProgressDialog() {
  // However the dialog ended, its worker must not outlive it while still touching it.
  tasks::StopWorker(*m_run, m_hThread);
}

BOOL ProgressDialog::OnInitDialog() {
  const int count = static_cast<int>(m_run->units().size());
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  m_window = m_hWnd;
  // Made at run time at a fixed place in pixels; the template's own two controls stay unused.
  m_stepEdit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_DISABLED, 10, 10, 300, 20,
                               m_hWnd, reinterpret_cast<HMENU>(IDOK), instance, nullptr);
  m_progressBar =
      CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE | PBS_SMOOTH, 10, 40, 300, 10,
                      m_hWnd, reinterpret_cast<HMENU>(IDC_PROGRESS_BAR), instance, nullptr);
  // The dialog's font, so that the step text shows in the same face as the rest.
  SendMessageA(m_stepEdit, WM_SETFONT, SendMessageA(m_hWnd, WM_GETFONT, 0, 0), FALSE);
  if (count > 0) {
    ShowWindow(m_progressBar, SW_SHOW);
    SendMessageA(m_progressBar, PBM_SETRANGE32, 0, count - 1);
  } else {
    ShowWindow(m_progressBar, SW_HIDE);
  }
  SetTimer(m_hWnd, kTimerStartWorker, 200, nullptr);
  return TRUE;
}

void ProgressDialog::OnTimer(UINT_PTR id) {
  if (id == kTimerStartWorker) {
    KillTimer(m_hWnd, kTimerStartWorker);
    // A worker that cannot start leaves the dialog open, empty, until the user closes it.
    if (tasks::StartWorker(m_run, m_hThread)) SetTimer(m_hWnd, kTimerWatchWorker, 500, nullptr);
  } else if (id == kTimerWatchWorker) {
    if (!m_run->Running()) OnOK();
  }
}

void ProgressDialog::OnOK() {
  tasks::StopWorker(*m_run, m_hThread);
  Dialog::OnOK();
}

void ProgressDialog::OnCancel() {
  tasks::StopWorker(*m_run, m_hThread);
  Dialog::OnCancel();
}

bool ProgressDialog::OnMessage(UINT message, WPARAM wParam, LPARAM, LRESULT&) {
  if (message == WM_TIMER) {
    OnTimer(wParam);
  } else if (message == WM_CLOSE) {
    // Then the default turns the close into IDCANCEL, and OnCancel has nothing left to stop.
    tasks::StopWorker(*m_run, m_hThread);
  }
  return false;
}

bool ProgressDialog::DialogHasWindow() { return IsWindow(m_window) != FALSE; }

void ProgressDialog::ShowStepText(const std::string& text) {
  SetWindowTextA(m_stepEdit, text.c_str());
}

void ProgressDialog::PostResult(unsigned message, int index, int result) {
  if (m_pOwner != nullptr && IsWindow(m_pOwner)) {
    PostMessageA(m_pOwner, message, static_cast<WPARAM>(index), static_cast<LPARAM>(result));
  }
}

void ProgressDialog::SetProgressPos(int position) {
  SendMessageA(m_progressBar, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

}  // namespace app
