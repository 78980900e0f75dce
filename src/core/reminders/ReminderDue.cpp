#include "core/reminders/ReminderDue.h"

#include "core/reminders/ReminderScanner.h"

#include <algorithm>
#include <cstdio>

namespace quillory::reminders {

namespace {

// The `count` units from 1-based `first`, as far as the text reaches.
[[nodiscard]] std::u16string_view Copy(std::u16string_view text, std::size_t first, std::size_t count) noexcept
{
    if (first < 1 || first > text.size())
        return {};
    return text.substr(first - 1, count);
}

} // namespace

std::u16string MinuteText(std::time_t time)
{
    std::tm local{};
    if (::localtime_r(&time, &local) == nullptr)
        return {};
    char buffer[32];
    const int length = std::snprintf(buffer, sizeof buffer, "%04d%02d%02d%02d%02d", local.tm_year + 1900,
                                     local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof buffer)
        return {};
    return std::u16string(buffer, buffer + length);
}

std::u16string CompactStamp(std::u16string_view stamp)
{
    std::u16string compact;
    compact.reserve(stamp.size());
    std::copy_if(stamp.begin(), stamp.end(), std::back_inserter(compact), [](char16_t c) { return c != u'-'; });
    return compact;
}

bool IsDue(std::u16string_view compactStamp, std::u16string_view minute) noexcept
{
    return minute.compare(compactStamp) >= 0;
}

std::u16string DateShown(std::u16string_view compactStamp)
{
    std::u16string shown;
    shown.append(Copy(compactStamp, 7, 2)).append(u"-").append(Copy(compactStamp, 5, 2)).append(u"-");
    shown.append(Copy(compactStamp, 1, 4)).append(u" at ").append(Copy(compactStamp, 9, 2)).append(u":");
    shown.append(Copy(compactStamp, 11, 2));
    return shown;
}

std::u16string ShownLabel(std::u16string_view label)
{
    label = label.substr(0, kMaxLabelLength);
    const auto blank = [](char16_t c) { return c <= u' '; };
    while (!label.empty() && blank(label.front()))
        label.remove_prefix(1);
    while (!label.empty() && blank(label.back()))
        label.remove_suffix(1);
    return std::u16string(label);
}

std::u16string ReminderQuestion(std::u16string_view item, std::u16string_view dateShown, std::u16string_view label)
{
    std::u16string text = u"You have a reminder set on page \n\n";
    text.append(item).append(u"\n\nDate: ").append(dateShown).append(u"\n\n").append(u"Label: ").append(label);
    text.append(u"\n\nDo you want to view this page?");
    return text;
}

} // namespace quillory::reminders
