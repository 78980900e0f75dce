#include "core/links/RunTarget.h"

#include "core/StuffUnit.h"

#include <algorithm>

namespace quillory::links {

namespace {

constexpr std::u16string_view kArgs = u"{ARGS}";
constexpr std::size_t kMaxParameters = 255;

constexpr bool isBlank(char16_t c) noexcept
{
    return c <= u' ';
}

std::u16string_view trimmed(std::u16string_view s) noexcept
{
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

} // namespace

RunTarget SplitRunTarget(std::u16string_view target)
{
    RunTarget run;
    const std::size_t marker = FindFrom(kArgs, target, 1);
    if (marker == 0) {
        run.file = target;
    } else {
        const std::size_t at = marker - 1;
        const std::u16string_view rest = target.substr(at + kArgs.size());
        run.parameters = trimmed(rest.substr(0, std::min(rest.size(), kMaxParameters)));
        run.file = target.substr(0, at);
    }
    run.folder = PathBeforeSlash(run.file);
    return run;
}

} // namespace quillory::links
