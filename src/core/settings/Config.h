#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quillory::settings {

// The 16 lines of `config`, in file order, with the values a first start uses.
struct Config {
    // The main window's outer size for its 639 x 493 design client area.
    static constexpr std::int32_t kDesignWidth = 655;
    static constexpr std::int32_t kDesignHeight = 539;

    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = kDesignWidth;
    std::int32_t height = kDesignHeight;
    std::u16string projectPath{};
    std::int32_t panelWidth = 185;
    std::u16string currentItem{};
    bool startInTray = false;
    bool stayOnTop = false;
    bool trayHintShown = false;
    bool autosave = false;
    std::u16string lastFileDir{};
    bool minimiseAfterCopy = false;
    bool functionKeyCopy = false;
    bool wordwrap = true;
    std::int32_t recentHeight = 55;

    friend bool operator==(const Config&, const Config&) = default;
};

// Reads `config` bytes (any byte-order mark, CR LF, LF or CR line ends). Numbers take the value
// of their longest numeric start (LeadingInt), flags are on when that value is not 0, texts are
// taken whole. Lines the file lacks keep their value from `defaults`; lines past 16 are ignored.
[[nodiscard]] Config ReadConfig(std::string_view bytes, const Config& defaults = {});

// Exactly 16 lines, each ended by CR LF, UTF-8 without a byte-order mark, flags as "0" or "1".
// A line break inside a text value is left out, so it cannot shift the lines after it.
[[nodiscard]] std::string WriteConfig(const Config& config);

} // namespace quillory::settings
