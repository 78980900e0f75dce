#include "core/settings/Config.h"

#include "core/StuffUnit.h"
#include "core/Utf.h"
#include "core/settings/SettingsLines.h"
#include "core/text/TextDecoder.h"

#include <vector>

namespace quillory::settings {

namespace {

void Read(const std::vector<std::u16string>& lines, std::size_t line, std::int32_t& value)
{
    if (line <= lines.size())
        value = LeadingInt(lines[line - 1]);
}

void Read(const std::vector<std::u16string>& lines, std::size_t line, bool& value)
{
    if (line <= lines.size())
        value = LeadingInt(lines[line - 1]) != 0;
}

void Read(const std::vector<std::u16string>& lines, std::size_t line, std::u16string& value)
{
    if (line <= lines.size())
        value = lines[line - 1];
}

void Write(std::string& out, std::int32_t value)
{
    AppendLine(out, IntToText(value));
}

void Write(std::string& out, bool value)
{
    AppendLine(out, value ? u"1" : u"0");
}

void Write(std::string& out, const std::u16string& value)
{
    AppendLine(out, value);
}

} // namespace

Config ReadConfig(std::string_view bytes, const Config& defaults)
{
    const std::vector<std::u16string> lines = SplitLines(DecodePlainText(bytes));
    Config c = defaults;
    Read(lines, 1, c.left);
    Read(lines, 2, c.top);
    Read(lines, 3, c.width);
    Read(lines, 4, c.height);
    Read(lines, 5, c.projectPath);
    Read(lines, 6, c.panelWidth);
    Read(lines, 7, c.currentItem);
    Read(lines, 8, c.startInTray);
    Read(lines, 9, c.stayOnTop);
    Read(lines, 10, c.trayHintShown);
    Read(lines, 11, c.autosave);
    Read(lines, 12, c.lastFileDir);
    Read(lines, 13, c.minimiseAfterCopy);
    Read(lines, 14, c.functionKeyCopy);
    Read(lines, 15, c.wordwrap);
    Read(lines, 16, c.recentHeight);
    return c;
}

std::string WriteConfig(const Config& c)
{
    std::string out;
    Write(out, c.left);
    Write(out, c.top);
    Write(out, c.width);
    Write(out, c.height);
    Write(out, c.projectPath);
    Write(out, c.panelWidth);
    Write(out, c.currentItem);
    Write(out, c.startInTray);
    Write(out, c.stayOnTop);
    Write(out, c.trayHintShown);
    Write(out, c.autosave);
    Write(out, c.lastFileDir);
    Write(out, c.minimiseAfterCopy);
    Write(out, c.functionKeyCopy);
    Write(out, c.wordwrap);
    Write(out, c.recentHeight);
    return out;
}

} // namespace quillory::settings
