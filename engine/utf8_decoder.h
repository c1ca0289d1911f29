#ifndef VELKARO_ENGINE_UTF8_DECODER_H_
#define VELKARO_ENGINE_UTF8_DECODER_H_

#include <cstddef>
#include <string_view>

namespace velkaro {

// Both decoders write at most one letter per input byte into `letters`, which
// must have room for bytes.size() letters, and return the count written.
// They never write more letters than they have read bytes, so the bytes may
// lie in the back of the letters' own room (see text_source.cc).

// The decoder of a book file that starts with the UTF-8 mark. It never checks
// a sequence: every complete sequence gives exactly one letter, the low 16
// bits of its code point (no surrogate pairs); an ASCII byte inside a sequence
// is emitted and the sequence goes on after it; a continuation byte that no
// lead byte asked for gives nothing.
size_t DecodeBookUtf8(std::string_view bytes, char16_t* letters);

// UTF-8 as the system conversion reads it in a UTF-8 locale: code points
// above U+FFFF become surrogate pairs; each byte that cannot start a valid
// sequence becomes U+FFFD, and so does, as a whole, a sequence that the end
// of the bytes cuts short.
size_t DecodeLocaleUtf8(std::string_view bytes, char16_t* letters);

// Whether the bytes are UTF-8 that the system conversion reads without a
// replacement: as IsValidIn(bytes, "UTF-8"), several times faster.
bool IsValidUtf8(std::string_view bytes);

}  // namespace velkaro

#endif  // VELKARO_ENGINE_UTF8_DECODER_H_
