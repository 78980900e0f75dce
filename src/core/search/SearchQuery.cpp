#include "core/search/SearchQuery.h"

#include "core/Utf.h"

namespace quillory::search {

namespace {

// Letters and digits of ASCII, and beyond it everything but the common blocks of punctuation,
// spaces and symbols. The index's tokenizer splits words by the full character database; a unit
// taken here as part of a word that it splits off only makes a quoted phrase of the parts.
bool IsWordUnit(char16_t c) noexcept
{
    if (c < 0x80)
        return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    if (c <= 0xBF) // Latin-1 punctuation and symbols, but for ª, µ and º
        return c == 0xAA || c == 0xB5 || c == 0xBA;
    if (c == 0xD7 || c == 0xF7)
        return false;
    if (c >= 0x2000 && c <= 0x2BFF) // general punctuation to miscellaneous symbols and arrows
        return false;
    if (c >= 0x3000 && c <= 0x303F) // CJK symbols and punctuation
        return false;
    return c != 0xFEFF && !(c >= 0xFE30 && c <= 0xFE4F) && !(c >= 0xFF00 && c <= 0xFF0F);
}

} // namespace

std::vector<std::u16string> QueryWords(std::u16string_view typed)
{
    std::vector<std::u16string> words;
    std::size_t i = 0;
    while (i < typed.size()) {
        while (i < typed.size() && !IsWordUnit(typed[i]))
            ++i;
        const std::size_t start = i;
        while (i < typed.size() && IsWordUnit(typed[i]))
            ++i;
        if (i > start)
            words.emplace_back(typed.substr(start, i - start));
    }
    return words;
}

std::string MatchExpression(std::u16string_view typed)
{
    const std::vector<std::u16string> words = QueryWords(typed);
    std::string expression;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (i > 0)
            expression += ' ';
        // A word holds no quote, so quoting it needs no escapes.
        expression += '"';
        expression += Utf16ToUtf8(words[i]);
        expression += '"';
    }
    if (!words.empty())
        expression += '*';
    return expression;
}

} // namespace quillory::search
