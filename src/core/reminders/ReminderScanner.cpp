#include "core/reminders/ReminderScanner.h"

#include "core/StuffUnit.h"
#include "core/Utf.h"
#include "core/text/TextDecoder.h"

#include <algorithm>
#include <cstring>

namespace quillory::reminders {

namespace {

constexpr std::u16string_view kTagStart = u"Reminder{";

[[nodiscard]] constexpr bool IsHighSurrogate(char16_t c) noexcept
{
    return c >= 0xD800 && c <= 0xDBFF;
}

[[nodiscard]] constexpr char AsciiLower(char c) noexcept
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Where the first "reminder{" begins once backslashes are dropped: the offset of its "r". Exact
// for every decoding but UTF-16: the others keep ASCII bytes as they are and never make ASCII of
// other bytes.
[[nodiscard]] std::optional<std::size_t> FirstTagStart(std::string_view bytes) noexcept
{
    static constexpr std::string_view kWord = "reminder";
    const char* const data = bytes.data();
    std::size_t from = 0;
    while (from < bytes.size()) {
        const auto* hit = static_cast<const char*>(std::memchr(data + from, '{', bytes.size() - from));
        if (hit == nullptr)
            return std::nullopt;
        const auto brace = static_cast<std::size_t>(hit - data);
        std::size_t back = brace;
        std::size_t matched = 0;
        while (back > 0 && matched < kWord.size()) {
            const char c = data[--back];
            if (c == '\\')
                continue;
            if (AsciiLower(c) != kWord[kWord.size() - 1 - matched])
                break;
            ++matched;
        }
        if (matched == kWord.size())
            return back;
        from = brace + 1;
    }
    return std::nullopt;
}

// Appends decoded text as the scan reads it: without backslashes, each line break as CR LF, and
// with `ends` a CR LF after a last line that has none.
void AppendScanView(std::u16string_view decoded, bool ends, std::u16string& view)
{
    view.reserve(view.size() + decoded.size() + 2);
    for (std::size_t i = 0; i < decoded.size(); ++i) {
        const char16_t c = decoded[i];
        if (c == u'\\')
            continue;
        if (c == u'\r' || c == u'\n') {
            view.append(u"\r\n");
            if (c == u'\r' && i + 1 < decoded.size() && decoded[i + 1] == u'\n')
                ++i;
        } else {
            view.push_back(c);
        }
    }
    if (ends && !decoded.empty() && decoded.back() != u'\r' && decoded.back() != u'\n')
        view.append(u"\r\n");
}

// The first tag of a text without backslashes.
[[nodiscard]] std::optional<ReminderTag> TagInView(std::u16string_view view)
{
    const std::size_t position = FindFrom(kTagStart, view, 1);
    if (position == 0)
        return std::nullopt;
    const std::size_t stamp = position - 1 + kTagStart.size();
    const std::size_t close = stamp + kStampLength;
    if (close >= view.size() || view[close] != u'}')
        return std::nullopt;

    ReminderTag tag{std::u16string(view.substr(stamp, kStampLength)), std::u16string(kNoLabel)};
    const std::size_t open = close + 1;
    if (open < view.size() && view[open] == u'[') {
        const std::size_t first = open + 1;
        const std::size_t end = view.find(u']', first);
        if (end != std::u16string_view::npos) {
            std::size_t length = std::min(end - first, kMaxLabelLength);
            // A cut label never ends in half a character.
            if (length < end - first && length > 0 && IsHighSurrogate(view[first + length - 1]))
                --length;
            tag.label = view.substr(first, length);
        }
    }
    return tag;
}

} // namespace

namespace detail {

bool IsUtf16(std::string_view bytes) noexcept
{
    return bytes.size() >= 2 &&
           ((bytes[0] == '\xFF' && bytes[1] == '\xFE') || (bytes[0] == '\xFE' && bytes[1] == '\xFF'));
}

} // namespace detail

std::optional<ReminderTag> FirstArmedTag(std::u16string_view text)
{
    std::u16string view;
    view.reserve(text.size());
    std::copy_if(text.begin(), text.end(), std::back_inserter(view), [](char16_t c) { return c != u'\\'; });
    return TagInView(view);
}

std::u16string StoredPageText(std::string_view bytes)
{
    const std::u16string decoded = DecodePlainText(bytes);
    std::u16string text;
    text.reserve(decoded.size() + decoded.size() / 32 + 2);
    for (std::size_t i = 0; i < decoded.size(); ++i) {
        const char16_t c = decoded[i];
        if (c == u'\r' || c == u'\n') {
            text.append(u"\r\n");
            if (c == u'\r' && i + 1 < decoded.size() && decoded[i + 1] == u'\n')
                ++i;
        } else {
            text.push_back(c);
        }
    }
    if (!decoded.empty() && decoded.back() != u'\r' && decoded.back() != u'\n')
        text.append(u"\r\n");
    return text;
}

std::optional<ReminderTag> FirstArmedTagInFile(std::string_view bytes)
{
    std::u16string view;
    if (detail::IsUtf16(bytes)) {
        AppendScanView(DecodePlainText(bytes), true, view);
        return TagInView(view);
    }
    const auto start = FirstTagStart(bytes);
    if (!start)
        return std::nullopt;
    // Only the text from the tag on is read; the encoding is still the whole file's.
    const bool utf8 = bytes.starts_with("\xEF\xBB\xBF") || IsValidUtf8(bytes);
    const std::string_view rest = bytes.substr(*start);
    if (utf8) {
        AppendScanView(Utf8ToUtf16(rest), true, view);
    } else {
        std::u16string decoded(rest.size(), u'\0');
        std::transform(rest.begin(), rest.end(), decoded.begin(),
                       [](char c) { return Cp1252ToUnicode(static_cast<unsigned char>(c)); });
        AppendScanView(decoded, true, view);
    }
    return TagInView(view);
}

std::u16string ReminderEntry(const ReminderTag& tag, std::u16string_view item)
{
    std::u16string entry;
    entry.reserve(tag.stamp.size() + item.size() + tag.label.size() + 2);
    entry.append(tag.stamp).append(u"-").append(item).append(u"\u00A0").append(tag.label);
    return entry;
}

} // namespace quillory::reminders
