#pragma once

#include <string>
#include <string_view>
#include <vector>

class QTextDocument;

// Pages coming from and going to files outside the project: imports and exports.
namespace quillory::richedit {

// The page file an imported file becomes: the RTF the editor writes after loading those bytes
// (RTF, or plain text in any encoding the decoder knows), made without touching any editor.
[[nodiscard]] std::string importedPage(std::string_view bytes);

// The page's text line by line as the document is laid out: with a text width set (word wrap), a
// long paragraph gives one line per wrapped line. Line separators end lines and are not part of
// them; an empty page has no lines.
[[nodiscard]] std::vector<std::u16string> laidOutLines(const QTextDocument& document);

} // namespace quillory::richedit
