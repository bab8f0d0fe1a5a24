#include "lookup/percent_decode.h"

#include <array>

namespace tonvia {
namespace {

// Value of one escape digit by its place in "0123456789ABCDEF" (either case), -2 otherwise.
constexpr std::array<int, 256> MakeDigitValues() {
  std::array<int, 256> values{};
  for (int byte = 0; byte < 256; ++byte) values[byte] = -2;
  for (int digit = 0; digit < 10; ++digit) values['0' + digit] = digit;
  for (int digit = 0; digit < 6; ++digit) {
    values['A' + digit] = 10 + digit;
    values['a' + digit] = 10 + digit;
  }
  return values;
}

constexpr std::array<int, 256> kDigitValues = MakeDigitValues();

}  // namespace

ByteArray PercentDecode(const Text& pageText) {
  const std::size_t length = pageText.size();
  ByteArray out;
  out.reserve(length);
  // Digit value at index at; a digit missing at the end of the text counts as 0.
  auto digitAt = [&](std::size_t at) {
    return at < length ? kDigitValues[static_cast<unsigned char>(pageText[at])] : 0;
  };
  std::size_t at = 0;
  while (at < length) {
    unsigned char byte = static_cast<unsigned char>(pageText[at]);
    if (byte == '%') {
      int value = digitAt(at + 1) * 16 + digitAt(at + 2);
      byte = static_cast<unsigned char>(((value % 256) + 256) % 256);
      at += 3;
    } else {
      ++at;
    }
    if (byte != 0) out.push_back(byte);
  }
  return out;
}

}  // namespace tonvia
