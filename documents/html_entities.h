#ifndef VELKARO_DOCUMENTS_HTML_ENTITIES_H_
#define VELKARO_DOCUMENTS_HTML_ENTITIES_H_

#include <optional>
#include <string>
#include <string_view>

namespace velkaro {

// XHTML pages may use the named characters of HTML (&nbsp;, &mdash;, ...),
// which an XML parser does not know without their document type. Rewrites
// each as a numeric character reference; every other reference, "&amp;" and
// its followers included, stays as it is. Returns nothing when an "&"
// outside comments and CDATA sections starts no reference, which makes the
// markup not well-formed (the parser would let it pass).
std::optional<std::string> WithHtmlEntitiesAsReferences(std::string_view markup);

}  // namespace velkaro

#endif  // VELKARO_DOCUMENTS_HTML_ENTITIES_H_
