#include "skin_format.h"

static const unsigned char kMagic[5] = {'.', 'S', 'H', 'E', 0};
enum { kHeaderSize = 7, kChecksumSize = 4, kMaxButtonCorner = 16 };

static uint32_t Fnv1a(const unsigned char* data, uint32_t length) {
  uint32_t hash = 2166136261u;
  for (uint32_t i = 0; i < length; ++i) {
    hash ^= data[i];
    hash *= 16777619u;
  }
  return hash;
}

static uint32_t ReadLe32(const unsigned char* p) {
  return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}

int ParseSkin(const unsigned char* data, uint32_t length, Skin* skin) {
  if (!data || length < kHeaderSize + kChecksumSize) return 0;
  for (int i = 0; i < 5; ++i)
    if (data[i] != kMagic[i]) return 0;
  if (data[5] != SKIN_FORMAT_VERSION) return 0;
  const uint32_t body = length - kChecksumSize;
  if (Fnv1a(data, body) != ReadLe32(data + body)) return 0;

  Skin parsed;
  uint32_t seenColours = 0;
  int seenCorner = 0;
  uint32_t at = kHeaderSize;
  for (uint32_t record = 0; record < data[6]; ++record) {
    if (body - at < 2) return 0;
    const uint32_t tag = data[at], size = data[at + 1];
    at += 2;
    if (body - at < size) return 0;
    const unsigned char* payload = data + at;
    at += size;
    if (tag >= 1 && tag <= kSkinColourCount) {
      if (size != 3) return 0;
      parsed.colours[tag - 1] = payload[0] | payload[1] << 8 | payload[2] << 16;
      seenColours |= 1u << (tag - 1);
    } else if (tag == SKIN_TAG_BUTTON_CORNER) {
      if (size != 1 || payload[0] > kMaxButtonCorner) return 0;
      parsed.buttonCorner = payload[0];
      seenCorner = 1;
    }
  }
  /* Every byte must belong to a record, and every colour and metric must be given. */
  if (at != body || seenColours != (1u << kSkinColourCount) - 1 || !seenCorner) return 0;
  *skin = parsed;
  return 1;
}
