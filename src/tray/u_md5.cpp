#include "tray/u_md5.h"

#include <cstring>

std::string TextToUtf8(const std::wstring& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t c = static_cast<uint32_t>(text[i]);
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) {
      const uint32_t low = static_cast<uint32_t>(text[i + 1]);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) c = 0xFFFD;
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

namespace {

constexpr uint32_t Sines[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};

constexpr uint8_t Shifts[64] = {7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22,
                                5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20,
                                4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23,
                                6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21};

uint32_t RotateLeft(uint32_t x, int n) {
  return (x << n) | (x >> (32 - n));
}

}  // namespace

TMD5::TMD5() : State_{0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476}, Buffer_{} {}

void TMD5::Transform(const uint8_t* block) {
  uint32_t m[16];
  for (int i = 0; i < 16; ++i)
    m[i] = uint32_t(block[i * 4]) | uint32_t(block[i * 4 + 1]) << 8 |
           uint32_t(block[i * 4 + 2]) << 16 | uint32_t(block[i * 4 + 3]) << 24;
  uint32_t a = State_[0], b = State_[1], c = State_[2], d = State_[3];
  for (int i = 0; i < 64; ++i) {
    uint32_t f;
    int g;
    if (i < 16) {
      f = (b & c) | (~b & d);
      g = i;
    } else if (i < 32) {
      f = (d & b) | (~d & c);
      g = (5 * i + 1) % 16;
    } else if (i < 48) {
      f = b ^ c ^ d;
      g = (3 * i + 5) % 16;
    } else {
      f = c ^ (b | ~d);
      g = (7 * i) % 16;
    }
    const uint32_t next = b + RotateLeft(a + f + Sines[i] + m[g], Shifts[i]);
    a = d;
    d = c;
    c = b;
    b = next;
  }
  State_[0] += a;
  State_[1] += b;
  State_[2] += c;
  State_[3] += d;
}

void TMD5::Update(const void* data, size_t size) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  size_t used = static_cast<size_t>(Length_ % 64);
  Length_ += size;
  while (size > 0) {
    const size_t take = size < 64 - used ? size : 64 - used;
    std::memcpy(Buffer_ + used, bytes, take);
    used += take;
    bytes += take;
    size -= take;
    if (used == 64) {
      Transform(Buffer_);
      used = 0;
    }
  }
}

void TMD5::UpdateText(const std::wstring& text) {
  if (text.empty()) return;
  const std::string utf8 = TextToUtf8(text);
  Update(utf8.data(), utf8.size());
}

std::array<uint8_t, 16> TMD5::Digest() const {
  TMD5 copy = *this;  // padding must not disturb further hashing
  const uint64_t bits = Length_ * 8;
  const uint8_t one = 0x80;
  copy.Update(&one, 1);
  const uint8_t zero = 0;
  while (copy.Length_ % 64 != 56) copy.Update(&zero, 1);
  uint8_t length[8];
  for (int i = 0; i < 8; ++i) length[i] = static_cast<uint8_t>(bits >> (8 * i));
  copy.Update(length, 8);
  std::array<uint8_t, 16> digest{};
  for (int i = 0; i < 16; ++i)
    digest[i] = static_cast<uint8_t>(copy.State_[i / 4] >> (8 * (i % 4)));
  return digest;
}

std::wstring TMD5::GuidText() const {
  static constexpr wchar_t Hex[] = L"0123456789ABCDEF";
  const auto digest = Digest();
  std::wstring text = L"{";
  for (int i = 0; i < 16; ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) text += L'-';
    text += Hex[digest[i] >> 4];
    text += Hex[digest[i] & 15];
  }
  text += L'}';
  return text;
}

TMD5Ref CreateMD5() {
  return std::make_shared<TMD5>();
}

namespace {

int HexValue(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  return -1;
}

// Reads `digits` hex digits at text[at]; false if any is not one.
bool ReadHex(const std::wstring& text, size_t at, int digits, uint32_t& value) {
  value = 0;
  for (int i = 0; i < digits; ++i) {
    const int v = HexValue(text[at + i]);
    if (v < 0) return false;
    value = value << 4 | uint32_t(v);
  }
  return true;
}

}  // namespace

bool TextToGuid(const std::wstring& text, TGuid& guid) {
  if (text.size() != 38 || text[0] != L'{' || text[37] != L'}' || text[9] != L'-' ||
      text[14] != L'-' || text[19] != L'-' || text[24] != L'-')
    return false;
  uint32_t v;
  TGuid g;
  if (!ReadHex(text, 1, 8, v)) return false;
  g.Data1 = v;
  if (!ReadHex(text, 10, 4, v)) return false;
  g.Data2 = static_cast<uint16_t>(v);
  if (!ReadHex(text, 15, 4, v)) return false;
  g.Data3 = static_cast<uint16_t>(v);
  static constexpr size_t ByteAt[8] = {20, 22, 25, 27, 29, 31, 33, 35};
  for (int i = 0; i < 8; ++i) {
    if (!ReadHex(text, ByteAt[i], 2, v)) return false;
    g.Data4[i] = static_cast<uint8_t>(v);
  }
  guid = g;
  return true;
}
