#include "core/settings/AutostartEntry.h"

#include "core/Utf.h"
#include "core/settings/AppId.h"
#include "core/store/AtomicFile.h"

#include <string_view>

namespace quillory::settings {

namespace {

constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";

// The escapes every string value of a desktop entry may carry.
std::string EscapeValue(std::string_view text)
{
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// The program as the one word of an Exec command line, before EscapeValue.
std::string QuoteExecArgument(std::string_view program)
{
    const bool quote = program.find_first_of(kReserved) != std::string_view::npos;
    std::string out;
    if (quote)
        out += '"';
    for (const char c : program) {
        if (quote && (c == '"' || c == '`' || c == '$' || c == '\\'))
            out += '\\';
        out += c;
        // A lone "%" would start a field code.
        if (c == '%')
            out += '%';
    }
    if (quote)
        out += '"';
    return out;
}

// The command line that starts `program`, before EscapeValue.
std::string ExecCommand(std::string_view program)
{
    // Launchers look the program up by its name as written, before "%%" becomes "%" again, and
    // find no such file; a shell then starts it by the name it is given as its first argument.
    if (program.find('%') != std::string_view::npos)
        return "/bin/sh -c " + QuoteExecArgument("exec \"$0\"") + " " + QuoteExecArgument(program);
    return QuoteExecArgument(program);
}

} // namespace

std::u16string AutostartPathProblem(const std::filesystem::path& programPath)
{
    const std::string& program = programPath.native();
    if (!programPath.is_absolute())
        return u"The program's path is not absolute.";
    if (program.find('\0') != std::string::npos)
        return u"The program's path holds a NUL character.";
    if (!IsValidUtf8(program))
        return u"The program's path is not valid UTF-8, and an autostart entry can hold UTF-8 only. Move "
               u"Quillory to a folder whose name is UTF-8.";
    return {};
}

std::optional<std::string> AutostartEntryText(const std::filesystem::path& programPath)
{
    if (!AutostartPathProblem(programPath).empty())
        return std::nullopt;
    const std::string& program = programPath.native();
    std::string text = "[Desktop Entry]\n"
                       "Type=Application\n"
                       "Name=Quillory\n"
                       "Comment=Start Quillory in the system tray at log-on\n"
                       "Icon=";
    text += kAppId;
    text += "\nExec=";
    text += EscapeValue(ExecCommand(program));
    text += "\nPath=";
    text += EscapeValue(programPath.parent_path().native());
    text += '\n';
    return text;
}

std::error_code WriteAutostartEntry(const std::filesystem::path& autostartDir, const std::filesystem::path& programPath)
{
    const auto text = AutostartEntryText(programPath);
    if (!text)
        return std::make_error_code(std::errc::invalid_argument);
    std::error_code error;
    std::filesystem::create_directories(autostartDir, error);
    if (error)
        return error;
    return store::ReplaceFileAtomically(autostartDir / kAutostartFileName, *text);
}

std::error_code RemoveAutostartEntry(const std::filesystem::path& autostartDir)
{
    std::error_code error;
    std::filesystem::remove(autostartDir / kAutostartFileName, error);
    return error;
}

bool HasAutostartEntry(const std::filesystem::path& autostartDir)
{
    std::error_code error;
    return std::filesystem::exists(autostartDir / kAutostartFileName, error);
}

} // namespace quillory::settings
