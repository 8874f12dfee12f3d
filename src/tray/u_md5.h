// MD5 message digest (RFC 1321) behind a small reference-counted interface;
// the tray icons derive their stable GUID identity from it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "common/u_common.h"

// A text as UTF-8 bytes. Unpaired surrogates become U+FFFD.
std::string TextToUtf8(const std::wstring& text);

class IMD5 {
 public:
  virtual ~IMD5() = default;
  // Adds the UTF-8 bytes of the text; an empty text adds nothing.
  virtual void UpdateText(const std::wstring& text) = 0;
  virtual void Update(const void* data, size_t size) = 0;
  // The digest of everything added so far (hashing may go on afterwards).
  virtual std::array<uint8_t, 16> Digest() const = 0;
  // "{90015098-3CD2-4FB0-D696-3F7D28E17F72}": the digest bytes in order, upper-case
  // hex, hyphens before bytes 5, 7, 9 and 11.
  virtual std::wstring GuidText() const = 0;
};

// Reference counting by shared ownership.
using TMD5Ref = std::shared_ptr<IMD5>;

class TMD5 final : public IMD5 {
 public:
  TMD5();
  void UpdateText(const std::wstring& text) override;
  void Update(const void* data, size_t size) override;
  std::array<uint8_t, 16> Digest() const override;
  std::wstring GuidText() const override;

 private:
  void Transform(const uint8_t* block);

  uint32_t State_[4];
  uint64_t Length_ = 0;  // bytes added
  uint8_t Buffer_[64];
};

// A new digest, ready to hash.
TMD5Ref CreateMD5();

// Reads "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" (hex digits of either case);
// false for anything else.
bool TextToGuid(const std::wstring& text, TGuid& guid);
