// Reads a JSON document with a reader we did not write, python3's json module, strictly: one
// document, UTF-8 without a byte-order mark.
#pragma once

#include <map>
#include <string>
#include <vector>

struct JsonFields {
  bool parsed = false;
  std::string error;  // what python said when it could not read the document
  // Each leaf by its path of keys and indexes ("checks.0.state"): a string as "s:" followed
  // by its text in UTF-8 ("s:abnormal"), anything else as JSON text ("1", "true", "null");
  // each array's length under its path and "#" ("checks.#").
  std::map<std::string, std::string> values;

  // The leaf at `path`, or "(absent)".
  std::string operator[](const std::string& path) const;
};

JsonFields ReadJson(const std::string& document);
// Many documents with one run of python3: for a test that reads thousands.
std::vector<JsonFields> ReadJsonDocuments(const std::vector<std::string>& documents);

// A UTF-8 string from a u8 literal: the sources' narrow literals are code page 936.
std::string Utf8(const char8_t* text);
// A string leaf as ReadJson gives it.
std::string JsonString(const char8_t* text);
std::string JsonString(const std::string& utf8);
