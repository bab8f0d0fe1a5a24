#include "lookup/url.h"

#include <climits>

#include <gtest/gtest.h>

namespace tonvia {
namespace {

struct UrlCase {
  const char* address;
  const char* host;
  int port;
  const char* path;
};

TEST(Url, SplitsAddressIntoHostPortAndPath) {
  const UrlCase cases[] = {
      {"http://KeyHost/a/b.html", "keyhost", 80, "/a/b.html"},
      {"HTTP://host:8080/x", "host", 8080, "/x"},
      {"http://host", "host", 80, "/"},
      {"http://host:81", "host", 81, "/"},
      {"host/x", "host", 80, "/x"},
      {"http://host:/x", "host", 0, "/x"},         // empty port text reads as 0
      {"http://host/a:b", "host", 80, "/a:b"},     // a colon in the path is not a port
      {"http://", "", 80, "/"},
      {"", "", 80, "/"},
      {"/x", "", 80, "/x"},
      {"http://host:81.9/", "host", 81, "/"},       // fraction truncated
      {"http://host:-5.5/", "host", -5, "/"},       // towards zero
      {"http://host:abc/", "host", 0, "/"},
      {"http://host:99999999999/", "host", INT_MAX, "/"},  // saturates, no overflow
      {"ftp://host/x", "ftp", 0, "//host/x"},       // other schemes belong to the host
      {"http://Host/dianyin_\xC7\xE7 \xCC\xEC.html", "host", 80,
       "/dianyin_\xC7\xE7 \xCC\xEC.html"},          // title bytes and blank kept as they are
      {"http://\xB0\x41Z/", "\xB0\x41z", 80, "/"},  // only ASCII letters are lowered
      {"http://a\xB0/b/c", "a\xB0/b", 80, "/c"},    // "/" as a second byte does not end the host
  };
  for (const UrlCase& c : cases) {
    SCOPED_TRACE(c.address);
    EXPECT_EQ(UrlHost(c.address), c.host);
    EXPECT_EQ(UrlPort(c.address), c.port);
    EXPECT_EQ(UrlObjectPath(c.address), c.path);
  }
}

}  // namespace
}  // namespace tonvia
