// One export's own folder under the temporary folder. Each run writes its log and captures
// there, so that a command still running from an abandoned export, a second copy of the program
// or another program holding a file in the temporary folder never meets this run's files.
//
// The folder holds a lock file that the run keeps open for as long as it lasts. A later run
// that can open the lock takes the folder for one that no run uses any more, and clears it:
// that is how what a command of an abandoned run still held goes once it is free.
#pragma once

#include <memory>
#include <string>

#include "platform/files.h"

namespace report {

class RunFolder {
 public:
  // Clears the folders that earlier runs left under `tempFolder`, then makes this run's own.
  // ERROR_SUCCESS with the run in *run, or the Windows code of making it.
  static long Start(const std::string& tempFolder, std::shared_ptr<RunFolder>* run);

  // The folder goes, with everything in it; what another program still holds stays, with the
  // lock file, for a later run to clear.
  ~RunFolder();
  RunFolder(const RunFolder&) = delete;
  RunFolder& operator=(const RunFolder&) = delete;

  // With its trailing backslash.
  const std::string& folder() const { return folder_; }

 private:
  RunFolder(std::string folder, platform::File lock);

  const std::string folder_;
  platform::File lock_;
};

// Clears the folders of earlier runs under `tempFolder` that no run holds.
void RemoveLeftoverRuns(const std::string& tempFolder);

}  // namespace report
