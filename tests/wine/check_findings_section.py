#!/usr/bin/env python3
"""Checks the findings of an archive that vantik.exe exported under Wine from the prefix that
client_findings_prepare seeded, after the dialog's repair had started the client's service, as
the bytes of code page 936.

    check_findings_section.py ARCHIVE

The findings section lists the seeded proxy and hosts findings, whole and in row order, with
their evidence; it no longer holds the service's row, as the report is judged when it is made
and the service then runs, which the client section says too; the client's other rows are
judged, as its service makes it installed. Prints one PASS or FAIL line per check and exits 0
only when every check passed.
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from check_export_archive import check_log_sections, excerpt  # noqa: E402

FINDINGS = 8
CLIENT = 6


def gbk(text):
    return text.encode("gbk")


def finding(row, key, title, severity, breaks_vpn, meaning, evidence, next_step):
    """A finding as the section writes it, with the empty line that closes it."""
    return gbk(f"检查项：{row}\r\n[{key}] {title}\r\n严重程度：{severity}\r\n"
               f"影响VPN连接：{breaks_vpn}\r\n说明：{meaning}\r\n依据：{evidence}\r\n"
               f"下一步：{next_step}\r\n\r\n")


PROXY = finding(
    "检查浏览器代理设置是否正常", "proxy_without_local_bypass", "代理未绕过本地地址", "警告", "是",
    "已启用代理，但代理例外中没有<local>，本地流量也会交给代理。",
    "ProxyEnable=1; ProxyServer=proxy.tovra-test.example:3128; "
    "ProxyOverride=*.tovra-test.example;10.*",
    "在Internet选项的局域网设置中勾选“对于本地地址不使用代理服务器”，或关闭代理。")
HOSTS = finding(
    "检查HOSTS文件是否正常", "hosts_redirects_names", "HOSTS文件改写了域名", "警告", "否",
    "HOSTS文件中有localhost以外的条目，这些域名不会通过DNS解析。",
    "gateway.tovra-test.example -> 10.20.30.40, vpn.tovra-test.example -> 10.20.30.40",
    "请确认这些条目是否需要，删除不需要的条目。")
SERVICE_ROW = gbk("检查项：检查Tovra客户端服务是否正常\r\n")
ADAPTER_MISSING = gbk("检查项：检查Tovra虚拟网卡是否正常\r\n[virtual_adapter_missing] ")
SERVICE_RUNNING = gbk("\r\nQuorv服务已安装，并启动!\r\n")


def check_sections(checks, parts):
    findings = parts[FINDINGS]
    proxy_at = findings.find(PROXY)
    hosts_at = findings.find(HOSTS)
    checks.expect(proxy_at >= 0, "FINDINGS lists the proxy without a local bypass, whole",
                  f"at byte {proxy_at}" if proxy_at >= 0 else repr(findings))
    checks.expect(hosts_at >= 0, "FINDINGS lists the names that the hosts file redirects, whole",
                  f"at byte {hosts_at}" if hosts_at >= 0 else repr(findings))
    checks.expect(0 <= proxy_at < hosts_at, "the proxy's row comes before the hosts file's",
                  f"proxy at {proxy_at}, hosts at {hosts_at}")
    checks.expect(SERVICE_ROW not in findings, "FINDINGS has nothing on the running service",
                  excerpt(findings, 400))
    checks.expect(findings.startswith(ADAPTER_MISSING),
                  "FINDINGS starts with the adapter's row, which an installed client shows",
                  excerpt(findings))
    checks.expect(SERVICE_RUNNING in parts[CLIENT], "TOVRA CLIENT says the service runs",
                  repr(parts[CLIENT]))


if __name__ == "__main__":
    sys.exit(check_log_sections(sys.argv, __doc__, "findings", check_sections))
