#include "core/rtf/RtfReader.h"

// Lists: the list table, the overrides that paragraphs name with \ls, and the lists of the model.
namespace quillory::rtf::detail {

namespace {

ListKind kindOf(int format) noexcept
{
    switch (format) {
    case 1:
        return ListKind::UpperRoman;
    case 2:
        return ListKind::LowerRoman;
    case 3:
        return ListKind::UpperLetter;
    case 4:
        return ListKind::LowerLetter;
    case 23:
        return ListKind::Bullet;
    case 255:
        return ListKind::None;
    default: // decimal, and the kinds of numbers the model does not tell apart
        return ListKind::Decimal;
    }
}

// Word writes its bullets in the Symbol and Wingdings fonts, which the text decodes into the
// private-use area (or, for Symbol's bullet, as a middle dot); these are the characters they show.
char16_t shownBullet(char16_t c) noexcept
{
    switch (c) {
    case 0xF0B7:
    case 0x00B7:
        return kDefaultBullet;
    case 0xF0A7: // Wingdings' small square
        return u'\u25AA';
    case 0xF06E:
        return u'\u25A0';
    case 0xF0D8:
        return u'\u27A2';
    case 0xF0FC:
        return u'\u2713';
    case 0xF076:
        return u'\u2756';
    case u'o': // Courier New's "o", Word's open circle
        return u'\u25E6';
    default:
        // Other private-use characters belong to fonts the page may not have.
        return c >= 0xE000 && c <= 0xF8FF ? kDefaultBullet : c;
    }
}

} // namespace

void RtfReader::listWord(Group& g, Keyword k, int param)
{
    const bool table = g.dest == Dest::ListTable && !m_lists.empty();
    switch (k) {
    case Keyword::Listtable:
        g.dest = Dest::ListTable;
        break;
    case Keyword::Listoverridetable:
        g.dest = Dest::OverrideTable;
        break;
    case Keyword::List:
        if (g.dest == Dest::ListTable) {
            m_lists.emplace_back();
            m_level = -1;
        }
        break;
    case Keyword::Listlevel:
        if (table) {
            std::vector<SourceLevel>& levels = m_lists.back().levels;
            // A tenth level and beyond set nothing: each would cost every paragraph of the list.
            if (levels.size() < kMaxListLevels) {
                levels.emplace_back();
                m_level = static_cast<int>(levels.size()) - 1;
            } else {
                m_level = -1;
            }
        }
        break;
    case Keyword::Leveltext:
        g.dest = table && m_level >= 0 ? Dest::LevelText : Dest::Skip;
        m_levelTextUnits = 0;
        break;
    case Keyword::Levelnfc:
        if (table && m_level >= 0)
            m_lists.back().levels[static_cast<std::size_t>(m_level)].format = param;
        break;
    case Keyword::Levelstartat:
        if (table && m_level >= 0)
            m_lists.back().levels[static_cast<std::size_t>(m_level)].start = param;
        break;
    case Keyword::Listid:
        if (table) {
            m_listById[param] = m_lists.size() - 1;
            m_lastLs = 0;
        } else if (g.dest == Dest::OverrideTable) {
            m_overrideList = param;
            linkOverride();
        }
        break;
    case Keyword::Listoverride:
        if (g.dest == Dest::OverrideTable)
            m_overrideList = m_overrideLs = 0;
        break;
    case Keyword::Ls:
        if (g.dest == Dest::OverrideTable) {
            m_overrideLs = param;
            linkOverride();
        } else if (g.dest == Dest::Body) {
            g.para.ls = param;
        }
        break;
    case Keyword::Ilvl:
        g.para.ilvl = param;
        break;
    default:
        break;
    }
}

// \leveltext: its first unit is its length, the next what a bullet level shows.
void RtfReader::levelText(char16_t u)
{
    if (m_levelTextUnits++ == 1 && m_level >= 0 && !m_lists.empty() && u >= u' ')
        m_lists.back().levels[static_cast<std::size_t>(m_level)].bullet = shownBullet(u);
}

void RtfReader::linkOverride()
{
    if (m_overrideLs > 0 && m_overrideList != 0) {
        m_lsToList[m_overrideLs] = m_overrideList;
        m_lastLs = 0;
    }
}

// The list an override names, or nullptr when the list table lacks it.
const SourceList* RtfReader::sourceList(int ls)
{
    if (ls != m_lastLs) {
        const auto over = m_lsToList.find(ls);
        const auto list = over == m_lsToList.end() ? m_listById.end() : m_listById.find(over->second);
        m_lastLs = ls;
        m_lastList = list == m_listById.end() ? -1 : static_cast<int>(list->second);
    }
    return m_lastList < 0 ? nullptr : &m_lists[static_cast<std::size_t>(m_lastList)];
}

// The model's list for an override, made when a paragraph first stands in it; 0 when the model
// holds as many lists as it can.
std::uint16_t RtfReader::modelList(int ls, const SourceList& source)
{
    if (const auto known = m_lsToModel.find(ls); known != m_lsToModel.end())
        return known->second;
    std::uint16_t model = 0;
    if (m_doc.lists.size() < std::numeric_limits<std::uint16_t>::max()) {
        List made;
        for (const SourceLevel& level : source.levels)
            made.levels.push_back(ListLevel{kindOf(level.format), level.start,
                                            kindOf(level.format) == ListKind::Bullet ? level.bullet : kDefaultBullet});
        m_doc.lists.push_back(std::move(made));
        model = static_cast<std::uint16_t>(m_doc.lists.size());
    }
    m_lsToModel.emplace(ls, model);
    return model;
}

void RtfReader::applyNumbering(const ParaState& para, Paragraph& p)
{
    p.list = 0;
    p.level = 0;
    // A list reference that names no list (\ls0 is written by some) leaves the paragraph its own
    // marker to go by.
    const SourceList* source = para.ls > 0 ? sourceList(para.ls) : nullptr;
    if (source == nullptr && (para.ls > 0 || (m_flow.markerSeen && !m_marker.empty())) && para.pn == Numbering::None) {
        markerNumbering(p);
        return;
    }
    if (para.ls <= 0) {
        p.numbering = para.pn;
        return;
    }
    if (source != nullptr && !source->levels.empty()) {
        // The model's list decides, as it is what the paragraph will be written with.
        const std::uint16_t model = modelList(para.ls, *source);
        static const std::vector<ListLevel> kFallback = {ListLevel{ListKind::Decimal, 1}};
        const std::vector<ListLevel>& levels = model != 0 ? m_doc.lists[model - 1u].levels : kFallback;
        const int deepest = static_cast<int>(std::min<std::size_t>(levels.size(), 256)) - 1;
        const auto level = static_cast<std::size_t>(std::clamp(para.ilvl, 0, deepest));
        const ListKind kind = levels[level].kind;
        if (kind == ListKind::None) {
            p.numbering = para.pn;
            return;
        }
        p.numbering = kind == ListKind::Bullet ? Numbering::Bullet : Numbering::Other;
        if (model != 0) {
            p.list = model;
            p.level = static_cast<std::uint8_t>(level);
        }
        return;
    }
    markerNumbering(p);
}

// Without a list to go by, the marker shown tells a number ("10.") from a bullet.
void RtfReader::markerNumbering(Paragraph& p) const
{
    const bool numbered = std::any_of(m_marker.begin(), m_marker.end(), [](char16_t c) {
        return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    });
    p.numbering = numbered ? Numbering::Other : Numbering::Bullet;
}

} // namespace quillory::rtf::detail
