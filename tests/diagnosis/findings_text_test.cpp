// The findings as the report's section and as a row's details: bytes of code page 936.
#include <gtest/gtest.h>

#include <string>

#include "diagnosis/findings_text.h"
#include "tests/support/hex.h"

namespace {

using namespace diagnosis;

const RowOutcome kHostsRedirect =
    OutcomeOf({{FindingId::kHostsRedirectsNames, "vpn.example.com -> 10.1.2.3"}});

TEST(FindingsSection, EachFindingWithItsRowSeverityEvidenceAndNextStep) {
  const std::string section = RenderFindingsSection({
      {RowId::kClientService, OutcomeOf({})},
      {RowId::kVirtualAdapter, HiddenOutcome()},
      {RowId::kNetworkConnection, FailedOutcome()},
      {RowId::kHostsFile, kHostsRedirect},
  });
  EXPECT_EQ(section,
            "检查项：检查网络连接是否正常\r\n"
            "此项所需的信息无法获取，请手动检查。\r\n"
            "\r\n"
            "检查项：检查HOSTS文件是否正常\r\n"
            "[hosts_redirects_names] HOSTS文件改写了域名\r\n"
            "严重程度：警告\r\n"
            "影响VPN连接：否\r\n"
            "说明：HOSTS文件中有localhost以外的条目，这些域名不会通过DNS解析。\r\n"
            "依据：vpn.example.com -> 10.1.2.3\r\n"
            "下一步：请确认这些条目是否需要，删除不需要的条目。\r\n"
            "\r\n");
  // 检查HOSTS文件是否正常, as code page 936 writes it.
  EXPECT_EQ(Hex(section.substr(section.find("HOSTS") - 4, 21)),
            "bcecb2e9484f535453cec4bcfecac7b7f1d5fdb3a3");
}

TEST(FindingsSection, OneLineWhenNothingWasFound) {
  const std::string section = RenderFindingsSection({
      {RowId::kClientService, OutcomeOf({})},
      {RowId::kVirtualAdapter, HiddenOutcome()},
      {RowId::kBrowserProxy, OutcomeOf({})},
  });
  EXPECT_EQ(Hex(section), "ceb4b7a2cfd6cecacce2a1a3" + Hex("\r\n"));  // 未发现问题。
}

TEST(RowDetails, FindingsOrNormalOrNotChecked) {
  EXPECT_EQ(RowDetailsText(RowId::kSystemClock, OutcomeOf({})),
            "检查系统时间是否正常\r\n\r\n此项正常，未发现问题。\r\n");
  EXPECT_EQ(RowDetailsText(RowId::kSystemDriveSpace, FailedOutcome()),
            "检查系统盘剩余空间是否充足\r\n\r\n此项所需的信息无法获取，请手动检查。\r\n");
  const std::string details =
      RowDetailsText(RowId::kClientService,
                     OutcomeOf({{FindingId::kClientServiceStopped, "QuorvService: stopped"}}));
  EXPECT_EQ(details,
            "检查Tovra客户端服务是否正常\r\n\r\n"
            "[client_service_stopped] Quorv服务未启动\r\n"
            "严重程度：错误\r\n"
            "影响VPN连接：是\r\n"
            "说明：客户端服务已停止，客户端无法建立连接。\r\n"
            "依据：QuorvService: stopped\r\n"
            "下一步：点击“一键修复”启动服务。\r\n"
            "\r\n");
}

// Information alone keeps a row normal; a warning or an error makes it abnormal.
TEST(RowResult, InformationAloneIsNormal) {
  EXPECT_EQ(OutcomeOf({{FindingId::kProxyAutoConfig, "x"}}).result, 0);
  EXPECT_EQ(
      OutcomeOf({{FindingId::kProxyAutoConfig, "x"}, {FindingId::kHostsUnreadable, "y"}}).result,
      1);
  EXPECT_EQ(OutcomeOf({{FindingId::kClockBehindFiles, "z"}}).result, 1);
}

}  // namespace
