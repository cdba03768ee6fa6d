#include "tests/cli/json_reader.h"

#include <sstream>

#include "tests/support/shell_command.h"

namespace {

// Records of "path NUL value NUL": a string leaf as "s:" and its text, any other leaf as
// JSON text, an array's length under "path.#".
constexpr char kReader[] = R"(import json, sys
data = open(sys.argv[1], 'rb').read()
document = json.loads(data.decode('utf-8'))
records = []
def walk(node, path):
    if isinstance(node, dict):
        for key, value in node.items():
            walk(value, path + [key])
    elif isinstance(node, list):
        records.append(('.'.join(path + ['#']), str(len(node))))
        for index, value in enumerate(node):
            walk(value, path + [str(index)])
    elif isinstance(node, str):
        records.append(('.'.join(path), 's:' + node))
    else:
        records.append(('.'.join(path), json.dumps(node)))
walk(document, [])
out = b''.join(p.encode('utf-8') + b'\0' + v.encode('utf-8') + b'\0' for p, v in records)
sys.stdout.buffer.write(out)
)";

}  // namespace

std::string JsonFields::operator[](const std::string& path) const {
  const auto found = values.find(path);
  return found != values.end() ? found->second : "(absent)";
}

JsonFields ReadJson(const std::string& document) {
  JsonFields fields;
  ScratchFolder folder;
  if (!folder.ok()) {
    fields.error = "mkdtemp failed";
    return fields;
  }
  const std::string documentPath = folder.Write("document.json", document);
  const std::string scriptPath = folder.Write("read.py", kReader);
  const auto [output, status] = RunShellCommand("python3 " + scriptPath + " " + documentPath);
  fields.parsed = status == 0;
  if (!fields.parsed) {
    fields.error = output;
    return fields;
  }
  std::istringstream records(output);
  std::string path;
  std::string value;
  while (std::getline(records, path, '\0') && std::getline(records, value, '\0')) {
    fields.values[path] = value;
  }
  return fields;
}

std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

std::string JsonString(const char8_t* text) { return "s:" + Utf8(text); }

std::string JsonString(const std::string& utf8) { return "s:" + utf8; }
