#include "diagnosis/findings_text.h"

#include "checks/result_codes.h"

namespace diagnosis {

using namespace text;

namespace {

void AppendLabelled(std::string& text, TextId label, const std::string& value) {
  text += GetText(label);
  text += value;
  text += "\r\n";
}

void AppendFinding(std::string& text, const Finding& finding) {
  const FindingKind& kind = KindOf(finding.id);
  text += "[";
  text += kind.key;
  text += "] ";
  text += GetText(kind.title);
  text += "\r\n";
  AppendLabelled(text, TEXT_FINDING_SEVERITY, GetText(SeverityText(kind.severity)));
  AppendLabelled(text, TEXT_FINDING_BREAKS_VPN, GetText(kind.breaksVpn ? TEXT_YES : TEXT_NO));
  AppendLabelled(text, TEXT_FINDING_MEANING, GetText(kind.meaning));
  AppendLabelled(text, TEXT_FINDING_EVIDENCE, finding.evidence);
  AppendLabelled(text, TEXT_FINDING_NEXT_STEP, GetText(kind.nextStep));
}

}  // namespace

std::string RenderFindingsSection(const std::vector<RowReport>& reports) {
  std::string text;
  for (const RowReport& report : reports) {
    const RowOutcome& outcome = report.outcome;
    if (outcome.result == checks::RESULT_NOT_SHOWN) continue;
    if (outcome.result == checks::RESULT_FAILED) {
      AppendLabelled(text, TEXT_FINDING_ROW, GetText(RowTitle(report.row)));
      text += GetText(TEXT_ROW_NOT_CHECKED);
      text += "\r\n\r\n";
      continue;
    }
    for (const Finding& finding : outcome.findings) {
      AppendLabelled(text, TEXT_FINDING_ROW, GetText(RowTitle(report.row)));
      AppendFinding(text, finding);
      text += "\r\n";
    }
  }
  if (text.empty()) {
    text = GetText(TEXT_NO_FINDINGS);
    text += "\r\n";
  }
  return text;
}

std::string RowDetailsText(RowId row, const RowOutcome& outcome) {
  std::string text = GetText(RowTitle(row));
  text += "\r\n\r\n";
  if (outcome.result == checks::RESULT_FAILED) {
    text += GetText(TEXT_ROW_NOT_CHECKED);
    return text + "\r\n";
  }
  if (outcome.findings.empty()) {
    text += GetText(TEXT_ROW_NORMAL_DETAIL);
    return text + "\r\n";
  }
  for (const Finding& finding : outcome.findings) {
    AppendFinding(text, finding);
    text += "\r\n";
  }
  return text;
}

}  // namespace diagnosis
