#include "core/rtf/Rtf.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "support/Words.h"

#include <gtest/gtest.h>

#include "core/Utf.h"

// RTF written by LibreOffice Writer and pandoc from sources in the fixture folder (see its
// make-fixtures.sh); LibreOffice's own plain text of each file is the reference.
namespace quillory::rtf {
namespace {

const std::filesystem::path kDir = std::filesystem::path(QUILLORY_FIXTURE_DIR) / "interop";

std::string readBytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    EXPECT_TRUE(in) << file;
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Words in order, one line per paragraph or line break, blank lines dropped, list labels dropped
// (the reader keeps a list item's label as numbering, other readers print it).
std::string words(std::u16string_view text)
{
    std::u16string out;
    std::u16string line;
    const auto endLine = [&] {
        std::size_t start = 0;
        while (start < line.size() && (quillory::test::IsWordSpace(line[start]) || line[start] == 0x2022 ||
                                       line[start] == 0xF0B7 || line[start] == 0x00B7))
            ++start;
        const std::u16string cleaned = quillory::test::CollapsedLine(line, start);
        if (!cleaned.empty())
            out += cleaned + u'\n';
        line.clear();
    };
    for (char16_t ch : text) {
        if (ch == 0xFEFF)
            continue;
        if (ch == u'\n' || ch == 0x000B || ch == 0x2029)
            endLine();
        else
            line += ch;
    }
    endLine();
    return Utf16ToUtf8(out);
}

const Paragraph* paragraphWith(const Document& doc, std::u16string_view text)
{
    for (const Paragraph& para : doc.paragraphs) {
        std::u16string all;
        for (const Run& run : para.runs)
            all += run.text;
        if (all.find(text) != std::u16string::npos)
            return &para;
    }
    return nullptr;
}

const CharFormat* formatOf(const Document& doc, std::u16string_view text)
{
    for (const Paragraph& para : doc.paragraphs)
        for (const Run& run : para.runs)
            if (run.text.find(text) != std::u16string::npos)
                return &run.format;
    return nullptr;
}

class RtfInterop : public ::testing::TestWithParam<const char*> {};

TEST_P(RtfInterop, ReaderGivesTheWordsLibreOfficeReads)
{
    const std::string name = GetParam();
    const std::string rtf = readBytes(kDir / (name + ".rtf"));
    ASSERT_TRUE(LooksLikeRtf(rtf));
    const Document doc = ReadRtf(rtf);
    EXPECT_EQ(words(PlainText(doc)), words(Utf8ToUtf16(readBytes(kDir / (name + ".txt")))));
}

INSTANTIATE_TEST_SUITE_P(Fixtures, RtfInterop,
                         ::testing::Values("lo-letter", "lo-formatted", "pandoc-notes", "pandoc-formatted"),
                         [](const auto& fixture) {
                             std::string name = fixture.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

TEST(RtfInteropFormats, LibreOfficeLetterKeepsStylesAlignmentBulletsAndBreaks)
{
    const Document doc = ReadRtf(readBytes(kDir / "lo-letter.rtf"));
    const Paragraph* greeting = paragraphWith(doc, u"Dear Zoë,");
    ASSERT_NE(greeting, nullptr);
    EXPECT_EQ(greeting->alignment, Alignment::Centre);
    const Paragraph* closing = paragraphWith(doc, u"Yours, 李明");
    ASSERT_NE(closing, nullptr);
    EXPECT_EQ(closing->alignment, Alignment::Right);

    const CharFormat* parcel = formatOf(doc, u"parcel");
    ASSERT_NE(parcel, nullptr);
    EXPECT_TRUE(parcel->bold);
    EXPECT_FALSE(parcel->italic);
    const CharFormat* recipe = formatOf(doc, u"crème brûlée");
    ASSERT_NE(recipe, nullptr);
    EXPECT_TRUE(recipe->italic);
    EXPECT_FALSE(recipe->bold);
    const CharFormat* perfect = formatOf(doc, u"perfect");
    ASSERT_NE(perfect, nullptr);
    EXPECT_TRUE(perfect->underline);
    const CharFormat* plain = formatOf(doc, u"Thank you");
    ASSERT_NE(plain, nullptr);
    EXPECT_FALSE(plain->bold || plain->italic || plain->underline);

    const Paragraph* prices = paragraphWith(doc, u"Prices:\t12 €\vWeights:\t3 kg");
    ASSERT_NE(prices, nullptr) << "a tab and a line break inside one paragraph";
    EXPECT_EQ(prices->numbering, Numbering::None);

    for (const auto* item : {u"Flour, sugar, eggs", u"Vanilla from Madagascar \U0001F33C", u"Greek: Καλημέρα"}) {
        const Paragraph* para = paragraphWith(doc, item);
        ASSERT_NE(para, nullptr) << Utf16ToUtf8(item);
        EXPECT_EQ(para->numbering, Numbering::Bullet) << Utf16ToUtf8(item);
        EXPECT_EQ(para->runs.front().text.front(), item[0]) << "the list label is not text";
    }
}

TEST(RtfInteropFormats, LibreOfficeHtmlImportKeepsStylesAlignmentAndBullets)
{
    const Document doc = ReadRtf(readBytes(kDir / "lo-formatted.rtf"));
    const CharFormat* boldWords = formatOf(doc, u"bold words");
    ASSERT_NE(boldWords, nullptr);
    EXPECT_TRUE(boldWords->bold);
    EXPECT_FALSE(boldWords->italic);
    const CharFormat* italicWords = formatOf(doc, u"italic words");
    ASSERT_NE(italicWords, nullptr);
    EXPECT_TRUE(italicWords->italic);
    EXPECT_FALSE(italicWords->bold);
    const CharFormat* both = formatOf(doc, u"both at once");
    ASSERT_NE(both, nullptr);
    EXPECT_TRUE(both->bold && both->italic);

    const Paragraph* centred = paragraphWith(doc, u"A centred line: café, Müller, 5 €");
    ASSERT_NE(centred, nullptr);
    EXPECT_EQ(centred->alignment, Alignment::Centre);
    const Paragraph* right = paragraphWith(doc, u"A right-aligned line — 中文 — \U0001F600");
    ASSERT_NE(right, nullptr);
    EXPECT_EQ(right->alignment, Alignment::Right);
    const Paragraph* opening = paragraphWith(doc, u"Plain opening line");
    ASSERT_NE(opening, nullptr);
    EXPECT_EQ(opening->alignment, Alignment::Left);
    EXPECT_EQ(opening->numbering, Numbering::None);

    for (const auto* item : {u"First bullet", u"Second bullet with ", u"Third bullet: naïve façade"}) {
        const Paragraph* para = paragraphWith(doc, item);
        ASSERT_NE(para, nullptr) << Utf16ToUtf8(item);
        EXPECT_EQ(para->numbering, Numbering::Bullet) << Utf16ToUtf8(item);
    }
    EXPECT_TRUE(formatOf(doc, u"bold")->bold);
}

TEST(RtfInteropFormats, PandocKeepsStylesAndWritesBulletsAsText)
{
    const Document notes = ReadRtf(readBytes(kDir / "pandoc-notes.rtf"));
    const CharFormat* heading = formatOf(notes, u"Shopping notes");
    ASSERT_NE(heading, nullptr);
    EXPECT_TRUE(heading->bold);
    EXPECT_EQ(heading->pointSize, 18.0);
    const CharFormat* both = formatOf(notes, u"both");
    ASSERT_NE(both, nullptr);
    EXPECT_TRUE(both->bold && both->italic);
    const CharFormat* italic = formatOf(notes, u"italic");
    ASSERT_NE(italic, nullptr);
    EXPECT_TRUE(italic->italic);
    EXPECT_FALSE(italic->bold);
    // pandoc marks items with a \bullet character, not as a list.
    EXPECT_NE(paragraphWith(notes, u"\u2022\tBread from the bakery"), nullptr);
    EXPECT_NE(paragraphWith(notes, u"Fruit \U0001F34E and 中文 labels"), nullptr);

    const Document html = ReadRtf(readBytes(kDir / "pandoc-formatted.rtf"));
    const Paragraph* title = paragraphWith(html, u"Formatting sample");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->alignment, Alignment::Centre);
    EXPECT_NE(paragraphWith(html, u"quotes “curly” ‘single’."), nullptr) << "\\u fallbacks are skipped";
}

} // namespace
} // namespace quillory::rtf
