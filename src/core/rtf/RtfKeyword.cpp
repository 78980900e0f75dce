#include "core/rtf/RtfKeyword.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>

namespace quillory::rtf {

namespace {
using K = Keyword;

struct Entry {
    std::string_view word;
    Keyword keyword;
};

constexpr Entry kWords[] = {
    {"fonttbl", K::Fonttbl},
    {"colortbl", K::Colortbl},
    {"listtable", K::Listtable},
    {"listoverridetable", K::Listoverridetable},
    {"pn", K::Pn},
    {"pntext", K::Pntext},
    {"listtext", K::Listtext},
    {"fldinst", K::Fldinst},
    {"fldrslt", K::Fldrslt},
    {"upr", K::Upr},
    {"ud", K::Ud},
    {"nesttableprops", K::Nesttableprops},
    {"pict", K::Pict},
    {"shppict", K::Shppict},
    {"shp", K::Shp},
    {"shpinst", K::Shpinst},
    {"sp", K::Sp},
    {"sn", K::Sn},
    {"sv", K::Sv},
    {"footnote", K::Footnote},
    // Known destinations that carry no page text.
    {"stylesheet", K::SkipDestination},
    {"info", K::SkipDestination},
    {"object", K::SkipDestination},
    {"header", K::SkipDestination},
    {"headerl", K::SkipDestination},
    {"headerr", K::SkipDestination},
    {"headerf", K::SkipDestination},
    {"footer", K::SkipDestination},
    {"footerl", K::SkipDestination},
    {"footerr", K::SkipDestination},
    {"footerf", K::SkipDestination},
    {"annotation", K::SkipDestination},
    {"atnid", K::SkipDestination},
    {"atnauthor", K::SkipDestination},
    {"atntime", K::SkipDestination},
    {"atnref", K::SkipDestination},
    {"atndate", K::SkipDestination},
    {"atnicn", K::SkipDestination},
    {"xe", K::SkipDestination},
    {"tc", K::SkipDestination},
    {"txe", K::SkipDestination},
    {"rxe", K::SkipDestination},
    {"bxe", K::SkipDestination},
    {"filetbl", K::SkipDestination},
    {"revtbl", K::SkipDestination},
    {"rsidtbl", K::SkipDestination},
    {"pntxta", K::SkipDestination},
    {"pntxtb", K::SkipDestination},
    {"pnseclvl", K::SkipDestination},
    {"bkmkstart", K::SkipDestination},
    {"bkmkend", K::SkipDestination},
    {"nonshppict", K::SkipDestination},
    {"shptxt", K::SkipDestination},
    {"do", K::SkipDestination},
    {"comment", K::SkipDestination},
    {"title", K::SkipDestination},
    {"subject", K::SkipDestination},
    {"author", K::SkipDestination},
    {"operator", K::SkipDestination},
    {"keywords", K::SkipDestination},
    {"doccomm", K::SkipDestination},
    {"company", K::SkipDestination},
    {"manager", K::SkipDestination},
    {"category", K::SkipDestination},
    {"hlinkbase", K::SkipDestination},
    {"creatim", K::SkipDestination},
    {"revtim", K::SkipDestination},
    {"printim", K::SkipDestination},
    {"buptim", K::SkipDestination},
    {"objdata", K::SkipDestination},
    {"objclass", K::SkipDestination},
    {"objname", K::SkipDestination},
    {"result", K::SkipDestination},
    {"leveltext", K::Leveltext},
    {"levelnumbers", K::SkipDestination},
    {"listname", K::SkipDestination},
    {"ftnsep", K::SkipDestination},
    {"ftnsepc", K::SkipDestination},
    {"ftncn", K::SkipDestination},
    {"aftnsep", K::SkipDestination},
    {"aftnsepc", K::SkipDestination},
    {"aftncn", K::SkipDestination},
    {"template", K::SkipDestination},
    {"formfield", K::SkipDestination},
    {"datafield", K::SkipDestination},
    {"nonesttables", K::SkipDestination},
    {"userprops", K::SkipDestination},
    {"docvar", K::SkipDestination},
    {"xmlnstbl", K::SkipDestination},
    {"pgdsctbl", K::SkipDestination},
    {"generator", K::SkipDestination},
    {"themedata", K::SkipDestination},
    {"colorschememapping", K::SkipDestination},
    {"latentstyles", K::SkipDestination},
    {"datastore", K::SkipDestination},
    {"mmathPr", K::SkipDestination},
    {"falt", K::SkipDestination},
    {"panose", K::SkipDestination},
    {"fontemb", K::SkipDestination},
    {"fontfile", K::SkipDestination},
    {"fname", K::SkipDestination},
    {"private", K::SkipDestination},
    {"picprop", K::SkipDestination},
    {"blipuid", K::SkipDestination},
    {"background", K::SkipDestination},
    {"expandedcolortbl", K::SkipDestination},
    {"shprslt", K::SkipDestination},
    // Document.
    {"ansi", K::Ansi},
    {"mac", K::Mac},
    {"pc", K::Pc},
    {"pca", K::Pca},
    {"ansicpg", K::Ansicpg},
    {"deff", K::Deff},
    {"uc", K::Uc},
    {"u", K::U},
    {"bin", K::Bin},
    // Tables.
    {"f", K::F},
    {"fcharset", K::Fcharset},
    {"cpg", K::Cpg},
    {"red", K::Red},
    {"green", K::Green},
    {"blue", K::Blue},
    {"list", K::List},
    {"listlevel", K::Listlevel},
    {"levelnfc", K::Levelnfc},
    {"levelnfcn", K::Levelnfc},
    {"listid", K::Listid},
    {"listoverride", K::Listoverride},
    {"ls", K::Ls},
    {"ilvl", K::Ilvl},
    {"levelstartat", K::Levelstartat},
    // Tables.
    {"intbl", K::Intbl},
    {"itap", K::Itap},
    {"trowd", K::Trowd},
    {"cellx", K::Cellx},
    {"clbrdrt", K::CellBorder},
    {"clbrdrl", K::CellBorder},
    {"clbrdrb", K::CellBorder},
    {"clbrdrr", K::CellBorder},
    {"brdrnone", K::BorderNone},
    {"brdrnil", K::BorderNone},
    {"brdrs", K::BorderStyle},
    {"brdrth", K::BorderStyle},
    {"brdrsh", K::BorderStyle},
    {"brdrdb", K::BorderStyle},
    {"brdrdot", K::BorderStyle},
    {"brdrdash", K::BorderStyle},
    {"brdrhair", K::BorderStyle},
    {"brdrdashsm", K::BorderStyle},
    {"brdrdashd", K::BorderStyle},
    {"brdrdashdd", K::BorderStyle},
    {"brdrdashdotstr", K::BorderStyle},
    {"brdrtriple", K::BorderStyle},
    {"brdrtnthsg", K::BorderStyle},
    {"brdrthtnsg", K::BorderStyle},
    {"brdrtnthtnsg", K::BorderStyle},
    {"brdrtnthmg", K::BorderStyle},
    {"brdrthtnmg", K::BorderStyle},
    {"brdrtnthtnmg", K::BorderStyle},
    {"brdrtnthlg", K::BorderStyle},
    {"brdrthtnlg", K::BorderStyle},
    {"brdrtnthtnlg", K::BorderStyle},
    {"brdrwavy", K::BorderStyle},
    {"brdrwavydb", K::BorderStyle},
    {"brdremboss", K::BorderStyle},
    {"brdrengrave", K::BorderStyle},
    {"brdrinset", K::BorderStyle},
    {"brdroutset", K::BorderStyle},
    {"brdrframe", K::BorderStyle},
    // Pictures, shapes, fields and notes.
    {"pngblip", K::Pngblip},
    {"jpegblip", K::Jpegblip},
    {"emfblip", K::Emfblip},
    {"wmetafile", K::Wmetafile},
    {"macpict", K::Macpict},
    {"dibitmap", K::Dibitmap},
    {"wbitmap", K::Wbitmap},
    {"pmmetafile", K::Pmmetafile},
    {"picw", K::Picw},
    {"pich", K::Pich},
    {"picwgoal", K::Picwgoal},
    {"pichgoal", K::Pichgoal},
    {"picscalex", K::Picscalex},
    {"picscaley", K::Picscaley},
    {"shpleft", K::Shpleft},
    {"shptop", K::Shptop},
    {"shpright", K::Shpright},
    {"shpbottom", K::Shpbottom},
    {"field", K::Field},
    {"ftnalt", K::Ftnalt},
    // Paragraphs.
    {"par", K::Par},
    {"pard", K::Pard},
    {"sect", K::Sect},
    {"page", K::Page},
    {"column", K::Page},
    {"line", K::Line},
    {"tab", K::Tab},
    {"cell", K::Cell},
    {"nestcell", K::Nestcell},
    {"row", K::Row},
    {"nestrow", K::Nestrow},
    {"ql", K::Ql},
    {"qc", K::Qc},
    {"qr", K::Qr},
    {"qj", K::Qj},
    {"qd", K::Qother},
    {"qt", K::Qother},
    {"qk", K::Qother},
    {"pnlvlblt", K::Pnlvlblt},
    {"pnlvlbody", K::Pnlvlbody},
    {"pnlvl", K::Pnlvl},
    {"pnlvlcont", K::Pnlvlcont},
    // Characters.
    {"plain", K::Plain},
    {"b", K::B},
    {"i", K::I},
    {"ul", K::Ul},
    {"uld", K::Ul},
    {"uldash", K::Ul},
    {"uldashd", K::Ul},
    {"uldashdd", K::Ul},
    {"uldb", K::Ul},
    {"ulhwave", K::Ul},
    {"ulldash", K::Ul},
    {"ulth", K::Ul},
    {"ulthd", K::Ul},
    {"ulthdash", K::Ul},
    {"ulthdashd", K::Ul},
    {"ulthdashdd", K::Ul},
    {"ulthldash", K::Ul},
    {"ululdbwave", K::Ul},
    {"ulw", K::Ul},
    {"ulwave", K::Ul},
    {"ulnone", K::Ulnone},
    {"strike", K::Strike},
    {"striked", K::Strike},
    {"v", K::V},
    {"fs", K::Fs},
    {"cf", K::Cf},
    // Special characters.
    {"emdash", K::Emdash},
    {"endash", K::Endash},
    {"emspace", K::Emspace},
    {"enspace", K::Enspace},
    {"qmspace", K::Qmspace},
    {"bullet", K::Bullet},
    {"lquote", K::Lquote},
    {"rquote", K::Rquote},
    {"ldblquote", K::Ldblquote},
    {"rdblquote", K::Rdblquote},
    {"zwj", K::Zwj},
    {"zwnj", K::Zwnj},
    {"ltrmark", K::Ltrmark},
    {"rtlmark", K::Rtlmark},
};

constexpr std::size_t kSlots = 1024;

// Length and the first, second and last letters tell the words apart well enough; cheaper than
// hashing every letter, which matters as the reader looks up every control word.
constexpr std::uint32_t hashOf(std::string_view word) noexcept
{
    if (word.empty())
        return 0;
    const auto at = [&](std::size_t i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(word[i])); };
    const std::uint32_t h = static_cast<std::uint32_t>(word.size()) << 24 ^ at(0) << 16 ^
                            (word.size() > 1 ? at(1) : 0u) << 8 ^ at(word.size() - 1);
    return (h * 2654435761u) >> 22;
}

// Open addressing over indexes into kWords (+1; 0 marks a free slot), built at compile time.
constexpr auto kTable = [] {
    std::array<std::uint16_t, kSlots> table{};
    for (std::size_t i = 0; i < std::size(kWords); ++i) {
        std::size_t slot = hashOf(kWords[i].word) % kSlots;
        while (table[slot] != 0)
            slot = (slot + 1) % kSlots;
        table[slot] = static_cast<std::uint16_t>(i + 1);
    }
    return table;
}();
} // namespace

Keyword LookupKeyword(std::string_view word) noexcept
{
    std::size_t slot = hashOf(word) % kSlots;
    while (const std::uint16_t index = kTable[slot]) {
        const Entry& entry = kWords[index - 1];
        if (entry.word.size() == word.size() && std::equal(word.begin(), word.end(), entry.word.begin()))
            return entry.keyword;
        slot = (slot + 1) % kSlots;
    }
    return Keyword::Unknown;
}

} // namespace quillory::rtf
