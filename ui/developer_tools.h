#ifndef VELKARO_UI_DEVELOPER_TOOLS_H_
#define VELKARO_UI_DEVELOPER_TOOLS_H_

#include <string>
#include <vector>

#include "engine/desktop_font.h"
#include "engine/velkaro.h"

namespace velkaro {

// The hidden tools of the window's bottom bar, for preparing and checking the program itself.

// Writes the file as the scrambled byte-array text the program carries its
// phone files in, to path + ".imp": each byte XORed with its position's low
// byte, twenty to a line. Throws Error with the input/output message.
void ExportHex(const std::string& path);

// The log lines of the code-page check: a fixed Cyrillic word and "01" from
// the system code page to UTF-16, the letter count, the text back, and each
// letter's code with the letter.
std::vector<std::string> TextTestLines();

// The text and font steps of a build on the source file: font files into
// source + ".fdat" (which must exist) and the formatted text as UTF-16 high
// byte first into source + ".tdat". Throws the steps' Error.
void FontTest(TVelkaro& book, const std::string& source, const DesktopFont& font);

}  // namespace velkaro

#endif  // VELKARO_UI_DEVELOPER_TOOLS_H_
