#!/usr/bin/env python3
"""Checks the network, browser, client and hosts sections of an exported Vantik.log, as bytes.

    check_network_sections.py ARCHIVE

The prefix was seeded by network_sections_prepare; network_sections_after copied the prefix's
hosts file, with its times, into $VANTIK_NETWORK_OUT. The log's text is code page 936. Prints one
PASS or FAIL line per check and exits 0 only when every check passed.
"""

import os
import re
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from check_export_archive import check_log_sections, excerpt  # noqa: E402


def gbk(text):
    return text.encode("gbk")


USER_AGENT = b"Mozilla/4.0 (compatible; MSIE 8.0; Win32)"
DEFAULTS = b"Compatible : default\r\nVersion : default\r\nPlatform : default\r\n"
BROWSER = (
    gbk("IE版本： ") + USER_AGENT + b"\r\n"
    b"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\5.0"
    b"\\User Agent:\r\n" + DEFAULTS +
    b"HKEY_CURRENT_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\5.0"
    b"\\User Agent\r\n" + DEFAULTS +
    gbk("使用自动配置脚本： http://wpad.vantik.test/wpad.dat\r\n"
        "代理服务器： proxy.vantik.test:8080\r\n"
        "代理例外： <local>;*.vantik.test\r\n"
        "通过代理连接使用 HTTP1.1： 否\r\n\r\n"
        "浏览器辅助对象（BHO）：\r\nVantik Helper 1;\r\nVantik Helper 2;\r\n"
        "\r\n工具栏额外项：\r\nVantik Button;\r\n"))

# A prefix without the client: Wine has no Winsock catalog and its name-space enumeration is a
# stub, so both provider lines say "installed abnormally".
CLIENT = gbk(
    "端口转发：\r\nSPI 安装异常\r\nNSP 安装异常\r\nkavrel.dll版本： \r\ntesnob.dll版本： \r\n"
    "\r\n网络扩展：\r\nQuorv服务未安装!\r\nTovra虚拟网卡未安装!\r\n虚拟网卡名称：MirrelDrv\r\n"
    "\r\nQuorvService版本： \r\nPexamo版本： \r\n虚拟网卡驱动：MirrelDrv.sys\r\n"
    "虚拟网卡驱动版本： \r\n")

ROUTE_HEADING = gbk("目的地址          子网掩码          网关          接口          跃点数\r\n")
ADDRESS = rb"(?:\d{1,3}\.){3}\d{1,3}"
# Three columns padded to 15 and a gap; the first with a wider gap.
ROUTE_ROW = re.compile(rb"(" + ADDRESS + rb") {3,}(" + ADDRESS + rb") {2,}(" + ADDRESS +
                       rb") {2,}(" + ADDRESS + rb") {2,}(-?\d+)")
MAC = rb"(?:[0-9A-F]{2}(?:-[0-9A-F]{2})*)?"
DISCONNECTED = re.compile(rb"[^\r\n]*\r\nMAC " + gbk("地址") + b": " + MAC + b"\r\n" +
                          gbk("媒体: 已断开连接") + rb"\r\n\r\n")
CONNECTED = re.compile(
    rb"[^\r\n]*\r\nMAC " + gbk("地址") + b": " + MAC + rb"\r\nIP  " + gbk("地址") +
    rb":((?:" + ADDRESS + rb"\(" + ADDRESS + rb"\)  )+)\r\n" + gbk("默认网关地址") + rb": (?:" +
    ADDRESS + rb")?\r\nDHCP (?:" + gbk("已启用") + rb": [^\r\n]*|: " + gbk("未启用") + rb")\r\n" +
    gbk("首选WINS服务器") + rb": [^\r\n]*\r\n" + gbk("备用WINS服务器") + rb": [^\r\n]*\r\n(?:" +
    gbk("首选DNS服务器") + rb": " + ADDRESS + rb"\r\n)?(?:" + gbk("备用DNS服务器") + rb": " +
    ADDRESS + rb"\r\n)?\r\n")


def check_adapters(checks, text):
    """The adapter blocks one after another; returns the first address of each connected one."""
    addresses = []
    position = 0
    blocks = 0
    while position < len(text):
        match = CONNECTED.match(text, position) or DISCONNECTED.match(text, position)
        if not checks.expect(match is not None, f"adapter block {blocks + 1} is well formed",
                             excerpt(text[position:])):
            return addresses
        if match.re is CONNECTED:
            addresses.append(match.group(1).split(b"(")[0])
        position = match.end()
        blocks += 1
    checks.expect(blocks > 0, "the adapter section lists the prefix's adapters", f"{blocks}")
    return addresses


def check_routes(checks, text, addresses):
    checks.expect(text.startswith(ROUTE_HEADING), "route heading", excerpt(text, 90))
    lines = text[len(ROUTE_HEADING):].split(b"\r\n")
    checks.expect(lines[-1] == b"", "every route line ends in CR LF", excerpt(lines[-1]))
    rows = lines[:-1]
    checks.expect(len(rows) > 0, "the route table lists the prefix's routes", f"{len(rows)} rows")
    named = 0
    for row in rows:
        match = ROUTE_ROW.fullmatch(row)
        if not checks.expect(match is not None, "route line has five columns", excerpt(row)):
            continue
        # Each column of the first four is padded to its width; the metric follows directly.
        widths_ok = (row[:18].rstrip() == match.group(1) and row[18:35].rstrip() == match.group(2)
                     and row[35:52].rstrip() == match.group(3) and
                     row[52:69].rstrip() == match.group(4))
        checks.expect(widths_ok, "route columns are 18, 17, 17 and 17 wide", excerpt(row))
        interface = match.group(4)
        checks.expect(interface in addresses or interface in (b"0.0.0.0", b"127.0.0.1"),
                      "route interface is an address the adapter section lists",
                      f"{interface!r} among {addresses!r}")
        named += interface in addresses
    if addresses:
        checks.expect(named > 0, "some route leaves through a listed adapter's address",
                      f"{named} of {len(rows)}")


def text_mode(data):
    """What reading in text mode delivers: Ctrl-Z ends it and CR LF becomes LF."""
    return data.split(b"\x1a")[0].replace(b"\r\n", b"\n")


def local_time_line(label, seconds):
    parts = time.localtime(seconds)
    return gbk(label) + gbk(time.strftime("%Y年%m月%d日   %H:%M:%S", parts)) + b"\r\n"


def check_hosts(checks, text, copy):
    with open(copy, "rb") as f:
        data = f.read()
    status = os.stat(copy)
    head = (b"C:\\windows\\system32\\drivers\\etc\\hosts\r\n" + gbk("大小：") +
            str(len(data)).encode() + gbk("字节") + b"\r\n")
    checks.expect(text.startswith(head), "hosts path and size lines", excerpt(text, 90))
    lines = text[len(head):].split(b"\r\n", 3)
    checks.expect(re.fullmatch(gbk("创建：") + rb"\d{4}" + gbk("年") + rb"\d\d" + gbk("月") +
                               rb"\d\d" + gbk("日") + rb"   \d\d:\d\d:\d\d", lines[0]) is not None,
                  "hosts creation time line", excerpt(lines[0]))
    written = local_time_line("修改：", status.st_mtime)
    checks.expect(lines[1] + b"\r\n" == written, "hosts write time in local time",
                  f"{lines[1]!r}, expected {written!r}")
    separator = b"\r\n" + b"+" * 42 + b"\r\n"
    tail = gbk("属性：存档 ") + separator + text_mode(data).replace(b"\n", b"\r\n")
    checks.expect(text.endswith(tail), "hosts attributes, separator and content",
                  f"{excerpt(text[-len(tail) - 10:])}, expected end {excerpt(tail)}")


def check_sections(checks, parts):
    _system, _software, _process, browser, route, adapter, client, hosts, _findings, _captures = parts
    checks.expect(browser == BROWSER, "IE BROWER INFO as seeded",
                  f"{excerpt(browser, 400)}, expected {excerpt(BROWSER, 400)}")
    addresses = check_adapters(checks, adapter)
    check_routes(checks, route, addresses)
    checks.expect(client == CLIENT, "TOVRA CLIENT of a workstation without the client",
                  f"{excerpt(client, 400)}")
    check_hosts(checks, hosts, os.path.join(os.environ["VANTIK_NETWORK_OUT"], "hosts"))


if __name__ == "__main__":
    sys.exit(check_log_sections(sys.argv, __doc__, "section", check_sections))
