// Splitting a page address ("http://" + server [":" port] + "/" + path) into the pieces the
// HTTP client needs. Only the scheme prefix "http://" (any letter case) is recognised; any
// other scheme is read as part of the host.
#pragma once

#include "text/text.h"

namespace tonvia {

// The server name: the host part without its port, ASCII letters in lower case.
Text UrlHost(const Text& address);

// The port: the number after ":" in the host part, truncated towards zero (0 when the text
// after ":" holds no number); 80 when the host part has no ":".
int UrlPort(const Text& address);

// The object path: everything from the "/" that ends the host part, or "/" when there is none.
Text UrlObjectPath(const Text& address);

}  // namespace tonvia
