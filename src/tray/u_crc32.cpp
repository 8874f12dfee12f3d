#include "tray/u_crc32.h"

#include <array>

namespace {

constexpr std::array<uint32_t, 256> MakeTable() {
  std::array<uint32_t, 256> table{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[i] = c;
  }
  return table;
}

constexpr std::array<uint32_t, 256> Table = MakeTable();

}  // namespace

uint32_t Crc32Register(const void* data, size_t size) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < size; ++i) crc = Table[(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
  return crc;
}

uint32_t Crc32Identity(const std::string& bytes) {
  const uint32_t crc = Crc32Register(bytes.data(), bytes.size());
  return crc == 0 ? 1 : crc;
}
