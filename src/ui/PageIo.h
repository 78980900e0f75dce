#pragma once

#include <string>
#include <string_view>

class QTextDocument;

namespace quillory {

// The page as stored: RTF bytes of the document.
[[nodiscard]] std::string PageToBytes(const QTextDocument& document);
// Replaces the document with a stored page (RTF, or plain text when it is not RTF).
void LoadPageBytes(QTextDocument& document, std::string_view bytes);

} // namespace quillory
