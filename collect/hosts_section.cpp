#include "collect/hosts_section.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/folders.h"
#include "platform/text_file.h"

namespace collect {

namespace {

// The file is read as the C library reads text, 259 bytes at a time into a 260-byte buffer.
constexpr std::uint32_t kChunk = 259;

constexpr std::uint64_t kLargestHint = 256u << 20;

constexpr char kSeparator[] = "\r\n++++++++++++++++++++++++++++++++++++++++++\r\n";

// The years a time stamp of the report holds; a time outside them cannot be shown.
constexpr int kFirstYear = 1970;
constexpr int kLastYear = 3000;

bool IsZero(const platform::FileTime& time) { return time.low == 0 && time.high == 0; }

std::optional<platform::LocalTime> Local(const platform::FileTime& time) {
  platform::LocalTime local;
  if (!platform::ToLocalTime(time, &local)) return std::nullopt;
  return local;
}

// One time line: the label, the local date and time, and the line end; nothing at all when the
// time has no local form the report can show.
void AppendTimeLine(std::string& text, const char* label,
                    const std::optional<platform::LocalTime>& time) {
  if (!time || time->year < kFirstYear || time->year > kLastYear) return;
  const platform::LocalTime& local = *time;
  char line[128];
  std::snprintf(line, sizeof(line), "%s%d年%02d月%02d日   %02d:%02d:%02d\r\n", label, local.year,
                local.month, local.day, local.hour, local.minute, local.second);
  text += line;
}

}  // namespace

std::string FormatHostsStatus(const std::string& path, const HostsStatus& status) {
  std::string text = path;
  char size[64];
  std::snprintf(size, sizeof(size), "\r\n大小：%d字节\r\n",
                static_cast<std::int32_t>(static_cast<std::uint32_t>(status.size)));
  text += size;
  AppendTimeLine(text, "创建：", status.created);
  AppendTimeLine(text, "修改：", status.modified);
  AppendTimeLine(text, "访问：", status.accessed);
  text += "属性：";
  if ((status.attributes & platform::kAttributeReadOnly) != 0) text += "只读 ";
  if ((status.attributes & platform::kAttributeHidden) != 0) text += "隐藏 ";
  if ((status.attributes & platform::kAttributeArchive) != 0) text += "存档 ";
  if ((status.attributes & platform::kAttributeSystem) != 0) text += "系统文件 ";
  return text;
}

void AppendWithCrLf(std::string& out, const char* text, std::size_t length) {
  const char* end = text + length;
  while (text < end) {
    const auto* lf = static_cast<const char*>(std::memchr(text, '\n', end - text));
    if (lf == nullptr) {
      out.append(text, end);
      return;
    }
    out.append(text, lf);
    out += "\r\n";
    text = lf + 1;
  }
}

std::string HostsFilePath() {
  char folder[260];
  const std::uint32_t length = platform::GetSystemFolder(folder, sizeof(folder));
  // Without the system folder there is no hosts file to show: a path made of the rest would
  // name another file.
  if (length == 0 || length >= sizeof(folder)) return {};
  return std::string(folder, length) + "\\drivers\\etc\\hosts";
}

HostsSection GatherHostsSection() {
  HostsSection section;
  section.path = HostsFilePath();
  if (section.path.empty()) return section;

  platform::FileStatus status;
  if (platform::GetFileStatus(section.path.c_str(), &status)) {
    // A time the file system does not keep is shown as the last write.
    section.status = HostsStatus{
        status.size, Local(IsZero(status.creation) ? status.lastWrite : status.creation),
        Local(status.lastWrite),
        Local(IsZero(status.lastAccess) ? status.lastWrite : status.lastAccess), status.attributes};
  }

  platform::TextFile file;
  if (!file.Open(section.path.c_str())) return section;
  std::string& content = section.content.emplace();
  // Only a hint: a file past the hint's bound simply grows the text.
  if (section.status && section.status->size <= kLargestHint) content.reserve(section.status->size);
  char chunk[kChunk + 1];
  for (;;) {
    const std::uint32_t read = file.Read(chunk, kChunk);
    chunk[read] = '\0';
    // A zero byte ends what is kept of its chunk; reading goes on with the next one.
    content.append(chunk, std::strlen(chunk));
    if (read != kChunk) break;
  }
  return section;
}

std::string RenderHostsSection(const HostsSection& section) {
  std::string hosts;
  if (section.status) hosts = FormatHostsStatus(section.path, *section.status);
  if (!section.content) return hosts;
  // Room for the content with its lines made longer by their CR, so that a file of common lines
  // is copied once.
  hosts.reserve(hosts.size() + sizeof(kSeparator) + section.content->size() +
                section.content->size() / 8);
  hosts += kSeparator;
  AppendWithCrLf(hosts, section.content->data(), section.content->size());
  return hosts;
}

}  // namespace collect
