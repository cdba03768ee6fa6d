// The progress dialog: shows the step text and a bar while its worker runs one task list,
// and closes itself once the worker has ended.
#pragma once

#include <memory>
#include <string>

#include "app/dialog.h"
#include "platform/thread.h"
#include "tasks/execute_unit.h"
#include "tasks/unit_runner.h"

namespace app {

class ProgressDialog : public Dialog, private tasks::RunnerView {
 public:
  // Takes its own copy of `units`; `owner` receives the result messages.
  ProgressDialog(HWND owner, const tasks::UnitList& units);
  ~ProgressDialog() override;

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  static constexpr UINT_PTR kTimerStartWorker = 0x4400;
  static constexpr UINT_PTR kTimerWatchWorker = 0x4401;

  void OnTimer(UINT_PTR id);

  // What the worker reaches, on the worker's thread.
  bool DialogHasWindow() override;
  void ShowStepText(const std::string& text) override;
  void PostResult(unsigned message, int index, int result) override;
  void SetProgressPos(int position) override;

  HWND m_pOwner;
  std::shared_ptr<tasks::RunState> m_run;  // shared with the worker
  platform::WorkerThread m_hThread;
  // Set before the worker starts and never changed after, so the worker may read them.
  HWND m_window = nullptr;
  HWND m_progressBar = nullptr;
  HWND m_stepEdit = nullptr;
};

}  // namespace app
