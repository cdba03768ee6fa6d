#include "tests/cli/json_reader.h"

#include <sstream>

#include "tests/support/shell_command.h"

namespace {

// For each document, a record "\x01 NUL error NUL" (the error empty when it was read), then its
// records "path NUL value NUL": a string leaf as "s:" and its text, any other leaf as JSON
// text, an array's length under "path.#".
constexpr char kReader[] = R"(import json, sys
data = open(sys.argv[1], 'rb').read()
def walk(node, path, records):
    if isinstance(node, dict):
        for key, value in node.items():
            walk(value, path + [key], records)
    elif isinstance(node, list):
        records.append(('.'.join(path + ['#']), str(len(node))))
        for index, value in enumerate(node):
            walk(value, path + [str(index)], records)
    elif isinstance(node, str):
        records.append(('.'.join(path), 's:' + node))
    else:
        records.append(('.'.join(path), json.dumps(node)))
out = []
at = 0
while at < len(data):
    end = data.index(b'\n', at)
    size = int(data[at:end])
    document = data[end + 1:end + 1 + size]
    at = end + 1 + size
    records = []
    try:
        walk(json.loads(document.decode('utf-8')), [], records)
        records.insert(0, ('\x01', ''))
    except ValueError as error:
        records = [('\x01', str(error) or 'unreadable')]
    out += [p.encode('utf-8') + b'\0' + v.encode('utf-8') + b'\0' for p, v in records]
sys.stdout.buffer.write(b''.join(out))
)";

}  // namespace

std::string JsonFields::operator[](const std::string& path) const {
  const auto found = values.find(path);
  return found != values.end() ? found->second : "(absent)";
}

JsonFields ReadJson(const std::string& document) { return ReadJsonDocuments({document})[0]; }

std::vector<JsonFields> ReadJsonDocuments(const std::vector<std::string>& documents) {
  std::vector<JsonFields> read(documents.size());
  if (documents.empty()) return read;
  ScratchFolder folder;
  if (!folder.ok()) {
    for (JsonFields& fields : read) fields.error = "mkdtemp failed";
    return read;
  }
  // One file: each document's length in bytes and a line end, then the document.
  std::string all;
  for (const std::string& document : documents) {
    all += std::to_string(document.size()) + "\n" + document;
  }
  const auto [output, status] = RunShellCommand("python3 " + folder.Write("read.py", kReader) +
                                                " " + folder.Write("documents", all));
  std::istringstream records(output);
  std::string path;
  std::string value;
  std::size_t at = 0;  // the document of the records read, plus one
  while (std::getline(records, path, '\0') && std::getline(records, value, '\0')) {
    if (path == "\x01") {
      if (at == read.size()) break;
      read[at].parsed = value.empty();
      read[at].error = value;
      ++at;
    } else if (at > 0) {
      read[at - 1].values[path] = value;
    }
  }
  for (std::size_t i = at; i < read.size(); ++i) {
    read[i].error = status == 0 ? "python gave no record of it" : output;
  }
  return read;
}

std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

std::string JsonString(const char8_t* text) { return "s:" + Utf8(text); }

std::string JsonString(const std::string& utf8) { return "s:" + utf8; }
