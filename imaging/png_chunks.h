#ifndef VELKARO_IMAGING_PNG_CHUNKS_H_
#define VELKARO_IMAGING_PNG_CHUNKS_H_

#include <cstdint>
#include <string>

#include "platform/files.h"

namespace velkaro {

// ImageMagick inflates a PNG's compressed text and profile chunks (zTXt,
// iTXt, iCCP) whole and keeps them several times over; a small file whose
// text inflates to a gigabyte would take the machine's memory before any
// resource limit applies. A phone picture needs none of them.
constexpr uint64_t kLargestInflatedChunk = 8ull << 20;

// Walks the chunks of a PNG file from its start, inflating the compressed
// ones only to count their size. Throws Error saying which chunk is too large
// or where the file breaks off; a file that is no PNG passes.
void CheckPngChunks(InputFile& png);

}  // namespace velkaro

#endif  // VELKARO_IMAGING_PNG_CHUNKS_H_
