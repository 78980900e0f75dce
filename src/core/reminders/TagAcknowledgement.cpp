#include "core/reminders/TagAcknowledgement.h"

#include "core/StuffUnit.h"
#include "core/Utf.h"
#include "core/reminders/ReminderScanner.h"
#include "core/rtf/Rtf.h"
#include "core/text/TextDecoder.h"

namespace quillory::reminders {

namespace {

constexpr std::u16string_view kTagStart = u"Reminder{";
constexpr std::size_t kNoOffset = static_cast<std::size_t>(-1);

enum class Encoding { Utf16LE, Utf16BE, Utf8, Cp1252 };

// A stored page decoded as the scan decodes it, each unit with the offset of the bytes it came
// from (kNoOffset for the line-break units that joining the lines adds).
class DecodedPage {
public:
    Encoding encoding = Encoding::Utf8;
    std::u16string text;
    std::vector<std::size_t> offsets;

    // Lines end in CR LF, whatever ended them in the file.
    void push(char16_t unit, std::size_t offset)
    {
        if (m_pendingCr) {
            m_pendingCr = false;
            add(u'\n', unit == u'\n' ? offset : kNoOffset);
            if (unit == u'\n')
                return;
        }
        if (unit == u'\r') {
            m_pendingCr = true;
        } else if (unit == u'\n') {
            add(u'\r', kNoOffset);
        }
        add(unit, offset);
    }

private:
    void add(char16_t unit, std::size_t offset)
    {
        text.push_back(unit);
        offsets.push_back(offset);
    }

    bool m_pendingCr = false;
};

// How many bytes the UTF-8 decoder takes for the sequence at `at`: a whole sequence, or a bad one
// up to the byte that breaks it (at least one), so that each piece decodes to the same units as
// within the whole text.
[[nodiscard]] std::size_t Utf8Piece(std::string_view bytes, std::size_t at) noexcept
{
    const auto lead = static_cast<unsigned char>(bytes[at]);
    const std::size_t length = (lead >= 0xC2 && lead <= 0xDF)   ? 2
                               : (lead >= 0xE0 && lead <= 0xEF) ? 3
                               : (lead >= 0xF0 && lead <= 0xF4) ? 4
                                                                : 1;
    for (std::size_t i = 1; i < length; ++i)
        if (at + i >= bytes.size() || (static_cast<unsigned char>(bytes[at + i]) & 0xC0) != 0x80)
            return i;
    return length;
}

[[nodiscard]] DecodedPage Decode(std::string_view bytes)
{
    DecodedPage page;
    page.text.reserve(bytes.size());
    page.offsets.reserve(bytes.size());
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    if (detail::IsUtf16(bytes)) {
        const bool little = byte(0) == 0xFF;
        page.encoding = little ? Encoding::Utf16LE : Encoding::Utf16BE;
        std::size_t i = 2;
        for (; i + 1 < bytes.size(); i += 2)
            page.push(little ? static_cast<char16_t>(byte(i) | (byte(i + 1) << 8))
                             : static_cast<char16_t>((byte(i) << 8) | byte(i + 1)),
                      i);
        if (i < bytes.size())
            page.push(0xFFFD, i);
        return page;
    }
    const bool bom = bytes.size() >= 3 && byte(0) == 0xEF && byte(1) == 0xBB && byte(2) == 0xBF;
    if (bom || IsValidUtf8(bytes)) {
        page.encoding = Encoding::Utf8;
        for (std::size_t i = bom ? 3 : 0; i < bytes.size();) {
            const std::size_t length = Utf8Piece(bytes, i);
            if (length == 1 && byte(i) < 0x80)
                page.push(byte(i), i);
            else
                for (const char16_t unit : Utf8ToUtf16(bytes.substr(i, length)))
                    page.push(unit, i);
            i += length;
        }
        return page;
    }
    page.encoding = Encoding::Cp1252;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        page.push(Cp1252ToUnicode(byte(i)), i);
    return page;
}

// True when the brace at `at` follows an odd run of backslashes: an escaped brace, not a group's.
[[nodiscard]] bool IsEscaped(std::string_view bytes, std::size_t at) noexcept
{
    std::size_t run = 0;
    while (run < at && bytes[at - 1 - run] == '\\')
        ++run;
    return run % 2 == 1;
}

struct Edit {
    std::size_t offset;
    std::size_t length;
    std::string_view replacement;
};

} // namespace

std::vector<TagBraces> FindTagBraces(std::u16string_view text, std::u16string_view stamp)
{
    std::u16string view;
    std::vector<std::size_t> origin;
    view.reserve(text.size());
    origin.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != u'\\') {
            view.push_back(text[i]);
            origin.push_back(i);
        }
    }
    std::vector<TagBraces> found;
    std::size_t from = 1;
    while (const std::size_t position = FindFrom(kTagStart, view, from)) {
        const std::size_t open = position - 1 + kTagStart.size() - 1;
        const std::size_t close = open + 1 + stamp.size();
        if (close < view.size() && view[close] == u'}' &&
            std::u16string_view(view).substr(open + 1, stamp.size()) == stamp) {
            found.push_back({origin[open], origin[close]});
            from = close + 2;
        } else {
            from = position + 1;
        }
    }
    return found;
}

std::optional<std::string> AcknowledgeStoredPage(std::string_view bytes, std::u16string_view stamp)
{
    const DecodedPage page = Decode(bytes);
    const bool rtf = rtf::LooksLikeRtf(bytes);
    std::vector<Edit> edits;
    for (const TagBraces& braces : FindTagBraces(page.text, stamp)) {
        const std::size_t open = page.offsets[braces.open];
        const std::size_t close = page.offsets[braces.close];
        if (rtf) {
            if (!IsEscaped(bytes, open) || !IsEscaped(bytes, close))
                continue;
            edits.push_back({open - 1, 2, "["});
            edits.push_back({close - 1, 2, "]"});
        } else {
            switch (page.encoding) {
            case Encoding::Utf16LE:
                edits.push_back({open, 2, std::string_view("[\0", 2)});
                edits.push_back({close, 2, std::string_view("]\0", 2)});
                break;
            case Encoding::Utf16BE:
                edits.push_back({open, 2, std::string_view("\0[", 2)});
                edits.push_back({close, 2, std::string_view("\0]", 2)});
                break;
            case Encoding::Utf8:
            case Encoding::Cp1252:
                edits.push_back({open, 1, "["});
                edits.push_back({close, 1, "]"});
                break;
            }
        }
    }
    if (edits.empty())
        return std::nullopt;
    std::string out;
    out.reserve(bytes.size());
    std::size_t copied = 0;
    for (const Edit& edit : edits) {
        out.append(bytes.substr(copied, edit.offset - copied)).append(edit.replacement);
        copied = edit.offset + edit.length;
    }
    out.append(bytes.substr(copied));
    return out;
}

} // namespace quillory::reminders
