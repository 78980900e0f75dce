#pragma once

#include <QString>

#include <filesystem>
#include <string>
#include <string_view>

// The one place text and paths cross between the core (UTF-16 std strings) and Qt.
namespace quillory {

inline QString toQ(std::u16string_view s)
{
    return QString(reinterpret_cast<const QChar*>(s.data()), static_cast<qsizetype>(s.size()));
}

inline std::u16string fromQ(const QString& s)
{
    return std::u16string(reinterpret_cast<const char16_t*>(s.utf16()), static_cast<std::size_t>(s.size()));
}

// A view of the string's own text, valid while the string lives unchanged.
inline std::u16string_view viewOfQ(const QString& s)
{
    return {reinterpret_cast<const char16_t*>(s.utf16()), static_cast<std::size_t>(s.size())};
}

inline QString pathToQ(const std::filesystem::path& p)
{
    return QString::fromStdString(p.string());
}

inline std::filesystem::path pathFromQ(const QString& s)
{
    return std::filesystem::path(s.toStdString());
}

} // namespace quillory
