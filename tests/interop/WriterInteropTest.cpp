#include "core/rtf/Rtf.h"

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "support/Words.h"

#include <gtest/gtest.h>

#include "core/Utf.h"
#include "core/text/TextDecoder.h"
#include "support/TempDir.h"

// Our writer's files as LibreOffice Writer and pandoc read them. Needs both programs; the test
// program reports itself skipped (exit code 77) when either is missing.
namespace quillory::rtf {
namespace {

Run run(std::u16string text, bool bold = false, bool italic = false)
{
    Run r{std::move(text), {}};
    r.format.bold = bold;
    r.format.italic = italic;
    return r;
}

Paragraph para(std::vector<Run> runs, Alignment alignment = Alignment::Left, Numbering numbering = Numbering::None)
{
    return Paragraph{alignment, numbering, std::move(runs)};
}

// Every kind of character the writer treats differently, and the paragraph kinds it writes.
Document sample()
{
    CharFormat red;
    red.colour = 0x000000FF;
    red.font = u"DejaVu Serif";
    red.pointSize = 14;
    return Document{{
        para({run(u"Escapes: back\\slash {braces} and Reminder{20160725-1500}[label]")}),
        para({run(u"Western: café naïve Müller 5 € – “quotes” ‘single’ "), run(u"bold", true), run(u" and "),
              run(u"italic", false, true)},
             Alignment::Centre),
        para({run(u"Beyond one code page: Καλημέρα Привет 中文 한국어 "), Run{u"coloured", red}}),
        para({run(u"Astral: \U0001F600 \U0001F34E \U0001D11E end")}, Alignment::Right),
        para({run(u"First item")}, Alignment::Left, Numbering::Bullet),
        para({run(u"Second item with "), run(u"bold", true), run(u" part")}, Alignment::Left, Numbering::Bullet),
        para({run(u"Line one\vLine two\tafter a tab")}),
        para({}),
        para({run(u"After an empty paragraph ?\\'e9 \\u233")}, Alignment::Justified),
    }};
}

std::string readBytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool isLabel(char16_t ch)
{
    return ch == 0x2022 || ch == 0x00B7 || ch == 0xF0B7 || ch == u'-';
}

// The words in order, a line per paragraph or line break, blank lines and list labels dropped.
std::string words(std::u16string_view text)
{
    std::u16string out;
    for (const std::u16string& line : SplitLines(text)) {
        std::size_t start = 0;
        while (start < line.size() &&
               (quillory::test::IsWordSpace(line[start]) || line[start] == 0xFEFF ||
                (isLabel(line[start]) && start + 1 < line.size() && quillory::test::IsWordSpace(line[start + 1]))))
            ++start;
        const std::u16string cleaned = quillory::test::CollapsedLine(line, start);
        if (!cleaned.empty())
            out += cleaned + u'\n';
    }
    return Utf16ToUtf8(out);
}

// pandoc 2.17 drops the space after a \uN? escape and cannot join a surrogate pair (it gives two
// U+FFFD): its text is compared without spaces, with an astral character and U+FFFD U+FFFD alike.
std::string pandocWords(std::u16string_view text)
{
    std::u16string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t ch = text[i];
        const bool pair =
            i + 1 < text.size() && ((ch >= 0xD800 && ch <= 0xDBFF && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) ||
                                    (ch == 0xFFFD && text[i + 1] == 0xFFFD));
        if (pair) {
            out += u'\uFFFD';
            ++i;
        } else if (!quillory::test::IsWordSpace(ch)) {
            out += ch;
        }
    }
    return words(out);
}

std::u16string withNewlines(std::u16string text)
{
    for (char16_t& ch : text)
        if (ch == 0x000B)
            ch = u'\n';
    return text;
}

class WriterInterop : public ::testing::Test {
protected:
    void SetUp() override { std::ofstream(m_dir / "sample.rtf", std::ios::binary) << WriteRtf(sample()); }

    // Runs a shell command in the test's folder; the outputs land there too.
    int run(const std::string& command) const
    {
        return std::system(("cd '" + m_dir.path().string() + "' && " + command + " >tool.log 2>&1").c_str());
    }

    test::TempDir m_dir;
};

TEST_F(WriterInterop, LibreOfficeReadsTheSameTextAndTheBullets)
{
    ASSERT_EQ(run("soffice -env:UserInstallation=file://" + (m_dir / "profile").string() +
                  " --headless --convert-to 'txt:Text (encoded):UTF8,LF,,,' --outdir out sample.rtf"),
              0)
        << readBytes(m_dir / "tool.log");
    const std::u16string text = DecodePlainText(readBytes(m_dir / "out" / "sample.txt"));
    EXPECT_EQ(words(text), words(withNewlines(PlainText(sample()))));
    // The items come back as a list: LibreOffice prints their label.
    EXPECT_NE(text.find(u"\u2022 First item"), std::u16string::npos) << Utf16ToUtf8(text);
    EXPECT_NE(text.find(u"\u2022 Second item"), std::u16string::npos) << Utf16ToUtf8(text);
}

TEST_F(WriterInterop, PandocReadsTheSameText)
{
    ASSERT_EQ(run("pandoc --from rtf --to plain --wrap=none --output sample.txt sample.rtf"), 0)
        << readBytes(m_dir / "tool.log");
    const std::u16string text = DecodePlainText(readBytes(m_dir / "sample.txt"));
    EXPECT_EQ(pandocWords(Utf8ToUtf16(words(text))), pandocWords(withNewlines(PlainText(sample()))));
}

} // namespace
} // namespace quillory::rtf

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    for (const char* tool : {"soffice", "pandoc"}) {
        if (std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) != 0) {
            std::cout << tool << " is not installed: the writer's interoperability is not checked\n";
            return 77;
        }
    }
    return RUN_ALL_TESTS();
}
