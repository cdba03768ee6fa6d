// The main dialog: the result list of the checks and the buttons that run the task lists.
#pragma once

#include <memory>

#include "app/dialog.h"
#include "diagnosis/rows.h"
#include "tasks/execute_unit.h"

namespace app {

class MainDialog : public Dialog {
 public:
  explicit MainDialog(HWND parent = nullptr);

 protected:
  BOOL OnInitDialog() override;
  void OnButtonClicked(int id) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  // Enter on the result list shows the selected row's details; elsewhere it is the dialog's.
  void OnOK() override;

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
  void ShowRowDetails(int item);
  void RunProgress(const tasks::UnitList& units);

  HICON m_hIcon;
  std::shared_ptr<diagnosis::FindingsBoard> m_findings =
      std::make_shared<diagnosis::FindingsBoard>();
  tasks::UnitList m_diagnoseUnits;
  tasks::UnitList m_repairUnits;
  bool m_exportCapturesHotfixList = false;  // decided with the lists, as the dialog starts
  HWND m_resultList = nullptr;              // control 1000
};

}  // namespace app
