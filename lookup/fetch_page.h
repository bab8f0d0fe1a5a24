// Downloading one page over HTTP with WinInet, synchronously on the window thread. Pending
// window messages are processed before every read, so the window keeps answering meanwhile.
// Win32 only.
#pragma once

#include "text/text.h"

namespace tonvia {

// Fetches address ("http://" host [":" port] path) and returns the response body up to its first
// zero byte, whatever the status; an empty text when the connection or request cannot be opened.
//
// method (in/out): a method whose upper-case form is "POST" is sent as written; anything else,
//   empty or absent included, is sent as "GET" and method is set to "GET".
// proxy: an HTTP proxy to go through; empty means a direct connection.
// extraHeaders (in/out): caller header lines, each ending in "\r\n"; the default Accept, Referer
//   and Accept-Language lines it lacks (letter case ignored) are appended to it, and for a POST
//   with data the Content-Type and Content-Length lines too.
// postData: the request body of a POST.
// rawHeaders (out): when given, receives the whole response header block, CR LF separated.
Text FetchPage(const Text& address, Text* method = nullptr, const Text& proxy = Text(),
               Text* extraHeaders = nullptr, const Text& postData = Text(),
               Text* rawHeaders = nullptr);

}  // namespace tonvia
