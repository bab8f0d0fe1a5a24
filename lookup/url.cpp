#include "lookup/url.h"

#include <climits>
#include <cstdint>

namespace tonvia {
namespace {

constexpr char kScheme[] = "http://";
constexpr int kSchemeLength = sizeof(kScheme) - 1;

// 1-based position where the host part begins: after "http://" (any case), else 1.
int HostStart(const Text& address) {
  return LowerAscii(LeftText(address, kSchemeLength)) == kScheme ? kSchemeLength + 1 : 1;
}

// From the host start up to (not including) the next "/", or to the end of the address.
Text HostPart(const Text& address) {
  int start = HostStart(address);
  int slash = FindText(address, "/", start, true);
  int end = slash == -1 ? static_cast<int>(address.size()) + 1 : slash;
  return MiddleText(address, start, end - start);
}

// The leading decimal number of text (optional sign, digits, optional fraction), truncated
// towards zero; 0 when there is none. Values beyond the range of int saturate.
int LeadingInteger(const Text& text) {
  std::size_t at = 0;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  std::int64_t value = 0;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
    if (value <= INT_MAX) value = value * 10 + (text[at] - '0');
  }
  // A fraction only adds to the part that truncation drops.
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

}  // namespace

Text UrlHost(const Text& address) {
  Text host = HostPart(address);
  int colon = FindText(host, ":", 1, true);
  if (colon != -1) host = LeftText(host, colon - 1);
  return LowerAscii(host);
}

int UrlPort(const Text& address) {
  Text host = HostPart(address);
  int colon = FindText(host, ":", 1, true);
  if (colon == -1) return 80;
  return LeadingInteger(RightText(host, static_cast<int>(host.size()) - colon));
}

Text UrlObjectPath(const Text& address) {
  int slash = FindText(address, "/", HostStart(address), true);
  if (slash == -1) return "/";
  return RightText(address, static_cast<int>(address.size()) - slash + 1);
}

}  // namespace tonvia
