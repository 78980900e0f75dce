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
            m_lists.back().levels.emplace_back();
            m_level = static_cast<int>(m_lists.back().levels.size()) - 1;
        }
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
            made.levels.push_back(ListLevel{kindOf(level.format), level.start});
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
    if (para.ls <= 0) {
        p.numbering = para.pn;
        return;
    }
    if (const SourceList* source = sourceList(para.ls); source != nullptr && !source->levels.empty()) {
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
    // Without a list table, the marker shown tells a number ("10.") from a bullet.
    const bool numbered = std::any_of(m_marker.begin(), m_marker.end(), [](char16_t c) {
        return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    });
    p.numbering = numbered ? Numbering::Other : Numbering::Bullet;
}

} // namespace quillory::rtf::detail
