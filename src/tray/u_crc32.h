// CRC-32 (reflected, polynomial EDB88320) as the tray icons' numeric identity
// on systems without GUID identities.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The register after the bytes, started at all ones and not inverted at the
// end: the bitwise complement of the usual CRC-32.
uint32_t Crc32Register(const void* data, size_t size);

// The icon number of the bytes: Crc32Register, with 0 (never a valid number)
// replaced by 1.
uint32_t Crc32Identity(const std::string& bytes);
