#include "core/text/HotkeyCommands.h"

#include <algorithm>
#include <array>

namespace quillory {

namespace {

constexpr std::array<std::string_view, 5> kOptions{"--show", "--previous", "--next", "--copy", "--hide"};
// Desktops' tokens are tens of characters; a bound keeps a request one short line.
constexpr std::size_t kMaxToken = 512;
constexpr std::string_view kPrefix = "hotkey ";

bool UsableToken(std::string_view token)
{
    return !token.empty() && token.size() <= kMaxToken &&
           std::all_of(token.begin(), token.end(), [](char c) { return c > ' ' && c < 0x7F; });
}

} // namespace

std::string_view HotkeyOption(int id)
{
    if (id < 1 || id > static_cast<int>(kOptions.size()))
        return {};
    return kOptions[static_cast<std::size_t>(id - 1)];
}

std::optional<int> HotkeyForOption(std::string_view argument)
{
    const auto it = std::find(kOptions.begin(), kOptions.end(), argument);
    if (it == kOptions.end())
        return std::nullopt;
    return static_cast<int>(it - kOptions.begin()) + 1;
}

std::string EncodeHotkeyRequest(const HotkeyRequest& request)
{
    std::string line(kPrefix);
    line += std::to_string(request.id);
    if (UsableToken(request.activationToken)) {
        line += ' ';
        line += request.activationToken;
    }
    line += '\n';
    return line;
}

std::optional<HotkeyRequest> DecodeHotkeyRequest(std::string_view line)
{
    if (line == "show")
        return HotkeyRequest{1, {}};
    if (!line.starts_with(kPrefix))
        return std::nullopt;
    line.remove_prefix(kPrefix.size());
    if (line.empty() || line[0] < '1' || line[0] > '0' + static_cast<int>(kOptions.size()))
        return std::nullopt;
    HotkeyRequest request{line[0] - '0', {}};
    line.remove_prefix(1);
    if (line.empty())
        return request;
    if (line[0] != ' ' || !UsableToken(line.substr(1)))
        return std::nullopt;
    request.activationToken = std::string(line.substr(1));
    return request;
}

} // namespace quillory
