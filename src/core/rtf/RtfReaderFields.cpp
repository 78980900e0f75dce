#include "core/rtf/RtfReader.h"

// Hyperlink fields and footnotes.
namespace quillory::rtf::detail {

namespace {

bool startsWithWord(std::u16string_view s, std::u16string_view word) noexcept
{
    if (s.size() < word.size())
        return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        const char16_t c = s[i] >= u'a' && s[i] <= u'z' ? static_cast<char16_t>(s[i] - u'a' + u'A') : s[i];
        if (c != word[i])
            return false;
    }
    return s.size() == word.size() || s[word.size()] == u' ' || s[word.size()] == u'"';
}

void skipSpaces(std::u16string_view& s) noexcept
{
    while (!s.empty() && (s.front() == u' ' || s.front() == u'\t'))
        s.remove_prefix(1);
}

// One argument of a field instruction: quoted (where \\ and \" stand for \ and ") or up to a space.
std::u16string argument(std::u16string_view& s)
{
    skipSpaces(s);
    std::u16string out;
    if (!s.empty() && s.front() == u'"') {
        s.remove_prefix(1);
        while (!s.empty() && s.front() != u'"') {
            if (s.front() == u'\\' && s.size() > 1 && (s[1] == u'\\' || s[1] == u'"'))
                s.remove_prefix(1);
            out += s.front();
            s.remove_prefix(1);
        }
        if (!s.empty())
            s.remove_prefix(1);
        return out;
    }
    while (!s.empty() && s.front() != u' ' && s.front() != u'\t') {
        out += s.front();
        s.remove_prefix(1);
    }
    return out;
}

// The target of a HYPERLINK field: its address, with "#" and the bookmark of a \l switch; empty for
// other fields.
std::u16string hyperlinkTarget(std::u16string_view s)
{
    skipSpaces(s);
    if (!startsWithWord(s, u"HYPERLINK"))
        return {};
    s.remove_prefix(9);
    std::u16string address;
    std::u16string bookmark;
    for (skipSpaces(s); !s.empty(); skipSpaces(s)) {
        if (s.front() == u'\\' && s.size() > 1) {
            const char16_t option = s[1];
            s.remove_prefix(2);
            if (option == u'l')
                bookmark = argument(s);
            else if (option == u'o' || option == u't')
                (void)argument(s);
            continue;
        }
        std::u16string word = argument(s);
        if (address.empty())
            address = std::move(word);
    }
    if (!bookmark.empty())
        address += u'#' + bookmark;
    return address;
}

} // namespace

void RtfReader::fieldWord(Group& g, Keyword k)
{
    switch (k) {
    case Keyword::Fldinst:
        if (g.dest == Dest::Body) {
            g.dest = Dest::FieldInst;
            m_collected.clear();
        } else {
            g.dest = Dest::Skip;
        }
        break;
    case Keyword::Field:
        if (g.dest == Dest::Body)
            m_collected.clear();
        break;
    case Keyword::Fldrslt:
        fieldResult(g);
        break;
    case Keyword::Footnote:
        if (g.dest == Dest::Body && !m_inNote)
            beginNote(g);
        else
            g.dest = Dest::Skip;
        break;
    case Keyword::Ftnalt:
        if (m_inNote && g.dest == Dest::Body)
            m_doc.notes.back().endnote = true;
        break;
    default:
        break;
    }
}

void RtfReader::fieldResult(Group& g)
{
    if (g.dest != Dest::Body)
        return;
    std::u16string target = hyperlinkTarget(m_collected);
    m_collected.clear();
    if (target.empty())
        return;
    g.ch.link = linkIndex(std::move(target));
    m_flow.formatDirty = true;
}

std::uint32_t RtfReader::linkIndex(std::u16string target)
{
    const auto [it, added] = m_linkIndex.emplace(target, static_cast<std::uint32_t>(m_doc.links.size() + 1));
    if (added)
        m_doc.links.push_back(std::move(target));
    return it->second;
}

// The note's text is read into its own paragraphs; the page keeps a reference where it stands.
void RtfReader::beginNote(Group& g)
{
    // A note in a link's result is not part of the link.
    g.ch.link = 0;
    m_doc.notes.emplace_back();
    emitObject(0, static_cast<std::uint32_t>(m_doc.notes.size()));
    m_outerFlow = std::move(m_flow);
    m_flow = Flow{};
    m_flow.paragraphs = &m_doc.notes.back().paragraphs;
    m_flow.paragraphs->emplace_back();
    m_inNote = true;
    g.closes |= kClosesNote;
}

void RtfReader::finishNote(const ParaState& last)
{
    finishFlow(last);
    m_flow = std::move(m_outerFlow);
    m_outerFlow = Flow{};
    m_flow.formatDirty = true;
    m_inNote = false;
}

} // namespace quillory::rtf::detail
