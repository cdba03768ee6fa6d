#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include "platform/sim/workstation.h"

namespace {

using platform::sim::Files;
using platform::sim::ShellCall;
using platform::sim::ShellOutcome;

// cmd.exe as far as the tests use it: "exit N" ends with N; "echo TEXT>> "PATH"" appends the
// text and a line break to the file. Anything else is a test defect.
ShellOutcome Cmd(const ShellCall& call, Files& files) {
  std::string_view command = call.parameters;
  constexpr std::string_view kRun = " /C ";
  if (call.file != "cmd.exe" || command.substr(0, kRun.size()) != kRun) {
    ADD_FAILURE() << "unexpected command: " << call.file << call.parameters;
    return ShellOutcome{2, 0};  // SE_ERR_FNF: as a command that did not start
  }
  command.remove_prefix(kRun.size());
  constexpr std::string_view kExit = "exit ";
  constexpr std::string_view kEcho = "echo ";
  constexpr std::string_view kAppend = ">> \"";
  if (command.substr(0, kExit.size()) == kExit) {
    return ShellOutcome{
        42, static_cast<std::uint32_t>(std::stoul(std::string(command.substr(kExit.size()))))};
  }
  const std::size_t redirect = command.find(kAppend);
  if (command.substr(0, kEcho.size()) == kEcho && redirect != std::string_view::npos &&
      command.back() == '"') {
    const std::string_view text = command.substr(kEcho.size(), redirect - kEcho.size());
    const std::string_view path =
        command.substr(redirect + kAppend.size(), command.size() - redirect - kAppend.size() - 1);
    files.Append(path, std::string(text) + "\r\n");
    return ShellOutcome{42, 0};
  }
  ADD_FAILURE() << "unexpected command: " << call.parameters;
  return ShellOutcome{42, 1};
}

}  // namespace

struct TestFiles::Backend {
  platform::sim::Workstation workstation;
};

TestFiles::TestFiles() : backend_(std::make_unique<Backend>()) {
  backend_->workstation.shell().SetHandler(Cmd);
}

TestFiles::~TestFiles() = default;

std::string TestFiles::TempFolder() const {
  char folder[300] = {};
  const std::uint32_t length = backend_->workstation.files().TempFolder(folder, sizeof(folder));
  EXPECT_GT(length, 0u);
  EXPECT_LT(length, sizeof(folder));
  return folder;
}

void TestFiles::Write(std::string_view path, std::string_view bytes) {
  backend_->workstation.files().AddFile(path, bytes);
}

void TestFiles::SetWriteTime(std::string_view path, platform::FileTime utc) {
  const std::optional<std::string> bytes = Contents(path);
  ASSERT_TRUE(bytes) << "no file " << path;
  backend_->workstation.files().AddFile(path, *bytes, utc);
}

std::optional<std::string> TestFiles::Contents(std::string_view path) const {
  return backend_->workstation.files().Contents(path);
}

platform::FileTime TestFiles::LocalFromUtc(platform::FileTime utc) const {
  return utc;  // the simulated workstation keeps local time at UTC
}

std::optional<std::string> TestFiles::ContentsOnceHolding(std::string_view path, std::string_view,
                                                          int) const {
  return Contents(path);  // nothing runs on by itself here
}

std::string TestFiles::AbsentFolder(std::string_view path) {
  backend_->workstation.files().MissingFolder(path);
  return std::string(path);
}
