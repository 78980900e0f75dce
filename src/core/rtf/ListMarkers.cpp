#include "core/rtf/ListMarkers.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <limits>

namespace quillory::rtf {

namespace {

std::u16string digits(int number)
{
    const std::string ascii = std::to_string(number);
    return std::u16string(ascii.begin(), ascii.end());
}

std::u16string letters(int number, char16_t a)
{
    const int repeat = (number - 1) / 26 + 1;
    return std::u16string(static_cast<std::size_t>(std::min(repeat, 64)), static_cast<char16_t>(a + (number - 1) % 26));
}

std::u16string roman(int number, bool upper)
{
    static constexpr std::array<std::pair<int, const char*>, 13> kSteps = {{{1000, "m"},
                                                                            {900, "cm"},
                                                                            {500, "d"},
                                                                            {400, "cd"},
                                                                            {100, "c"},
                                                                            {90, "xc"},
                                                                            {50, "l"},
                                                                            {40, "xl"},
                                                                            {10, "x"},
                                                                            {9, "ix"},
                                                                            {5, "v"},
                                                                            {4, "iv"},
                                                                            {1, "i"}}};
    std::u16string out;
    // Beyond a few thousand the marker would only grow; nobody counts that far in roman numerals.
    int left = std::min(number, 9999);
    for (const auto& [value, text] : kSteps) {
        while (left >= value) {
            for (const char* c = text; *c != 0; ++c)
                out += static_cast<char16_t>(upper ? *c - 'a' + 'A' : *c);
            left -= value;
        }
    }
    return out;
}

} // namespace

std::u16string MarkerText(ListKind kind, int number)
{
    if (kind == ListKind::None)
        return {};
    if (kind == ListKind::Bullet)
        return u"\u2022";
    if (number < 1 || kind == ListKind::Decimal)
        return digits(number) + u'.';
    switch (kind) {
    case ListKind::LowerLetter:
        return letters(number, u'a') + u'.';
    case ListKind::UpperLetter:
        return letters(number, u'A') + u'.';
    case ListKind::LowerRoman:
        return roman(number, false) + u'.';
    case ListKind::UpperRoman:
        return roman(number, true) + u'.';
    default:
        return digits(number) + u'.';
    }
}

std::vector<ListItem> ListItems(const std::vector<Paragraph>& paragraphs, const std::vector<List>& lists)
{
    std::vector<ListItem> items(paragraphs.size());
    struct Counter {
        int value = 0;
        bool started = false;
    };
    std::vector<std::vector<Counter>> counters(lists.size());
    int ownNumber = 0;
    for (std::size_t i = 0; i < paragraphs.size(); ++i) {
        const Paragraph& p = paragraphs[i];
        if (p.list == 0 || p.list > lists.size() || lists[p.list - 1u].levels.empty()) {
            if (p.numbering == Numbering::Other)
                items[i] = ListItem{ListKind::Decimal, ++ownNumber};
            else if (p.numbering == Numbering::Bullet)
                items[i] = ListItem{ListKind::Bullet, 0};
            if (p.numbering != Numbering::Other)
                ownNumber = 0;
            continue;
        }
        ownNumber = 0;
        const List& list = lists[p.list - 1u];
        const std::size_t level = std::min<std::size_t>(p.level, list.levels.size() - 1);
        std::vector<Counter>& levels = counters[p.list - 1u];
        if (levels.size() < list.levels.size())
            levels.resize(list.levels.size());
        Counter& counter = levels[level];
        // Saturating: a start number near the largest int must not overflow.
        counter.value = !counter.started                                  ? list.levels[level].start
                        : counter.value < std::numeric_limits<int>::max() ? counter.value + 1
                                                                          : counter.value;
        counter.started = true;
        for (std::size_t deeper = level + 1; deeper < levels.size(); ++deeper)
            levels[deeper].started = false;
        items[i] = ListItem{list.levels[level].kind, counter.value, list.levels[level].bullet};
    }
    return items;
}

std::vector<std::u16string> ListMarkers(const std::vector<Paragraph>& paragraphs, const std::vector<List>& lists)
{
    const std::vector<ListItem> items = ListItems(paragraphs, lists);
    std::vector<std::u16string> markers(items.size());
    for (std::size_t i = 0; i < items.size(); ++i)
        markers[i] = MarkerText(items[i]);
    return markers;
}

std::u16string MarkerText(const ListItem& item)
{
    return item.kind == ListKind::Bullet ? std::u16string(1, item.bullet) : MarkerText(item.kind, item.number);
}

} // namespace quillory::rtf
