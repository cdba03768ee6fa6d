// The simulated version resources: by file path, each with its file version and the size of
// its resource.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/file_version.h"

namespace platform::sim {

class FileVersions {
 public:
  // The file at `path` (ASCII case ignored) has a version resource of `resourceSize` bytes
  // (at least 32) holding `version`. Its fixed information lies at the resource's end, so a
  // reader given fewer bytes than the resource has never finds it.
  FileVersions& Set(std::string_view path, FixedFileVersion version,
                    std::uint32_t resourceSize = 1024);
  // The file has a version resource without fixed information.
  FileVersions& SetWithoutFixedInfo(std::string_view path, std::uint32_t resourceSize = 1024);
  // Reading the resource of `path` fails even though its size is known.
  FileVersions& FailRead(std::string_view path);

  // The backend's side.
  std::uint32_t Size(const char* path) const;
  bool Read(const char* path, std::uint32_t size, void* buffer) const;
  static bool QueryFixed(const void* resource, FixedFileVersion* version);

 private:
  struct Resource {
    std::string bytes;
    bool readFails = false;
  };

  mutable std::mutex mutex_;
  std::map<std::string, Resource> resources_;  // by folded path
};

}  // namespace platform::sim
