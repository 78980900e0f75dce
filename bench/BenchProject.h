#pragma once

#include "core/store/OrderStamp.h"

#include <filesystem>
#include <fstream>
#include <string>

// Projects and data folders the window benchmarks start from.
namespace quillory::bench {

// About 2 KB as the Windows rich-text control writes a page.
inline std::string twoKilobytePage()
{
    std::string page =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Calibri;}}\\viewkind4\\uc1 \\pard ";
    while (page.size() < 2000)
        page += "Prepared text to paste into another program, line after line.\\par\r\n";
    return page + "}";
}

// `items` pages named `prefix` + their number + `suffix`, stamped in that order.
inline void writeStampedProject(const std::filesystem::path& project, int items, const std::string& page,
                                const std::string& prefix = "Item ", const std::string& suffix = "")
{
    std::filesystem::create_directories(project);
    for (int i = 0; i < items; ++i) {
        const std::filesystem::path file = project / (prefix + std::to_string(i) + suffix);
        std::ofstream(file, std::ios::binary) << page;
        std::filesystem::last_write_time(file, store::OrderStamp(static_cast<std::size_t>(i)));
    }
}

// The settings of the data folder under `home`: `project` open on `item`.
inline void writeConfig(const std::filesystem::path& home, const std::filesystem::path& project,
                        const std::string& item, bool functionKeyCopy = false)
{
    const std::filesystem::path data = home / "Documents" / "Quillory";
    std::filesystem::create_directories(data);
    std::ofstream(data / "config", std::ios::binary) << "0\r\n0\r\n655\r\n539\r\n"
                                                     << project.string() << "\r\n185\r\n"
                                                     << item << "\r\n0\r\n0\r\n1\r\n0\r\n\r\n0\r\n"
                                                     << (functionKeyCopy ? 1 : 0) << "\r\n1\r\n55\r\n";
}

} // namespace quillory::bench
