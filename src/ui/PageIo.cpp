#include "ui/PageIo.h"

#include "core/Utf.h"
#include "core/text/TextDecoder.h"
#include "platform/QtText.h"

#include <QTextDocument>

namespace quillory {

std::string PageToBytes(const QTextDocument& document)
{
    return Utf16ToUtf8(fromQ(document.toPlainText()));
}

void LoadPageBytes(QTextDocument& document, std::string_view bytes)
{
    document.setPlainText(toQ(DecodePlainText(bytes)));
}

} // namespace quillory
