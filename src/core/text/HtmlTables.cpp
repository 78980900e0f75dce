#include "core/text/HtmlTables.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace quillory::text {

namespace {

// Qt's HTML reader takes spans up to this.
constexpr std::size_t kMaxSpan = 20480;
constexpr std::size_t kMaxGrid = 1'000'000;

char16_t lower(char16_t c) noexcept
{
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c;
}

bool isSpace(char16_t c) noexcept
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

bool startsWithNoCase(std::u16string_view text, std::size_t at, std::u16string_view word) noexcept
{
    if (text.size() - at < word.size())
        return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (lower(text[at + i]) != word[i])
            return false;
    return true;
}

// The number an attribute of the tag [begin, end) gives, clamped to [1, kMaxSpan]; 1 when absent.
std::size_t spanAttribute(std::u16string_view html, std::size_t begin, std::size_t end, std::u16string_view name)
{
    for (std::size_t i = begin; i + name.size() < end; ++i) {
        if (!isSpace(html[i]) || !startsWithNoCase(html, i + 1, name))
            continue;
        std::size_t p = i + 1 + name.size();
        while (p < end && isSpace(html[p]))
            ++p;
        if (p >= end || html[p] != u'=')
            continue;
        ++p;
        while (p < end && (isSpace(html[p]) || html[p] == u'"' || html[p] == u'\''))
            ++p;
        std::size_t value = 0;
        while (p < end && html[p] >= u'0' && html[p] <= u'9') {
            value = std::min<std::size_t>(value * 10 + (html[p] - u'0'), kMaxSpan);
            ++p;
        }
        return std::clamp<std::size_t>(value, 1, kMaxSpan);
    }
    return 1;
}

struct OpenTable {
    std::size_t rows = 0;
    std::size_t tallest = 0; // the last row a row span reaches
    std::size_t row = 0;     // the width of the row being read
    std::size_t widest = 0;
};

std::size_t saturatingProduct(std::size_t a, std::size_t b) noexcept
{
    return b != 0 && a > kMaxGrid * 16 / b ? kMaxGrid * 16 : a * b;
}

} // namespace

HtmlTableCost MeasureHtmlTables(std::u16string_view html) noexcept
{
    HtmlTableCost cost;
    std::vector<OpenTable> open;
    const auto close = [&] {
        OpenTable& t = open.back();
        t.widest = std::max(t.widest, t.row);
        cost.grid = std::min(cost.grid + saturatingProduct(std::max(t.rows, t.tallest), t.widest), kMaxGrid * 16);
        open.pop_back();
    };
    const std::size_t n = html.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (html[i] != u'<')
            continue;
        if (startsWithNoCase(html, i + 1, u"!--")) {
            const std::size_t end = html.find(u"-->", i + 4);
            if (end == std::u16string_view::npos)
                break;
            i = end + 2;
            continue;
        }
        const bool closing = i + 1 < n && html[i + 1] == u'/';
        const std::size_t name = i + (closing ? 2 : 1);
        std::size_t nameEnd = name;
        while (nameEnd < n &&
               ((html[nameEnd] >= u'a' && html[nameEnd] <= u'z') || (html[nameEnd] >= u'A' && html[nameEnd] <= u'Z') ||
                (html[nameEnd] >= u'0' && html[nameEnd] <= u'9')))
            ++nameEnd;
        std::size_t tagEnd = html.find(u'>', nameEnd);
        if (tagEnd == std::u16string_view::npos)
            tagEnd = n;
        const std::size_t length = nameEnd - name;
        const auto is = [&](std::u16string_view word) {
            return length == word.size() && startsWithNoCase(html, name, word);
        };
        if (is(u"table")) {
            if (!closing)
                open.emplace_back();
            else if (!open.empty())
                close();
        } else if (!closing && is(u"tr")) {
            if (open.empty()) // a parser makes a table of rows and cells it finds outside one
                open.emplace_back();
            OpenTable& t = open.back();
            t.widest = std::max(t.widest, t.row);
            t.row = 0;
            ++t.rows;
        } else if (!closing && (is(u"td") || is(u"th"))) {
            if (open.empty())
                open.emplace_back();
            OpenTable& t = open.back();
            if (t.rows == 0)
                t.rows = 1;
            t.row = std::min(t.row + spanAttribute(html, nameEnd, tagEnd, u"colspan"), kMaxGrid * 16);
            t.tallest = std::max(t.tallest, t.rows - 1 + spanAttribute(html, nameEnd, tagEnd, u"rowspan"));
            ++cost.cells;
        }
        i = tagEnd == n ? n : tagEnd;
    }
    while (!open.empty())
        close();
    return cost;
}

bool AffordableTables(const HtmlTableCost& cost) noexcept
{
    return cost.grid <= kMaxGrid && cost.grid <= 4 * cost.cells + 4096;
}

} // namespace quillory::text
