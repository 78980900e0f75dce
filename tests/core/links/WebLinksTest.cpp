#include "core/links/WebLinks.h"

#include <gtest/gtest.h>

#include <string>

using namespace quillory::links;

namespace {

// The marked parts of `text`, by their letters.
std::vector<std::u16string> marked(const std::u16string& text)
{
    std::vector<std::u16string> out;
    for (const Span& s : FindWebLinks(text))
        out.push_back(text.substr(s.begin, s.end - s.begin));
    return out;
}

using Words = std::vector<std::u16string>;

} // namespace

TEST(FindWebLinks, MarksTheAddressAloneWherePagesPutIt)
{
    struct Case {
        const char* what;
        std::u16string text;
        Words expected;
    };
    const Case cases[] = {
        {"between words", u"see www.a.org now", {u"www.a.org"}},
        {"at the very end", u"see www.a.org", {u"www.a.org"}},
        {"at the very start", u"www.a.org is it", {u"www.a.org"}},
        {"before a paragraph end", u"see www.a.org\u2029next", {u"www.a.org"}},
        {"before CR LF", u"see www.a.org\r\nnext", {u"www.a.org"}},
        {"before a line break in a paragraph", u"www.a.org\u2028next", {u"www.a.org"}},
        {"through a tab", u"www.a.org\tmore text", {u"www.a.org\tmore"}},
        {"http alone", u"go http://a.org/x?y=1 now", {u"http://a.org/x?y=1"}},
        {"http and www as one", u"go http://www.a.org now", {u"http://www.a.org"}},
        {"letters before www", u"abcwww.a.org", {u"www.a.org"}},
        {"the secure scheme", u"https://www.a.org https://a.org", {u"https://www.a.org", u"https://a.org"}},
        {"capitals are no address", u"WWW.A.ORG HTTP://A.ORG", {}},
        {"several, in order", u"http://b.org www.a.org\u2029www.c.org", {u"http://b.org", u"www.a.org", u"www.c.org"}},
        {"a bare prefix", u"www.", {u"www."}},
        {"nothing", u"no addresses here", {}},
        {"empty", u"", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(marked(c.text), c.expected) << c.what;
}

TEST(FindWebLinks, StaysLinearWithoutDelimiters)
{
    // Every match would search to the end of the text again if each search began at its match.
    std::u16string text;
    for (int i = 0; i < 100000; ++i)
        text += u"www.";
    const auto links = FindWebLinks(text);
    ASSERT_EQ(links.size(), 1u);
    EXPECT_EQ(links[0], (Span{0, text.size()}));

    text += u' ';
    for (int i = 0; i < 100000; ++i)
        text += u"http://";
    EXPECT_EQ(FindWebLinks(text).size(), 2u);
}

TEST(WordAt, TakesTheWordAroundTheCaret)
{
    const std::u16string text = u"one www.a.org\tx three\u2029four  five";
    struct Case {
        std::size_t caret;
        std::u16string word;
    };
    const Case cases[] = {
        {0, u"one"},          // the first character
        {2, u"one"},          // inside
        {3, u"one"},          // right after it: the delimiter is at the caret
        {4, u"www.a.org\tx"}, // the first character of the next, a tab inside it
        {10, u"www.a.org\tx"},
        {16, u"three"},
        {21, u"three"},            // before the paragraph end
        {22, u"four"},             // after it
        {27, u""},                 // between two spaces
        {text.size(), u"five"},    // at the very end
        {text.size() + 9, u"five"} // past it
    };
    for (const Case& c : cases) {
        const Span s = WordAt(text, c.caret);
        EXPECT_EQ(text.substr(s.begin, s.end - s.begin), c.word) << "caret " << c.caret;
    }
    EXPECT_EQ(WordAt(u"", 0), (Span{0, 0}));
}
