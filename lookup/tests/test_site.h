// Reaching the local key-database site that the test fixture starts, and reading back what it
// recorded of the last request.
#pragma once

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "lookup/fetch_page.h"

namespace tonvia::testing {

inline Text TestSite() {
  const char* site = std::getenv("TONVIA_TEST_SITE");
  return site && *site ? Text(site) : Text("http://127.0.0.1:38976");
}

struct RecordedRequest {
  Text requestLine;
  std::vector<std::pair<Text, Text>> headers;  // name, value; in the order sent
  Text body;

  std::vector<Text> Values(const Text& name) const {
    std::vector<Text> values;
    for (const auto& [key, value] : headers) {
      if (LowerAscii(key) == LowerAscii(name)) values.push_back(value);
    }
    return values;
  }
};

// The last request the site recorded (control requests are not recorded).
inline RecordedRequest LastRequest() {
  const Text raw = FetchPage(TestSite() + "/__last");
  RecordedRequest request;
  const auto headEnd = raw.find("\r\n\r\n");
  const Text head = raw.substr(0, headEnd);
  if (headEnd != Text::npos) request.body = raw.substr(headEnd + 4);
  std::size_t start = 0;
  for (bool first = true; start <= head.size(); first = false) {
    auto end = head.find("\r\n", start);
    if (end == Text::npos) end = head.size();
    const Text line = head.substr(start, end - start);
    if (first) {
      request.requestLine = line;
    } else if (!line.empty()) {
      const auto colon = line.find(':');
      Text value = colon == Text::npos ? Text() : line.substr(colon + 1);
      value.erase(0, value.find_first_not_of(' '));
      request.headers.emplace_back(line.substr(0, colon), value);
    }
    start = end + 2;
  }
  return request;
}

inline void ResetRequestLog() { FetchPage(TestSite() + "/__reset"); }

}  // namespace tonvia::testing
