#ifndef VELKARO_IMAGING_OPTION_WORDS_H_
#define VELKARO_IMAGING_OPTION_WORDS_H_

#include <string>
#include <vector>

namespace velkaro {

// Option words come from a project file that anyone may have written. Throws
// Error for a word that would make a conversion read or write a file other
// than its source and destination, lift the resource limits, or that is not
// one of convert's options or their arguments (convert reads such a word as
// one more picture). Empty words are left alone.
void CheckOptionWords(const std::vector<std::string>& words);

}  // namespace velkaro

#endif  // VELKARO_IMAGING_OPTION_WORDS_H_
