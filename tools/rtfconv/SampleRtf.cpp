#include "rtfconv/SampleRtf.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace quillory::tools {

namespace {
// A small fixed generator: the output must not depend on the standard library's distributions.
class Lcg {
public:
    explicit Lcg(unsigned seed) : m_state(seed * 2654435761u + 1) {}
    unsigned next(unsigned bound)
    {
        m_state = m_state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<unsigned>((m_state >> 33) % bound);
    }

private:
    std::uint64_t m_state;
};

constexpr std::array<std::string_view, 24> kWords = {
    "the",      "page",      "notebook",       "reminder", "meeting",    "project", "text",   "copy",
    "window",   "list",      "item",           "hotkey",   "clipboard",  "tray",    "folder", "bold",
    "caf\\'e9", "na\\'efve", "r\\'e9sum\\'e9", "\\'fcber", "stra\\'dfe", "and",     "of",     "to"};
} // namespace

std::string SampleRtf(std::size_t bytes, unsigned seed)
{
    Lcg rng(seed);
    std::string out;
    out.reserve(bytes + 512);
    out += "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 Calibri;}"
           "{\\f1\\fnil\\fcharset2 Symbol;}{\\f2\\fnil\\fcharset0 Courier New;}}\r\n"
           "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green128\\blue0;\\red0\\green0\\blue255;}\r\n"
           "{\\*\\generator Riched20 10.0.19041}\\viewkind4\\uc1 \r\n"
           "\\pard\\sa200\\sl276\\slmult1\\f0\\fs22\\lang9 ";
    bool bullets = false;
    while (out.size() < bytes) {
        const unsigned kind = rng.next(10);
        if (kind == 0 && !bullets) {
            out += "\\pard{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'B7}}\\fi-360\\li720 ";
            bullets = true;
        } else if (bullets && kind < 4) {
            out += "{\\pntext\\f1\\'B7\\tab}";
        } else if (bullets || kind == 1) {
            out += kind == 1 ? "\\pard\\qc " : "\\pard ";
            bullets = false;
        }
        const unsigned words = 20 + rng.next(60);
        for (unsigned w = 0; w < words; ++w) {
            const unsigned style = rng.next(100);
            std::string_view word = kWords[rng.next(static_cast<unsigned>(kWords.size()))];
            switch (style) {
            case 0:
                out += "\\b ";
                out += word;
                out += "\\b0 ";
                break;
            case 1:
                out += "\\i ";
                out += word;
                out += "\\i0 ";
                break;
            case 2:
                out += "\\ul ";
                out += word;
                out += "\\ulnone ";
                break;
            case 3:
                out += "\\cf1 ";
                out += word;
                out += "\\cf0 ";
                break;
            case 4:
                out += "Reminder\\{20160725-1500\\}";
                break;
            case 5:
            case 6:
                out += "\\u8364?";
                break;
            default:
                out += word;
                break;
            }
            out += w + 1 < words ? " " : ".";
        }
        out += "\\par\r\n";
    }
    out += "}\r\n";
    return out;
}

} // namespace quillory::tools
