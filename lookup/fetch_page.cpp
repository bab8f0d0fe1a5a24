#include "lookup/fetch_page.h"

#include <string>

#include "lookup/internet_handle.h"
#include "lookup/url.h"

namespace tonvia {
namespace {

constexpr char kUserAgent[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
constexpr char kHttpVersion[] = "HTTP/1.1";
constexpr DWORD kTimeoutMs = 18000;
constexpr DWORD kReadChunk = 512;
constexpr DWORD kRawHeaderBuffer = 1024;

constexpr char kAcceptLine[] =
    "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, "
    "application/x-shockwave-flash, application/vnd.ms-excel, application/vnd.ms-powerpoint, "
    "application/msword, */*\r\n";

// The three handles of one fetch, released in the order internet, connection, request on every
// path out of FetchPage.
struct FetchHandles {
  InternetHandle internet;
  InternetHandle connection;
  InternetHandle request;

  ~FetchHandles() {
    internet.Close();
    connection.Close();
    request.Close();
  }
};

bool Lacks(const Text& headers, const char* name) {
  return FindText(headers, name, 1, true) == -1;
}

void AddDefaultHeaders(Text& headers, const Text& address) {
  if (Lacks(headers, "Accept: ")) headers += kAcceptLine;
  if (Lacks(headers, "Referer: ")) headers += "Referer: " + address + "\r\n";
  if (Lacks(headers, "Accept-Language: ")) headers += "Accept-Language: zh-cn\r\n";
}

void SetTimeouts(HINTERNET request) {
  DWORD timeout = kTimeoutMs;
  for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT,
                       INTERNET_OPTION_SEND_TIMEOUT}) {
    InternetSetOptionA(request, option, &timeout, sizeof timeout);
  }
}

// Lets the window handle everything that is waiting. A quit request is put back for the
// message loop, which would otherwise never see it.
void ProcessPendingMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

ByteArray ReadBody(HINTERNET request) {
  ByteArray body;
  DWORD count = 1;
  while (count > 0) {
    unsigned char buffer[kReadChunk] = {};
    ProcessPendingMessages();
    if (!InternetReadFile(request, buffer, kReadChunk, &count)) count = 0;
    body.insert(body.end(), buffer, buffer + count);
  }
  return body;
}

// The response header block. A block longer than the usual 1024-byte buffer is queried again
// with the size WinInet asks for, so the caller always gets the whole block (empty on failure).
Text QueryRawHeaders(HINTERNET request) {
  std::string buffer(kRawHeaderBuffer, ' ');
  DWORD size = kRawHeaderBuffer;
  if (!HttpQueryInfoA(request, HTTP_QUERY_RAW_HEADERS_CRLF, buffer.data(), &size, nullptr)) {
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return Text();
    buffer.assign(size + 1, ' ');
    size = static_cast<DWORD>(buffer.size());
    if (!HttpQueryInfoA(request, HTTP_QUERY_RAW_HEADERS_CRLF, buffer.data(), &size, nullptr)) {
      return Text();
    }
  }
  return TextFromBytes(buffer.data(), buffer.size());
}

}  // namespace

Text FetchPage(const Text& address, Text* method, const Text& proxy, Text* extraHeaders,
               const Text& postData, Text* rawHeaders) {
  FetchHandles handles;
  if (proxy.empty()) {
    handles.internet.Reset(InternetOpenA(kUserAgent, INTERNET_OPEN_TYPE_DIRECT, "", "", 0));
  } else {
    const Text proxyServer = "http=" + proxy;
    handles.internet.Reset(
        InternetOpenA(kUserAgent, INTERNET_OPEN_TYPE_PROXY, proxyServer.c_str(), "", 0));
  }
  if (!handles.internet) return Text();

  const Text host = UrlHost(address);
  handles.connection.Reset(InternetConnectA(handles.internet.get(), host.c_str(),
                                           static_cast<INTERNET_PORT>(UrlPort(address)), "", "",
                                           INTERNET_SERVICE_HTTP, 0, 0));
  if (!handles.connection) return Text();

  Text defaultMethod;
  Text& verb = method ? *method : defaultMethod;
  if (UpperAscii(verb) != "POST") verb = "GET";

  const Text objectPath = UrlObjectPath(address);
  handles.request.Reset(HttpOpenRequestA(handles.connection.get(), verb.c_str(),
                                        objectPath.c_str(), kHttpVersion, nullptr, nullptr,
                                        INTERNET_FLAG_RELOAD, 0));
  if (!handles.request) return Text();

  SetTimeouts(handles.request.get());

  Text defaultHeaders;
  Text& headers = extraHeaders ? *extraHeaders : defaultHeaders;
  AddDefaultHeaders(headers, address);

  if (verb == "GET") {
    HttpSendRequestA(handles.request.get(), headers.c_str(), static_cast<DWORD>(headers.size()),
                     nullptr, 0);
  } else {
    if (!postData.empty()) {
      headers += "Content-Type: application/x-www-form-urlencoded\r\n";
      headers += "Content-Length: " + std::to_string(postData.size()) + "\r\n";
    }
    HttpSendRequestA(handles.request.get(), headers.c_str(), static_cast<DWORD>(headers.size()),
                     const_cast<char*>(postData.data()), static_cast<DWORD>(postData.size()));
  }

  const ByteArray body = ReadBody(handles.request.get());
  if (rawHeaders) *rawHeaders = QueryRawHeaders(handles.request.get());
  return TextFromBytes(body);
}

}  // namespace tonvia
