#include "core/rtf/Document.h"

namespace quillory::rtf {

std::u16string PlainText(const Document& doc)
{
    std::u16string out;
    std::size_t size = 0;
    for (const Paragraph& p : doc.paragraphs)
        for (const Run& r : p.runs)
            size += r.text.size() + 1;
    out.reserve(size);
    bool first = true;
    for (const Paragraph& p : doc.paragraphs) {
        if (!first)
            out += u'\n';
        first = false;
        for (const Run& r : p.runs)
            out += r.text;
    }
    for (char16_t& c : out)
        if (c == u'\v')
            c = u'\n';
    return out;
}

} // namespace quillory::rtf
