#include "lookup/fetch_page.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "lookup/tests/test_site.h"

namespace tonvia {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::StartsWith;
using testing::LastRequest;
using testing::TestSite;

constexpr char kAcceptValue[] =
    "image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, application/x-shockwave-flash, "
    "application/vnd.ms-excel, application/vnd.ms-powerpoint, application/msword, */*";

TEST(FetchPageTest, PlainGetSendsFixedAgentAndExactlyTheDefaultHeaders) {
  const Text address = TestSite() + "/dianyin_abc.html";
  FetchPage(address);

  const auto request = LastRequest();
  EXPECT_EQ(request.requestLine, "GET /dianyin_abc.html HTTP/1.1");
  EXPECT_THAT(request.Values("User-Agent"),
              ElementsAre("Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)"));
  EXPECT_THAT(request.Values("Accept"), ElementsAre(kAcceptValue));
  EXPECT_THAT(request.Values("Referer"), ElementsAre(address));
  EXPECT_THAT(request.Values("Accept-Language"), ElementsAre("zh-cn"));
  EXPECT_THAT(request.Values("Content-Type"), IsEmpty());
  EXPECT_THAT(request.Values("Content-Length"), IsEmpty());
  EXPECT_THAT(request.body, IsEmpty());
}

TEST(FetchPageTest, CallerHeadersInOtherLetterCaseAreNotRepeated) {
  Text headers = "accept-language: en\r\nACCEPT: text/html\r\n";
  const Text address = TestSite() + "/dianyin_abc.html";
  FetchPage(address, nullptr, Text(), &headers);

  EXPECT_EQ(headers, "accept-language: en\r\nACCEPT: text/html\r\nReferer: " + address + "\r\n");
  const auto request = LastRequest();
  EXPECT_THAT(request.Values("Accept-Language"), ElementsAre("en"));
  EXPECT_THAT(request.Values("Accept"), ElementsAre("text/html"));
}

TEST(FetchPageTest, MethodsAndPostData) {
  struct Case {
    const char* method;
    const char* normalised;
    const char* requestLine;
    const char* body;
  };
  for (const Case& c : {Case{"post", "post", "post /echo HTTP/1.1", "a=1"},
                        Case{"put", "GET", "GET /echo HTTP/1.1", ""},
                        Case{"", "GET", "GET /echo HTTP/1.1", ""}}) {
    SCOPED_TRACE(c.method);
    Text method = c.method;
    Text headers;
    FetchPage(TestSite() + "/echo", &method, Text(), &headers, "a=1");
    EXPECT_EQ(method, c.normalised);

    const auto request = LastRequest();
    EXPECT_EQ(request.requestLine, c.requestLine);
    EXPECT_EQ(request.body, c.body);
    if (*c.body) {
      EXPECT_THAT(request.Values("Content-Type"),
                  ElementsAre("application/x-www-form-urlencoded"));
      EXPECT_THAT(request.Values("Content-Length"), ElementsAre("3"));
      EXPECT_THAT(headers, HasSubstr("Content-Type: application/x-www-form-urlencoded\r\n"
                                     "Content-Length: 3\r\n"));
    } else {
      EXPECT_THAT(request.Values("Content-Type"), IsEmpty());
    }
  }
}

TEST(FetchPageTest, UnreachableServerGivesEmptyText) {
  EXPECT_EQ(FetchPage("http://127.0.0.1:1/dianyin_abc.html"), "");
}

TEST(FetchPageTest, BodiesArriveWholeUpToTheirFirstZeroByte) {
  const Text pattern = "0123456789abcdef";
  auto patternOf = [&](std::size_t size) {
    Text body;
    while (body.size() < size) body += pattern;
    return body.substr(0, size);
  };
  struct Case {
    const char* path;
    Text expected;
  };
  for (const Case& c : {Case{"/bytes/511", patternOf(511)}, Case{"/bytes/512", patternOf(512)},
                        Case{"/bytes/1300", patternOf(1300)},
                        Case{"/bytes/3000000", patternOf(3000000)},
                        Case{"/zero", "before"},
                        // A server that drops the connection mid-body: what came is the result.
                        Case{"/bytes/1000?cut=600", patternOf(600)}}) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(FetchPage(TestSite() + c.path), c.expected);
  }
}

TEST(FetchPageTest, NotFoundPageIsReturnedLikeAnyBody) {
  Text rawHeaders;
  const Text page = FetchPage(TestSite() + "/dianyin_nosuchsong.html", nullptr, Text(), nullptr,
                              Text(), &rawHeaders);
  EXPECT_THAT(page, HasSubstr("<h1>404</h1>"));
  EXPECT_THAT(rawHeaders, StartsWith("HTTP/1.1 404 Not Found\r\n"));
}

TEST(FetchPageTest, RawHeadersLongerThanTheUsualBufferComeWhole) {
  Text rawHeaders;
  EXPECT_EQ(FetchPage(TestSite() + "/zero?headers=3000", nullptr, Text(), nullptr, Text(),
                      &rawHeaders),
            "before");
  EXPECT_THAT(rawHeaders, StartsWith("HTTP/1.1 200 OK\r\n"));
  EXPECT_THAT(rawHeaders, HasSubstr("X-Filler: " + Text(3000, 'x') + "\r\n"));
}

// A message posted by another thread while a slow body trickles in is handled by the window
// before the fetch returns.
std::atomic<bool> messageHandled{false};

LRESULT CALLBACK RecordingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_APP) messageHandled = true;
  return DefWindowProcA(window, message, wParam, lParam);
}

TEST(FetchPageTest, MessagesPostedDuringASlowFetchAreDispatchedBeforeItReturns) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = RecordingWindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "FetchPageTestWindow";
  RegisterClassA(&windowClass);
  HWND window = CreateWindowA("FetchPageTestWindow", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              windowClass.hInstance, nullptr);
  ASSERT_NE(window, nullptr);

  std::thread poster([window] {
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    PostMessageA(window, WM_APP, 0, 0);
  });
  // 1024 bytes in 64-byte chunks 0.3 s apart: about 5 s of reads.
  const Text body = FetchPage(TestSite() + "/bytes/1024?trickle=0.3&chunk=64");
  const bool handledDuringFetch = messageHandled;
  poster.join();
  DestroyWindow(window);

  EXPECT_EQ(body.size(), 1024u);
  EXPECT_TRUE(handledDuringFetch);
}

}  // namespace
}  // namespace tonvia
