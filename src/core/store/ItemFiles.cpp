#include "core/store/ItemFiles.h"

#include "core/StuffUnit.h"
#include "core/Utf.h"
#include "core/store/PosixIo.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace quillory::store {

namespace {

bool IsControl(char16_t c) noexcept
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

bool HasLoneSurrogate(std::u16string_view s) noexcept
{
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char16_t c = s[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF)
            ++i;
        else if (c >= 0xD800 && c <= 0xDFFF)
            return true;
    }
    return false;
}

std::error_code RenameNoReplaceAt(int dirFd, const std::string& from, const std::string& to)
{
    if (::renameat2(dirFd, from.c_str(), dirFd, to.c_str(), RENAME_NOREPLACE) == 0)
        return {};
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return detail::LastError();
    // A file system without RENAME_NOREPLACE: a new link refuses to replace as well.
    if (::linkat(dirFd, from.c_str(), dirFd, to.c_str(), 0) != 0)
        return detail::LastError();
    ::unlinkat(dirFd, from.c_str(), 0);
    return {};
}

} // namespace

std::optional<std::u16string> ItemNameProblem(std::u16string_view name, std::size_t nameMax)
{
    if (std::all_of(name.begin(), name.end(), [](char16_t c) { return c == u' ' || IsControl(c); }))
        return u"Please give the item a name.";
    if (name.find(u'/') != std::u16string_view::npos)
        return u"An item name cannot contain \"/\".";
    if (name.find(u'\0') != std::u16string_view::npos)
        return u"An item name cannot contain a null character.";
    if (std::any_of(name.begin(), name.end(), IsControl))
        return u"An item name cannot contain control characters such as tabs or line breaks.";
    if (name == u"." || name == u"..")
        return u"\".\" and \"..\" cannot be item names.";
    if (name.front() == u' ' || name.back() == u' ')
        return u"An item name cannot begin or end with a blank.";
    if (name.front() == u'.')
        return u"An item name cannot begin with \".\": the file would be hidden.";
    if (HasLoneSurrogate(name))
        return u"This item name holds a character that cannot be part of a file name.";
    if (name.size() > kLongestItemName)
        return u"An item name can be at most " + IntToText(static_cast<std::int64_t>(kLongestItemName)) +
               u" characters long.";
    if (Utf16ToUtf8(name).size() > nameMax)
        return u"This item name is too long for a file name.";
    return std::nullopt;
}

std::size_t NameMaxOf(const std::filesystem::path& folder) noexcept
{
    const long max = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    return max > 0 ? static_cast<std::size_t>(max) : 255;
}

std::error_code CreateItemFile(const std::filesystem::path& folder, std::u16string_view name, std::string_view bytes,
                               Flush flush)
{
    std::error_code error = detail::Fault("create", Utf16ToUtf8(name));
    if (error)
        return error;
    const UniqueFd dir = detail::OpenFolder(folder, error);
    if (!dir)
        return error;
    std::string temporary;
    if ((error = detail::WriteTemporaryAt(dir.get(), temporary, bytes, nullptr, nullptr, flush)))
        return error;
    if ((error = RenameNoReplaceAt(dir.get(), temporary, Utf16ToUtf8(name)))) {
        ::unlinkat(dir.get(), temporary.c_str(), 0);
        return error;
    }
    if (flush == Flush::ToDisk)
        (void)::fsync(dir.get());
    return {};
}

std::error_code RenameItemFile(const std::filesystem::path& folder, std::u16string_view from, std::u16string_view to)
{
    std::error_code error;
    const UniqueFd dir = detail::OpenFolder(folder, error);
    if (!dir)
        return error;
    if ((error = RenameNoReplaceAt(dir.get(), Utf16ToUtf8(from), Utf16ToUtf8(to))))
        return error;
    (void)::fsync(dir.get());
    return {};
}

std::u16string FirstFreeName(std::u16string_view name, const std::function<bool(std::u16string_view)>& taken)
{
    std::u16string candidate(name);
    for (std::int64_t n = 1; taken(candidate); ++n)
        candidate = std::u16string(name) + u"." + IntToText(n);
    return candidate;
}

} // namespace quillory::store
