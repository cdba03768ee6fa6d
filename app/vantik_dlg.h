// The main dialog: the result list of the checks and the buttons that run the task lists.
#pragma once

#include "app/dialog.h"
#include "tasks/execute_unit.h"

namespace app {

class MainDialog : public Dialog {
 public:
  explicit MainDialog(HWND parent = nullptr);

 protected:
  BOOL OnInitDialog() override;
  void OnButtonClicked(int id) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  void InitResultImages();
  void InitResultList();
  void OnSysCommand(UINT id);
  bool OnPaint();
  void OnDiagnose();
  void OnRepair();
  void OnExport();
  void OnUnitResult(int index, int result);
  void RefreshResultList();
  void RunProgress(const tasks::UnitList& units);

  HICON m_hIcon;
  tasks::UnitList m_diagnoseUnits;
  tasks::UnitList m_repairUnits;
  bool m_exportCapturesHotfixList = false;  // decided with the lists, as the dialog starts
  HWND m_resultList = nullptr;              // control 1000
};

}  // namespace app
