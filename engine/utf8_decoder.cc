#include "engine/utf8_decoder.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>

namespace velkaro {

size_t DecodeBookUtf8(std::string_view bytes, char16_t* letters) {
  char16_t* out = letters;
  uint32_t value = 0;
  int expected = 0;  // continuation bytes still missing; at most 0 when none is pending
  for (unsigned char byte : bytes) {
    if (byte < 0x80) {
      *out++ = byte;
    } else if (byte >= 0xC0) {
      // The 1 bits below the top one say how many continuation bytes follow.
      int ones = 0;
      while (ones < 6 && (byte & (0x40 >> ones))) ++ones;
      expected = ones;
      value = ones < 6 ? byte & ((0x40 >> ones) - 1) : 0;
    } else if (expected > 0) {
      value = value << 6 | (byte & 0x3F);
      if (--expected == 0) *out++ = static_cast<char16_t>(value);
    }
  }
  return static_cast<size_t>(out - letters);
}

namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length of the sequence a byte leads, by its pattern alone; 0 when it
// cannot lead one. The old five- and six-byte forms count as sequences that
// are cut short at the end, though they never decode.
size_t SequenceLength(unsigned char byte) {
  if (byte >= 0xC2 && byte <= 0xDF) return 2;
  if ((byte & 0xF0) == 0xE0) return 3;
  if ((byte & 0xF8) == 0xF0) return 4;
  if ((byte & 0xFC) == 0xF8) return 5;
  if ((byte & 0xFE) == 0xFC) return 6;
  return 0;
}

// The code point of a complete sequence, or nothing for a broken one:
// a missing continuation byte, an overlong form, a surrogate, past U+10FFFF.
std::optional<uint32_t> SequenceValue(const unsigned char* sequence, size_t length) {
  if (length > 4) return std::nullopt;
  uint32_t value = sequence[0] & (0x7F >> length);
  for (size_t i = 1; i < length; ++i) {
    if (!IsContinuation(sequence[i])) return std::nullopt;
    value = value << 6 | (sequence[i] & 0x3F);
  }
  const bool overlong = (length == 3 && value < 0x800) || (length == 4 && value < 0x10000);
  if (overlong || (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF) return std::nullopt;
  return value;
}

}  // namespace

size_t DecodeLocaleUtf8(std::string_view bytes, char16_t* letters) {
  char16_t* out = letters;
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* end = in + bytes.size();
  while (in < end) {
    if (*in < 0x80) {
      *out++ = *in++;
      continue;
    }
    const size_t length = SequenceLength(*in);
    if (length > static_cast<size_t>(end - in) && std::all_of(in + 1, end, IsContinuation)) {
      *out++ = kReplacement;  // a sequence cut short by the end: one letter for it
      break;
    }
    const std::optional<uint32_t> value = length > 0 && length <= static_cast<size_t>(end - in)
                                              ? SequenceValue(in, length)
                                              : std::nullopt;
    if (!value) {  // a bad byte: replaced alone, decoding goes on after it
      *out++ = kReplacement;
      ++in;
    } else if (*value >= 0x10000) {
      *out++ = static_cast<char16_t>(0xD800 + ((*value - 0x10000) >> 10));
      *out++ = static_cast<char16_t>(0xDC00 + (*value & 0x3FF));
      in += length;
    } else {
      *out++ = static_cast<char16_t>(*value);
      in += length;
    }
  }
  return static_cast<size_t>(out - letters);
}

bool IsValidUtf8(std::string_view bytes) {
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* end = in + bytes.size();
  while (in < end) {
    // Eight ASCII bytes at a time: most books are mostly ASCII.
    if (end - in >= 8) {
      uint64_t eight = 0;
      std::memcpy(&eight, in, 8);
      if ((eight & 0x8080808080808080) == 0) {
        in += 8;
        continue;
      }
    }
    if (*in < 0x80) {
      ++in;
      continue;
    }
    const size_t length = SequenceLength(*in);
    if (length == 0 || length > static_cast<size_t>(end - in) || !SequenceValue(in, length)) {
      return false;
    }
    in += length;
  }
  return true;
}

}  // namespace velkaro
