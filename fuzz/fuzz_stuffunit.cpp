#include "core/StuffUnit.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

// Splits the input into search, replacement and text, then checks what must hold whatever the input.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::u16string units(size / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    // Folding the input into a few letters makes matches common.
    for (char16_t& c : units)
        if (c % 4 != 0)
            c = static_cast<char16_t>(u'a' + c % 3);

    (void)quillory::LeadingInt(units);

    const std::size_t a = units.empty() ? 0 : units[0] % 4;
    const std::size_t b = units.size() > 1 ? units[1] % 4 : 0;
    const std::u16string_view all(units);
    const auto search = all.substr(std::min<std::size_t>(2, all.size()), a);
    const auto repl = all.substr(std::min<std::size_t>(2 + a, all.size()), b);
    std::u16string text(all.substr(std::min<std::size_t>(2 + a + b, all.size())));
    const std::u16string before = text;

    const std::size_t start = units.size() > 2 ? units[2] % (text.size() + 2) : 1;
    const std::size_t at = quillory::FindFrom(search, text, start);
    if (at != 0 && (at < std::max<std::size_t>(start, 1) || at + search.size() - 1 > text.size()))
        std::abort();

    quillory::ReplaceAll(search, repl, text);
    // Each replacement changes the length by a fixed amount, so the result's size is bounded.
    if (!search.empty() && text.size() > before.size() / search.size() * repl.size() + before.size())
        std::abort();
    return 0;
}
