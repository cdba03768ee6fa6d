// The virtual adapter's TCP/IP binding check on the simulated workstation.
#include "collect/adapter_binding.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/sim/workstation.h"
#include "platform/win32_codes.h"

namespace {

using namespace collect;

using platform::RegRoot;
using platform::sim::RegCall;
using platform::sim::Registry;
using platform::sim::RegValue;

const std::string kClass =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}";

std::string Entry(const std::string& number) { return kClass + "\\" + number; }
std::string Linkage(const std::string& number) { return Entry(number) + "\\Linkage"; }

// A REG_MULTI_SZ list as the registry holds it.
std::string List(const std::vector<std::string>& elements) {
  std::string data;
  for (const std::string& element : elements) data += element + '\0';
  return data + '\0';
}

// An adapter class entry with its four identity values and an empty Linkage key.
void AddEntry(Registry& r, const std::string& number, const std::string& lowerRange = "ethernet",
              const std::string& componentId = "MirrelDrv",
              const std::string& description = "Mirrel Adapter V1.0") {
  r.SetString(RegRoot::kLocalMachine, Entry(number) + "\\Ndi\\Interfaces", "LowerRange",
              lowerRange);
  r.SetString(RegRoot::kLocalMachine, Entry(number), "ComponentId", componentId);
  r.SetString(RegRoot::kLocalMachine, Entry(number), "DriverDesc", description);
  r.SetString(RegRoot::kLocalMachine, Entry(number), "NetCfgInstanceId", "{5A1C0E7D-0000}");
  r.AddKey(RegRoot::kLocalMachine, Linkage(number));
}

void SetBinding(Registry& r, const std::string& number, const std::string& data,
                std::uint32_t type = REG_MULTI_SZ) {
  r.SetValue(RegRoot::kLocalMachine, Linkage(number), "UpperBind", type, data);
}

struct BindingCase {
  const char* name;
  std::function<void(Registry&)> setUp;
  int result;
  std::optional<RegValue> bindingAfter;  // of entry 0000; nullopt: absent
  int writes;
};

void PrintTo(const BindingCase& c, std::ostream* os) { *os << c.name; }

RegValue Bound(const std::vector<std::string>& elements) {
  return RegValue{REG_MULTI_SZ, List(elements)};
}

// Protocols bound beside TCP/IP on a real system, more than 256 bytes of them.
std::vector<std::string> ManyProtocols() {
  std::vector<std::string> protocols;
  for (int i = 0; i < 30; ++i) protocols.push_back("Protocol" + std::to_string(i));
  return protocols;
}

std::vector<std::string> WithTcpip(std::vector<std::string> elements) {
  elements.emplace_back("Tcpip");
  return elements;
}

const BindingCase kCases[] = {
    {"MissingListGetsTcpip", [](Registry& r) { AddEntry(r, "0000"); }, 0, Bound({"Tcpip"}), 1},
    {"OtherProtocolsAreKeptAndTcpipAdded",
     [](Registry& r) {
       AddEntry(r, "0000");
       SetBinding(r, "0000", List({"NdisWan", "PSched"}));
     },
     0, Bound({"NdisWan", "PSched", "Tcpip"}), 1},
    {"ListLongerThan256BytesIsReadWholeAndKept",
     [](Registry& r) {
       AddEntry(r, "0000");
       SetBinding(r, "0000", List(ManyProtocols()));
     },
     0, Bound(WithTcpip(ManyProtocols())), 1},
    {"TcpipInAnyCaseIsBound",
     [](Registry& r) {
       AddEntry(r, "0000");
       SetBinding(r, "0000", List({"NdisWan", "TCPIP"}));
     },
     1, Bound({"NdisWan", "TCPIP"}), 0},
    {"TcpipAfterMoreThan256BytesIsFound",
     [](Registry& r) {
       AddEntry(r, "0000");
       SetBinding(r, "0000", List(WithTcpip(ManyProtocols())));
     },
     1, Bound(WithTcpip(ManyProtocols())), 0},
    {"EmptyListGetsTcpip",
     [](Registry& r) {
       AddEntry(r, "0000");
       SetBinding(r, "0000", std::string(2, '\0'));
     },
     0, Bound({"Tcpip"}), 1},
    {"LastElementWithoutItsZeroIsKept",
     [](Registry& r) {
       AddEntry(r, "0000");
       SetBinding(r, "0000", std::string("NdisWan\0PSched", 14));
     },
     0, Bound({"NdisWan", "PSched", "Tcpip"}), 1},
    {"SingleTextValueBecomesAList",
     [](Registry& r) {
       AddEntry(r, "0000");
       SetBinding(r, "0000", std::string("NdisWan\0", 8), REG_SZ);
     },
     0, Bound({"NdisWan", "Tcpip"}), 1},
    {"UnreadableListIsLeftAlone",
     [](Registry& r) {
       AddEntry(r, "0000");
       SetBinding(r, "0000", List({"NdisWan"}));
       r.Fail(RegCall::kQueryValue, ERROR_ACCESS_DENIED, Linkage("0000"), "UpperBind");
     },
     0, Bound({"NdisWan"}), 0},
    // A value of another type holds no usable list, whatever its bytes: TCP/IP alone.
    {"NumberIsReplacedWithTcpip",
     [](Registry& r) {
       AddEntry(r, "0000");
       SetBinding(r, "0000", std::string("\x01\0\0\0", 4), REG_DWORD);
     },
     0, Bound({"Tcpip"}), 1},
    {"BinaryThatReadsAsAListWithTcpipIsReplaced",
     [](Registry& r) {
       AddEntry(r, "0000");
       SetBinding(r, "0000", List({"NdisWan", "Tcpip"}), REG_BINARY);
     },
     0, Bound({"Tcpip"}), 1},
    {"ExpandableTextIsReplacedWithTcpip",
     [](Registry& r) {
       AddEntry(r, "0000");
       SetBinding(r, "0000", std::string("NdisWan\0", 8), REG_EXPAND_SZ);
     },
     0, Bound({"Tcpip"}), 1},
    {"LowerRangeInOtherCaseQualifies", [](Registry& r) { AddEntry(r, "0000", "Ethernet"); }, 0,
     Bound({"Tcpip"}), 1},
    {"TolmardLowerRangeQualifies", [](Registry& r) { AddEntry(r, "0000", "TOLMARD"); }, 0,
     Bound({"Tcpip"}), 1},
    {"ComponentIdInOtherCaseQualifies",
     [](Registry& r) { AddEntry(r, "0000", "ethernet", "mirreldrv", "MIRREL ADAPTER V1.0"); }, 0,
     Bound({"Tcpip"}), 1},
    {"OtherLowerRangeIsNotTheAdapter", [](Registry& r) { AddEntry(r, "0000", "ethernet,wan"); }, 0,
     std::nullopt, 0},
    {"OtherComponentIsNotTheAdapter", [](Registry& r) { AddEntry(r, "0000", "ethernet", "e1000"); },
     0, std::nullopt, 0},
    {"OtherDriverIsNotTheAdapter",
     [](Registry& r) { AddEntry(r, "0000", "ethernet", "MirrelDrv", "Mirrel Adapter V2.0"); }, 0,
     std::nullopt, 0},
    {"MissingInstanceIdIsNotTheAdapter",
     [](Registry& r) {
       AddEntry(r, "0000");
       r.Fail(RegCall::kQueryValue, ERROR_FILE_NOT_FOUND, Entry("0000"), "NetCfgInstanceId");
     },
     0, std::nullopt, 0},
    {"IdentityStoredAsOtherTypeIsNotTheAdapter",
     [](Registry& r) {
       AddEntry(r, "0000");
       r.SetString(RegRoot::kLocalMachine, Entry("0000"), "ComponentId", "MirrelDrv",
                   REG_EXPAND_SZ);
     },
     0, std::nullopt, 0},
    {"EntryWithoutLinkageKeyIsSkipped",
     [](Registry& r) {
       AddEntry(r, "0000");
       r.DenyOpen(RegRoot::kLocalMachine, Linkage("0000"), ERROR_FILE_NOT_FOUND);
     },
     0, std::nullopt, 0},
    {"EveryMatchingEntryIsPutRight",
     [](Registry& r) {
       r.AddKey(RegRoot::kLocalMachine, Entry("Properties"));
       AddEntry(r, "0000");
       AddEntry(r, "0001", "ethernet", "e1000", "Intel PRO/1000");
       AddEntry(r, "0002");
       SetBinding(r, "0002", List({"NdisWan"}));
     },
     0, Bound({"Tcpip"}), 2},
    {"FirstBoundEntryEndsTheWalk",
     [](Registry& r) {
       AddEntry(r, "0000");
       SetBinding(r, "0000", List({"Tcpip"}));
       AddEntry(r, "0001");
     },
     1, Bound({"Tcpip"}), 0},
    {"NoAdapterClassKey", [](Registry&) {}, 0, std::nullopt, 0},
};

class VirtualAdapterBinding : public ::testing::TestWithParam<BindingCase> {};

TEST_P(VirtualAdapterBinding, KeepsTheListAndAddsTcpip) {
  const BindingCase& c = GetParam();
  platform::sim::Workstation ws;
  c.setUp(ws.registry());
  EXPECT_EQ(EnsureVirtualAdapterBinding("MirrelDrv"), c.result);
  EXPECT_EQ(ws.registry().Value(RegRoot::kLocalMachine, Linkage("0000"), "UpperBind"),
            c.bindingAfter);
  EXPECT_EQ(ws.registry().WriteCount(), c.writes);
  EXPECT_EQ(ws.registry().OpenKeyCount(), 0) << "every key closed";
}

INSTANTIATE_TEST_SUITE_P(Cases, VirtualAdapterBinding, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(VirtualAdapterBindingRuns, SecondRunFindsTcpipAndWritesNothing) {
  platform::sim::Workstation ws;
  AddEntry(ws.registry(), "0000");
  SetBinding(ws.registry(), "0000", List({"NdisWan"}));
  EXPECT_EQ(EnsureVirtualAdapterBinding("MirrelDrv"), 0);
  EXPECT_EQ(ws.registry().WriteCount(), 1);
  EXPECT_EQ(EnsureVirtualAdapterBinding("MirrelDrv"), 1);
  EXPECT_EQ(ws.registry().WriteCount(), 1);
}

TEST(VirtualAdapterBindingRuns, NullIdLooksAtNothing) {
  platform::sim::Workstation ws;
  AddEntry(ws.registry(), "0000");
  EXPECT_EQ(EnsureVirtualAdapterBinding(nullptr), 0);
  EXPECT_EQ(ws.registry().WriteCount(), 0);
}

TEST(VirtualAdapterBindingRuns, ListLeftAloneSaysWhy) {
  platform::sim::Workstation ws;
  AddEntry(ws.registry(), "0000");
  SetBinding(ws.registry(), "0000", List({"NdisWan"}));
  ws.registry().Fail(RegCall::kQueryValue, ERROR_ACCESS_DENIED, Linkage("0000"), "UpperBind");
  EXPECT_EQ(EnsureVirtualAdapterBinding("MirrelDrv"), 0);
  EXPECT_EQ(ws.Traces(), std::vector<std::string>{
                             "UpperBind of adapter entry 0000 cannot be read, left alone\r\n"});
}

TEST(VirtualAdapterBindingRuns, ValueReplacedSaysWhy) {
  platform::sim::Workstation ws;
  AddEntry(ws.registry(), "0000");
  SetBinding(ws.registry(), "0000", std::string("\x01\0\0\0", 4), REG_DWORD);
  EXPECT_EQ(EnsureVirtualAdapterBinding("MirrelDrv"), 0);
  EXPECT_EQ(ws.Traces(),
            std::vector<std::string>{
                "UpperBind of adapter entry 0000 is not a list of names, replaced\r\n"});
}

// The component id is compared as code page 936 text: a double-byte character whose second byte
// is an ASCII letter matches only itself, never the character with that letter's other case.
TEST(VirtualAdapterBindingRuns, ComponentIdComparedCharacterByCharacter) {
  platform::sim::Workstation ws;
  AddEntry(ws.registry(), "0000", "ethernet",
           "\x81\x61"
           "Drv");  // 乤Drv: trail byte 'a'
  EXPECT_EQ(EnsureVirtualAdapterBinding("\x81\x41"
                                        "DRV"),
            0);  // 丄DRV: trail byte 'A'
  EXPECT_EQ(ws.registry().WriteCount(), 0);
  EXPECT_EQ(EnsureVirtualAdapterBinding("\x81\x61"
                                        "drv"),
            0);
  EXPECT_EQ(ws.registry().WriteCount(), 1);
}

}  // namespace
