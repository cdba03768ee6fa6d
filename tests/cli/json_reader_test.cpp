// The reader that the console tests take JSON documents through: strict about what one document
// is, and many documents at once each with its own fields.
#include "tests/cli/json_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(JsonReader, ManyDocumentsEachReadOnItsOwn) {
  const std::vector<JsonFields> read = ReadJsonDocuments({
      "{\"exit_code\": 1, \"checks\": [{\"state\": \"abnormal\"}]}",
      "\xef\xbb\xbf{\"exit_code\": 0}",            // a byte-order mark
      "{\"exit_code\": 0}\r\n{\"exit_code\": 0}",  // two documents
      "{\"text\": \"\xd2\xec\xb3\xa3\"}",          // code page 936, not UTF-8
      "",                                          // nothing
      "{\"exit_code\": 2, \"text\": \"\xe5\xbc\x82\xe5\xb8\xb8\"}\r\n",
  });
  ASSERT_EQ(read.size(), 6u);
  EXPECT_TRUE(read[0].parsed) << read[0].error;
  EXPECT_EQ(read[0]["exit_code"], "1");
  EXPECT_EQ(read[0]["checks.#"], "1");
  EXPECT_EQ(read[0]["checks.0.state"], "s:abnormal");
  for (std::size_t i = 1; i <= 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_FALSE(read[i].parsed);
    EXPECT_NE(read[i].error, "");
    EXPECT_TRUE(read[i].values.empty());
  }
  EXPECT_TRUE(read[5].parsed) << read[5].error;
  EXPECT_EQ(read[5]["exit_code"], "2");
  EXPECT_EQ(read[5]["text"], JsonString(u8"异常"));
  EXPECT_EQ(read[5]["checks.#"], "(absent)");
}

TEST(JsonReader, OneDocument) {
  EXPECT_EQ(ReadJson("{\"program\": \"vantik-cli\"}")["program"], "s:vantik-cli");
  EXPECT_FALSE(ReadJson("{\"program\": ").parsed);
}

}  // namespace
