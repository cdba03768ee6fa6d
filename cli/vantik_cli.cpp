// The console program's entry: the dialog program's start-up safety, then one command.
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "cli/cli_program.h"
#include "platform/code_page.h"
#include "platform/console.h"
#include "platform/win32/dll_search.h"
#include "platform/win32/error_mode.h"

// Run from a script, often with rights and from a Downloads folder: no planted DLL may be left a
// way in (platform/win32/dll_search.h), and no system error box may wait for a click nobody
// gives.
int main(int argc, char** argv) {
  platform::win32::KeepSystemErrorDialogsAway();
  platform::win32::RemoveCurrentFolderFromDllSearch();
  const std::string redirection = platform::win32::FindLocalRedirection("vantik-cli.exe.local");
  if (!redirection.empty()) {
    (void)platform::WriteText(
        platform::StdStream::kError,
        platform::ToUtf8(platform::win32::LocalRedirectionRefusal(redirection),
                         platform::kCodePageGbk) +
            "\r\n");
    return cli::kExitFailed;
  }
  platform::win32::PreloadSystemLibraries();
  return cli::RunCli(std::vector<std::string>(argv + 1, argv + argc));
}
