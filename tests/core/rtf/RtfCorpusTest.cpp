#include "core/rtf/Rtf.h"

#include "core/Utf.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

// Files written by other programs, with what other readers made of them. Their layout conventions
// differ from ours (striprtf writes table cells as "|", rtf.js splits a paragraph at \line into blocks),
// so the text is compared as a sequence of words.
namespace {

using namespace quillory::rtf;
namespace fs = std::filesystem;

const fs::path kCorpus = fs::path(QUILLORY_CORPUS_DIR) / "rtf";

std::string slurp(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool isSeparator(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f' || c == u'\u00A0' ||
           c == u'|' || c == u'\u2002' || c == u'\u2003' || c == u'\u2005' || c == u'\u200B';
}

std::vector<std::u16string> wordsOf(std::u16string_view text)
{
    std::vector<std::u16string> words;
    std::u16string word;
    for (const char16_t c : text) {
        if (isSeparator(c)) {
            if (!word.empty())
                words.push_back(std::move(word));
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty())
        words.push_back(std::move(word));
    return words;
}

// The first difference, with a few words of context, for the failure message.
std::string firstDifference(const std::vector<std::u16string>& got, const std::vector<std::u16string>& want)
{
    std::size_t i = 0;
    while (i < got.size() && i < want.size() && got[i] == want[i])
        ++i;
    const auto context = [&](const std::vector<std::u16string>& words) {
        std::u16string s;
        for (std::size_t k = i >= 3 ? i - 3 : 0; k < std::min(words.size(), i + 5); ++k)
            s += (k == i ? u"[" : u"") + words[k] + (k == i ? u"]" : u"") + u" ";
        return quillory::Utf16ToUtf8(s);
    };
    std::ostringstream out;
    out << "word " << i << " of " << got.size() << " (expected " << want.size() << ")\n  got:      " << context(got)
        << "\n  expected: " << context(want);
    return out.str();
}

std::vector<fs::path> filesUnder(const fs::path& dir, const std::string& extension)
{
    std::vector<fs::path> files;
    if (fs::is_directory(dir))
        for (const auto& entry : fs::directory_iterator(dir))
            if (entry.path().extension() == extension)
                files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

// striprtf appends a hyperlink's target to its text ("text(\"url\")") and shows list numbers, which
// we keep as the paragraph's numbering.
std::u16string striprtfConventionsRemoved(const std::string& name, std::string text)
{
    for (std::size_t at; (at = text.find("(\"")) != std::string::npos;)
        text.erase(at, text.find("\")", at) + 2 - at);
    if (name == "issue_63")
        text.erase(text.find("10."), 3);
    return quillory::Utf8ToUtf16(text);
}

std::u16string withoutSeparators(std::u16string_view text)
{
    std::u16string out;
    for (const char16_t c : text)
        if (!isSeparator(c))
            out += c;
    return out;
}

TEST(RtfCorpus, CorpusIsPresent)
{
    ASSERT_TRUE(fs::is_directory(kCorpus)) << kCorpus;
    EXPECT_GE(filesUnder(kCorpus / "striprtf" / "rtf", ".rtf").size(), 30u);
}

TEST(RtfCorpus, StriprtfFilesGiveTheirWordsInOrder)
{
    int compared = 0;
    for (const fs::path& rtf : filesUnder(kCorpus / "striprtf" / "rtf", ".rtf")) {
        SCOPED_TRACE(rtf.filename().string());
        const std::string bytes = slurp(rtf);
        ASSERT_TRUE(LooksLikeRtf(bytes));
        const Document doc = ReadRtf(bytes);
        ASSERT_FALSE(doc.paragraphs.empty());
        const fs::path expected = kCorpus / "striprtf" / "text" / rtf.filename().replace_extension(".txt");
        if (!fs::exists(expected)) {
            EXPECT_FALSE(wordsOf(PlainText(doc)).empty()); // tables without an expectation: text is there
            continue;
        }
        const auto got = wordsOf(PlainText(doc));
        const auto want = wordsOf(striprtfConventionsRemoved(rtf.stem().string(), slurp(expected)));
        EXPECT_TRUE(got == want) << firstDifference(got, want);
        ++compared;
    }
    EXPECT_GE(compared, 30);
}

// What rtf.js renders: a block per paragraph, spans with inline styles.
struct StyledChar {
    char16_t c = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    std::optional<Colour> colour;
    std::string align;

    friend bool operator==(const StyledChar&, const StyledChar&) = default;
};

struct Rendered {
    std::vector<std::u16string> paragraphs;
    std::vector<std::vector<StyledChar>> chars; // per paragraph, without white space
};

std::string styleValue(const std::string& style, const std::string& key)
{
    std::istringstream in(style);
    std::string decl;
    while (std::getline(in, decl, ';')) {
        const auto colon = decl.find(':');
        if (colon == std::string::npos)
            continue;
        std::string k = decl.substr(0, colon);
        k.erase(0, k.find_first_not_of(' '));
        if (k == key) {
            std::string v = decl.substr(colon + 1);
            v.erase(0, v.find_first_not_of(' '));
            return v;
        }
    }
    return {};
}

std::string attribute(const std::string& tag, const std::string& name)
{
    const auto at = tag.find(name + "=\"");
    if (at == std::string::npos)
        return {};
    const auto start = at + name.size() + 2;
    return tag.substr(start, tag.find('"', start) - start);
}

std::u16string decodeEntities(const std::string& html)
{
    std::string out;
    for (std::size_t i = 0; i < html.size(); ++i) {
        if (html[i] != '&') {
            out += html[i];
            continue;
        }
        const auto end = html.find(';', i);
        const std::string name = html.substr(i + 1, end - i - 1);
        if (name == "amp")
            out += '&';
        else if (name == "lt")
            out += '<';
        else if (name == "gt")
            out += '>';
        else if (name == "quot")
            out += '"';
        else if (name == "nbsp")
            out += "\u00A0";
        else if (!name.empty() && name[0] == '#') {
            std::u16string unit;
            quillory::AppendCodePoint(unit,
                                      static_cast<char32_t>(name[1] == 'x' ? std::stoul(name.substr(2), nullptr, 16)
                                                                           : std::stoul(name.substr(1))));
            out += quillory::Utf16ToUtf8(unit);
        }
        i = end;
    }
    return quillory::Utf8ToUtf16(out);
}

Rendered parseRendered(const std::string& html)
{
    Rendered r;
    std::vector<std::string> aligns;
    std::u16string paragraph;
    std::vector<StyledChar> chars;
    const auto endBlock = [&] {
        if (!paragraph.empty() || !chars.empty()) {
            r.paragraphs.push_back(paragraph);
            r.chars.push_back(chars);
        }
        paragraph.clear();
        chars.clear();
    };
    std::size_t i = 0;
    while ((i = html.find('<', i)) != std::string::npos) {
        const auto close = html.find('>', i);
        const std::string tag = html.substr(i, close - i + 1);
        i = close + 1;
        if (tag.rfind("<div", 0) == 0) {
            endBlock();
            const std::string align = styleValue(attribute(tag, "style"), "text-align");
            aligns.push_back(align.empty() && !aligns.empty() ? aligns.back() : align);
        } else if (tag == "</div>") {
            endBlock();
            if (!aligns.empty())
                aligns.pop_back();
        } else if (tag.rfind("<span", 0) == 0) {
            const std::string style = attribute(tag, "style");
            const auto end = html.find("</span>", i);
            std::string raw = html.substr(i, end - i);
            if (!raw.empty() && raw.back() == '\n') // the file's own line break before </span>
                raw.pop_back();
            const std::u16string text = decodeEntities(raw);
            i = end;
            StyledChar sc;
            sc.bold = styleValue(style, "font-weight") == "bold";
            sc.italic = styleValue(style, "font-style") == "italic";
            sc.underline = styleValue(style, "text-decoration").find("underline") != std::string::npos;
            const std::string colour = styleValue(style, "color");
            unsigned red = 0, green = 0, blue = 0;
            if (std::sscanf(colour.c_str(), "rgb(%u, %u, %u)", &red, &green, &blue) == 3)
                sc.colour = red | green << 8 | blue << 16;
            sc.align = aligns.empty() ? "" : aligns.back();
            paragraph += text;
            for (const char16_t c : text) {
                if (isSeparator(c))
                    continue;
                sc.c = c;
                chars.push_back(sc);
            }
        }
    }
    endBlock();
    return r;
}

std::string alignName(Alignment a)
{
    switch (a) {
    case Alignment::Left:
        return "left";
    case Alignment::Centre:
        return "center";
    case Alignment::Right:
        return "right";
    case Alignment::Justified:
        return "justify";
    case Alignment::Other:
        return "other";
    }
    return {};
}

std::vector<StyledChar> styledChars(const Paragraph& p)
{
    std::vector<StyledChar> out;
    for (const Run& r : p.runs)
        for (const char16_t c : r.text)
            if (!isSeparator(c))
                out.push_back(StyledChar{c, r.format.bold, r.format.italic, r.format.underline,
                                         r.format.colour == kAutomaticColour ? std::nullopt
                                                                             : std::optional<Colour>(r.format.colour),
                                         alignName(p.alignment)});
    return out;
}

bool hasLineBreak(const Paragraph& p)
{
    return std::any_of(p.runs.begin(), p.runs.end(),
                       [](const Run& r) { return r.text.find(u'\v') != std::u16string::npos; });
}

TEST(RtfCorpus, RtfjsFilesGiveTheirWordsAndTheControlsFormatting)
{
    int formatted = 0;
    for (const auto& entry : fs::directory_iterator(kCorpus / "rtfjs")) {
        if (!entry.is_directory())
            continue;
        SCOPED_TRACE(entry.path().filename().string());
        const std::string source = slurp(entry.path() / "source.rtf");
        const Document doc = ReadRtf(source);
        Rendered want = parseRendered(slurp(entry.path() / "expected.html"));

        // rtf.js shows list markers as text ("\u00B7" and a tab) and hidden text; we mark the paragraph
        // as a bullet and drop hidden text.
        std::vector<std::u16string> wantBulletWords;
        for (std::u16string& p : want.paragraphs) {
            if (p.rfind(u"\u00B7\t", 0) == 0) {
                p.erase(0, 2);
                for (auto& w : wordsOf(p))
                    wantBulletWords.push_back(w);
            }
        }
        // rtf.js runs table cells together, so the text is compared without its white space.
        std::u16string wantText;
        for (const auto& p : want.paragraphs)
            wantText += p + u"\n";
        if (entry.path().filename() == "sample")
            wantText.erase(wantText.find(u"hidden"), 6);
        const std::u16string gotText = PlainText(doc);
        EXPECT_EQ(quillory::Utf16ToUtf8(withoutSeparators(gotText)),
                  quillory::Utf16ToUtf8(withoutSeparators(wantText)));

        std::vector<std::u16string> gotBulletWords;
        for (const Paragraph& p : doc.paragraphs)
            if (p.numbering == Numbering::Bullet)
                for (const auto& r : p.runs)
                    for (auto& w : wordsOf(r.text))
                        gotBulletWords.push_back(w);
        EXPECT_TRUE(gotBulletWords == wantBulletWords) << firstDifference(gotBulletWords, wantBulletWords);

        const bool control =
            source.find("Riched20") != std::string::npos || source.find("Msftedit") != std::string::npos;
        if (!control)
            continue;
        ++formatted;
        std::vector<StyledChar> got;
        std::vector<StyledChar> expected;
        for (const Paragraph& p : doc.paragraphs)
            for (const StyledChar& c : styledChars(p))
                got.push_back(c);
        for (const auto& p : want.chars)
            expected.insert(expected.end(), p.begin(), p.end());
        ASSERT_EQ(got.size(), expected.size());
        // rtf.js gives the part of a paragraph before a \line the alignment in effect there; the control
        // aligns the whole paragraph by its last paragraph properties. Those paragraphs are not compared.
        // rtf.js also drops the alignment of a paragraph that carries on its predecessor's properties
        // without \pard (the second paragraph of "hyperlink", whose own text says it is centred).
        std::size_t at = 0;
        for (std::size_t index = 0; index < doc.paragraphs.size(); ++index) {
            const Paragraph& p = doc.paragraphs[index];
            const std::size_t count = styledChars(p).size();
            const bool carriesOn = entry.path().filename() == "hyperlink" && index == 1;
            for (std::size_t k = at; k < at + count; ++k) {
                StyledChar e = expected[k];
                if (hasLineBreak(p))
                    e.align = got[k].align;
                if (carriesOn && e.align == "left")
                    e.align = "center";
                EXPECT_EQ(got[k], e) << "character " << k << " ('" << quillory::Utf16ToUtf8(std::u16string(1, got[k].c))
                                     << "') bold " << got[k].bold << "/" << e.bold << " italic " << got[k].italic << "/"
                                     << e.italic << " underline " << got[k].underline << "/" << e.underline << " align "
                                     << got[k].align << "/" << e.align;
            }
            at += count;
        }
    }
    EXPECT_GE(formatted, 5);
}

TEST(RtfCorpus, NonAsciiTextIsDecodedFromEachCodePage)
{
    const auto textOf = [](const fs::path& p) { return PlainText(ReadRtf(slurp(kCorpus / p))); };
    EXPECT_NE(textOf("striprtf/rtf/ansicpg1250.rtf").find(u"Proszę o zapoznanie się"), std::u16string::npos);
    EXPECT_NE(textOf("rtfjs/pile-of-poo/source.rtf").find(u"Iñtërnâtiônàlizætiøn☃\U0001F4A9"), std::u16string::npos);
    EXPECT_NE(textOf("rtfjs/infer-double-width/source.rtf").find(u"要やフぎば要立クモフ刑香カルオ洋8"),
              std::u16string::npos);
    EXPECT_NE(textOf("rtfjs/japanese-single-double-byte/source.rtf").find(u"（全角ひらがな）"), std::u16string::npos);
}

} // namespace
