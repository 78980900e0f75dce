#include "core/text/HotkeyNames.h"

#include <vector>

namespace quillory {

namespace {

char16_t Lower(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
}

// Lower case without separators, "control" shortened to "ctrl".
std::u16string Canonical(std::u16string_view description)
{
    std::u16string out;
    for (const char16_t c : description)
        if (c != u'+' && c != u'-' && c != u' ' && c != u'\t')
            out += Lower(c);
    static constexpr std::u16string_view kLong = u"control";
    for (std::size_t at = out.find(kLong); at != std::u16string::npos; at = out.find(kLong, at))
        out.replace(at, kLong.size(), u"ctrl");
    return out;
}

std::u16string AskedName(int id)
{
    return u"Ctrl-F" + std::u16string(1, static_cast<char16_t>(u'0' + id));
}

} // namespace

bool IsAskedKey(std::u16string_view description, int id)
{
    if (id < 1 || id > kHotkeyCount)
        return false;
    return Canonical(description) == u"ctrlf" + std::u16string(1, static_cast<char16_t>(u'0' + id));
}

std::array<std::u16string, kHotkeyCount> HotkeyNames(unsigned boundMask,
                                                     const std::array<std::u16string, kHotkeyCount>& otherKeys)
{
    std::array<std::u16string, kHotkeyCount> names;
    for (int i = 0; i < kHotkeyCount; ++i) {
        const auto at = static_cast<std::size_t>(i);
        if ((boundMask & (1U << i)) == 0)
            names[at] = u"(no key)";
        else if (otherKeys[at].empty())
            names[at] = AskedName(i + 1);
        else
            names[at] = otherKeys[at];
    }
    return names;
}

std::u16string KeptKeys(unsigned boundMask)
{
    std::vector<std::u16string> kept;
    for (int id = 1; id <= kHotkeyCount; ++id)
        if ((boundMask & (1U << (id - 1))) == 0)
            kept.push_back(AskedName(id));
    std::u16string out;
    for (std::size_t i = 0; i < kept.size(); ++i) {
        if (i > 0)
            out += i + 1 == kept.size() ? u" and " : u", ";
        out += kept[i];
    }
    return out;
}

std::u16string WithHotkeyNames(std::u16string_view text, const std::array<std::u16string, kHotkeyCount>& names)
{
    std::u16string out;
    out.reserve(text.size());
    std::size_t lineStart = 0;
    while (lineStart <= text.size()) {
        const std::size_t end = text.find(u'\n', lineStart);
        const std::u16string_view line =
            text.substr(lineStart, end == std::u16string_view::npos ? std::u16string_view::npos : end - lineStart);
        bool renamed = false;
        for (int id = 1; id <= kHotkeyCount && !renamed; ++id) {
            const std::u16string asked = AskedName(id);
            if (line.starts_with(asked) && line.substr(asked.size()).starts_with(u" = ")) {
                out += names[static_cast<std::size_t>(id - 1)];
                out += line.substr(asked.size());
                renamed = true;
            }
        }
        if (!renamed)
            out += line;
        if (end == std::u16string_view::npos)
            break;
        out += u'\n';
        lineStart = end + 1;
    }
    return out;
}

} // namespace quillory
