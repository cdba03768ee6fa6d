#include "app/vantik_dlg.h"

#include <commctrl.h>

#include "app/about_dlg.h"
#include "app/progress_dlg.h"
#include "platform/trace.h"
#include "res/resource.h"
#include "tasks/result_list.h"

namespace app {

namespace {

HICON LoadAppIcon(int id) { return LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id)); }

// An image list until the list view takes it over; the list view destroys it with itself.
class ImageList {
 public:
  ImageList(int cx, int cy, UINT flags, int initial, int grow)
      : handle_(ImageList_Create(cx, cy, flags, initial, grow)) {}
  ~ImageList() {
    if (handle_ != nullptr) ImageList_Destroy(handle_);
  }
  ImageList(const ImageList&) = delete;
  ImageList& operator=(const ImageList&) = delete;
  HIMAGELIST get() const { return handle_; }
  HIMAGELIST release() {
    HIMAGELIST handle = handle_;
    handle_ = nullptr;
    return handle;
  }

 private:
  HIMAGELIST handle_;
};

// BeginPaint and EndPaint as one object.
class PaintDc {
 public:
  explicit PaintDc(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
  ~PaintDc() { EndPaint(window_, &paint_); }
  PaintDc(const PaintDc&) = delete;
  PaintDc& operator=(const PaintDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

void InsertColumn(HWND list, int index, const char* heading, int width) {
  LVCOLUMNA column{};
  column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
  column.fmt = LVCFMT_LEFT;
  column.cx = width;
  column.pszText = const_cast<char*>(heading);
  column.iSubItem = index;
  SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(&column));
}

}  // namespace

MainDialog::MainDialog(HWND parent)
    : Dialog(IDD_VANTIK_DIALOG, parent), m_hIcon(LoadAppIcon(IDR_MAINFRAME)) {}

BOOL MainDialog::OnInitDialog() {
  m_resultList = GetDlgItem(m_hWnd, IDC_RESULT_LIST);

  if (HMENU menu = GetSystemMenu(m_hWnd, FALSE)) {
    char about[256] = {};
    if (LoadStringA(GetModuleHandleA(nullptr), IDS_ABOUTBOX, about, sizeof(about)) > 0) {
      AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
      AppendMenuA(menu, MF_STRING, IDM_ABOUTBOX, about);
    }
  }
  SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
  SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

  InitResultImages();
  InitResultList();
  tasks::BuildDiagnoseUnits(m_diagnoseUnits, m_findings);
  tasks::BuildRepairUnits(m_repairUnits, m_findings);
  m_exportCapturesHotfixList = tasks::ExportCapturesHotfixList();
  return TRUE;
}

void MainDialog::InitResultImages() {
  ImageList images(32, 32, ILC_COLOR32 | ILC_MASK, 0, 4);
  if (images.get() == nullptr) return;
  // In this order, so that they take the indexes of ResultImage.
  for (const int icon : {IDI_NORMAL_RESULT, IDI_WARNING_RESULT, IDI_ABNORMAL_RESULT}) {
    ImageList_AddIcon(images.get(), LoadAppIcon(icon));
  }
  SendMessageA(m_resultList, LVM_SETIMAGELIST, LVSIL_SMALL,
               reinterpret_cast<LPARAM>(images.release()));
}

void MainDialog::InitResultList() {
  SendMessageA(m_resultList, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
               LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
  InsertColumn(m_resultList, 0, "检查项", 280);
  InsertColumn(m_resultList, 1, "结果", 140);
}

void MainDialog::OnButtonClicked(int id) {
  switch (id) {
    case IDC_DIAGNOSE:
      OnDiagnose();
      break;
    case IDC_REPAIR:
      OnRepair();
      break;
    case IDC_EXPORT:
      OnExport();
      break;
    default:
      break;
  }
}

bool MainDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) != IDM_ABOUTBOX) return false;
      OnSysCommand(static_cast<UINT>(wParam));
      return true;
    case WM_PAINT:
      return OnPaint();
    case WM_QUERYDRAGICON:
      result = reinterpret_cast<LRESULT>(m_hIcon);
      return true;
    default:
      break;
  }
  if (message == WM_NOTIFY) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->idFrom != IDC_RESULT_LIST || header->code != NM_DBLCLK) return false;
    ShowRowDetails(reinterpret_cast<const NMITEMACTIVATE*>(lParam)->iItem);
    result = 0;
    return true;
  }
  if (message == tasks::WM_DIAGNOSE_RESULT || message == tasks::WM_REPAIR_RESULT) {
    OnUnitResult(static_cast<int>(wParam), static_cast<int>(lParam));
    result = 0;
    return true;
  }
  return false;
}

void MainDialog::OnSysCommand(UINT) {
  AboutDialog about(m_hWnd);
  about.DoModal();
}

bool MainDialog::OnPaint() {
  if (!IsIconic(m_hWnd)) return false;  // the dialog paints itself
  PaintDc dc(m_hWnd);
  SendMessageA(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.get()), 0);
  const int iconWidth = GetSystemMetrics(SM_CXICON);
  const int iconHeight = GetSystemMetrics(SM_CYICON);
  RECT client{};
  GetClientRect(m_hWnd, &client);
  const int x = (client.right - client.left - iconWidth + 1) / 2;
  const int y = (client.bottom - client.top - iconHeight + 1) / 2;
  DrawIcon(dc.get(), x, y, m_hIcon);
  return true;
}

void MainDialog::RunProgress(const tasks::UnitList& units) {
  ProgressDialog progress(m_hWnd, units);
  progress.DoModal();
}

void MainDialog::OnDiagnose() {
  SendMessageA(m_resultList, LVM_DELETEALLITEMS, 0, 0);
  tasks::ResetDiagnoseResults(m_diagnoseUnits);
  RunProgress(m_diagnoseUnits);
}

void MainDialog::OnRepair() {
  SendMessageA(m_resultList, LVM_DELETEALLITEMS, 0, 0);
  tasks::ResetDiagnoseResults(m_diagnoseUnits);
  RunProgress(m_repairUnits);
}

void MainDialog::OnExport() {
  platform::DebugTrace("export dignose Info.");
  tasks::RunExport(
      m_exportCapturesHotfixList, [this](const tasks::UnitList& units) { RunProgress(units); },
      m_hWnd);
}

void MainDialog::OnUnitResult(int index, int result) {
  tasks::HandleUnitResult(m_diagnoseUnits, m_repairUnits, index, result,
                          [this] { RefreshResultList(); });
}

void MainDialog::OnOK() {
  if (GetFocus() != m_resultList) {
    Dialog::OnOK();
    return;
  }
  const int selected = static_cast<int>(
      SendMessageA(m_resultList, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  ShowRowDetails(selected);
}

void MainDialog::ShowRowDetails(int item) {
  const std::string details = tasks::ResultRowDetails(m_diagnoseUnits, item, *m_findings);
  if (details.empty()) return;
  MessageBoxA(m_hWnd, details.c_str(), "详细信息", MB_OK | MB_ICONINFORMATION);
}

void MainDialog::RefreshResultList() {
  const auto rows = tasks::MakeResultRows(m_diagnoseUnits);
  SendMessageA(m_resultList, LVM_DELETEALLITEMS, 0, 0);
  for (const tasks::ResultRow& row : rows) {
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = row.item;
    item.pszText = const_cast<char*>(row.text.c_str());
    item.iImage = row.image;
    SendMessageA(m_resultList, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    LVITEMA sub{};
    sub.iSubItem = 1;
    sub.pszText = const_cast<char*>(row.resultText.c_str());
    SendMessageA(m_resultList, LVM_SETITEMTEXTA, static_cast<WPARAM>(row.item),
                 reinterpret_cast<LPARAM>(&sub));
  }
}

}  // namespace app
