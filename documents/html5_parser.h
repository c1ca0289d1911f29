#ifndef VELKARO_DOCUMENTS_HTML5_PARSER_H_
#define VELKARO_DOCUMENTS_HTML5_PARSER_H_

#include <pugixml.hpp>
#include <string_view>

namespace velkaro {

// Parses an HTML page as a browser does, whatever its markup's faults, into
// the same tree an XML parser makes of a well-formed page: elements with
// lower-case names and their attributes, text, no comments. Throws Error
// when the page nests too deeply.
pugi::xml_document ParseHtml5(std::string_view utf8);

}  // namespace velkaro

#endif  // VELKARO_DOCUMENTS_HTML5_PARSER_H_
