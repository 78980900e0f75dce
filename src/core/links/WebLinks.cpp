#include "core/links/WebLinks.h"

#include <algorithm>

namespace quillory::links {

namespace {

constexpr std::u16string_view kWww = u"www.";
constexpr std::u16string_view kHttp = u"http://";
constexpr std::u16string_view kHttps = u"https://";

// Addresses starting with `prefix`. The end of each is searched from two characters into its
// prefix. Matches come in rising order, so the delimiter found for one serves every later match
// that starts before it, and a new search starts past the old one: the text is walked once.
void collect(std::u16string_view text, std::u16string_view prefix, std::vector<Span>& out)
{
    std::size_t delimiter = 0;
    bool known = false;
    for (std::size_t at = text.find(prefix); at != std::u16string_view::npos; at = text.find(prefix, at + 1)) {
        const std::size_t from = at + 2;
        if (!known || delimiter < from) {
            delimiter = from;
            while (delimiter < text.size() && !IsDelimiter(text[delimiter]))
                ++delimiter;
            known = true;
        }
        out.push_back({at, delimiter});
    }
}

} // namespace

std::vector<Span> FindWebLinks(std::u16string_view text)
{
    std::vector<Span> found;
    collect(text, kWww, found);
    const auto www = static_cast<std::ptrdiff_t>(found.size());
    collect(text, kHttp, found);
    const auto http = static_cast<std::ptrdiff_t>(found.size());
    collect(text, kHttps, found);
    const auto byStart = [](const Span& a, const Span& b) { return a.begin < b.begin; };
    std::inplace_merge(found.begin(), found.begin() + www, found.begin() + http, byStart);
    std::inplace_merge(found.begin(), found.begin() + http, found.end(), byStart);

    std::vector<Span> merged;
    merged.reserve(found.size());
    for (const Span& s : found) {
        if (!merged.empty() && s.begin < merged.back().end)
            merged.back().end = std::max(merged.back().end, s.end);
        else
            merged.push_back(s);
    }
    return merged;
}

Span WordAt(std::u16string_view text, std::size_t caret) noexcept
{
    caret = std::min(caret, text.size());
    std::size_t begin = caret;
    while (begin > 0 && !IsDelimiter(text[begin - 1]))
        --begin;
    std::size_t end = caret;
    while (end < text.size() && !IsDelimiter(text[end]))
        ++end;
    return {begin, end};
}

bool IsWebAddress(std::u16string_view word) noexcept
{
    return word.starts_with(kWww) || word.starts_with(kHttp) || word.starts_with(kHttps);
}

} // namespace quillory::links
