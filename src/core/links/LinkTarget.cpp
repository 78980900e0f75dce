#include "core/links/LinkTarget.h"

#include <algorithm>
#include <array>

namespace quillory::links {

namespace {

char16_t lower(char16_t c) noexcept
{
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c;
}

bool equalNoCase(std::u16string_view a, std::u16string_view b) noexcept
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != b[i])
            return false;
    return true;
}

bool isAlpha(char16_t c) noexcept
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// Extensions of what opens by running: scripts, launchers, programs of other systems that
// compatibility layers start, installers and packages, runnable archives.
constexpr std::array<std::u16string_view, 32> kRunnable = {
    u"sh",  u"bash", u"zsh",      u"csh", u"ksh",     u"fish", u"py",  u"pyw",        u"pl",   u"rb",      u"php",
    u"lua", u"tcl",  u"js",       u"jar", u"desktop", u"exe",  u"com", u"bat",        u"cmd",  u"msi",     u"ps1",
    u"vbs", u"run",  u"appimage", u"bin", u"deb",     u"rpm",  u"apk", u"flatpakref", u"snap", u"command",
};

} // namespace

LinkKind ClassifyLink(std::u16string_view target) noexcept
{
    if (target.size() >= 4 && equalNoCase(target.substr(0, 4), u"www."))
        return LinkKind::Web;
    std::size_t colon = 0;
    while (colon < target.size() &&
           (isAlpha(target[colon]) ||
            (colon > 0 && ((target[colon] >= u'0' && target[colon] <= u'9') || target[colon] == u'+' ||
                           target[colon] == u'-' || target[colon] == u'.'))))
        ++colon;
    if (colon == 0 || colon >= target.size() || target[colon] != u':')
        return LinkKind::File;
    const std::u16string_view scheme = target.substr(0, colon);
    for (const std::u16string_view web : {u"http", u"https", u"ftp", u"mailto"})
        if (equalNoCase(scheme, web))
            return LinkKind::Web;
    return equalNoCase(scheme, u"file") ? LinkKind::File : LinkKind::Other;
}

bool WouldRun(std::u16string_view fileName, bool executable) noexcept
{
    if (executable)
        return true;
    const std::size_t slash = fileName.find_last_of(u'/');
    const std::u16string_view name = slash == std::u16string_view::npos ? fileName : fileName.substr(slash + 1);
    const std::size_t dot = name.find_last_of(u'.');
    if (dot == std::u16string_view::npos || dot == 0)
        return false;
    const std::u16string_view extension = name.substr(dot + 1);
    return std::ranges::any_of(kRunnable,
                               [&](std::u16string_view runnable) { return equalNoCase(extension, runnable); });
}

} // namespace quillory::links
