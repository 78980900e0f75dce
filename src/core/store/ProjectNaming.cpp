#include "core/store/ProjectNaming.h"

#include "core/StuffUnit.h"
#include "core/Utf.h"

#include <algorithm>
#include <climits>

namespace quillory::store {

namespace {

#ifdef NAME_MAX
constexpr std::size_t kNameMax = NAME_MAX;
#else
constexpr std::size_t kNameMax = 255;
#endif

} // namespace

std::u16string CompleteProjectName(std::u16string_view name)
{
    std::u16string folder(name);
    if (FindFrom(u"qlyp.dir", name, 1) == 0)
        folder.append(u".qlyp.dir");
    return folder;
}

bool IsProjectPath(std::u16string_view path)
{
    return FindFrom(u".qlyp.dir", path, 1) != 0;
}

std::optional<std::u16string> ProjectNameProblem(std::u16string_view name)
{
    const bool blank = std::all_of(name.begin(), name.end(), [](char16_t c) { return c <= u' '; });
    if (blank)
        return u"Please give the project a name.";
    if (name.find(u'/') != std::u16string_view::npos)
        return u"A project name cannot contain \"/\".";
    if (name.find(u'\0') != std::u16string_view::npos)
        return u"A project name cannot contain a null character.";
    if (name == u"." || name == u"..")
        return u"\".\" and \"..\" cannot be project names.";
    if (name.find_first_of(u"\r\n") != std::u16string_view::npos)
        return u"A project name cannot contain a line break.";
    if (Utf16ToUtf8(CompleteProjectName(name)).size() > kNameMax)
        return u"This project name is too long for a folder name.";
    return std::nullopt;
}

std::optional<std::u16string> ProjectPathProblem(std::u16string_view path)
{
    if (path.find_first_of(u"\r\n") != std::u16string_view::npos)
        return std::u16string(path) +
               u"\n\nThis folder's path holds a line break, so Quillory could not find the project again at "
               u"its next start. Please choose or name another folder.";
    return std::nullopt;
}

} // namespace quillory::store
