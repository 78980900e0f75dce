#include "support/FormFixture.h"

#include <QApplication>

#include "core/rtf/Rtf.h"
#include "ui/editor/RichEdit.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QTextBlock>
#include <QTextList>

#include <cctype>

using namespace quillory;
using namespace quillory::test;

namespace {

rtf::CharFormat withFont(const std::u16string& font, double points, rtf::Colour colour)
{
    rtf::CharFormat f;
    f.font = font;
    f.pointSize = points;
    f.colour = colour;
    return f;
}

class Toolbar : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        const fs::path project = home / "T.qlyp.dir";
        rtf::CharFormat bold;
        bold.bold = true;
        rtf::Document doc;
        doc.paragraphs = {
            {rtf::Alignment::Left, rtf::Numbering::None, {{u"plain ", {}}, {u"bold", bold}, {u" tail", {}}}},
            {rtf::Alignment::Left, rtf::Numbering::Bullet, {{u"bulleted", {}}}},
            {rtf::Alignment::Left, rtf::Numbering::None, {{u"serif red", withFont(u"DejaVu Serif", 14, 0x0000FF)}}},
            {rtf::Alignment::Left, rtf::Numbering::None, {{u"odd", withFont(u"NoSuchFont", 11, 0x563412)}}},
            {rtf::Alignment::Left, rtf::Numbering::Other, {{u"numbered", {}}}},
        };
        writeFile(project / "Page", rtf::WriteRtf(doc));
        writeConfig({.projectPath = project.u16string(), .currentItem = u"Page"});
        start();
        ASSERT_EQ(page(), "plain bold tail\nbulleted\nserif red\nodd\nnumbered");
        form->Edited = false;
    }

    [[nodiscard]] int at(const char* word) const { return form->RE->toPlainText().indexOf(QString::fromUtf8(word)); }
    void caretTo(int position, int anchor = -1)
    {
        QTextCursor c = form->RE->textCursor();
        c.setPosition(anchor < 0 ? position : anchor);
        c.setPosition(position, QTextCursor::KeepAnchor);
        form->RE->setTextCursor(c);
    }
    // Selects the word left to right, as a mouse drag does; `click` also runs the editor's click.
    void selectWord(const char* word, bool click)
    {
        caretTo(at(word) + static_cast<int>(std::strlen(word)), at(word));
        if (click)
            form->REClick(form->RE);
    }
    void clickInto(const char* word)
    {
        caretTo(at(word) + 1);
        form->REClick(form->RE);
    }
    [[nodiscard]] static bool framed(const QToolButton* b) { return !b->autoRaise(); }
    [[nodiscard]] std::string stored() const
    {
        const fs::path file = home / "stored.rtf";
        EXPECT_FALSE(richedit::savePage(*form->RE, file));
        return readFile(file);
    }
    // The format of the stored page's text at `word`, as our reader reads it back.
    [[nodiscard]] rtf::Paragraph storedParagraph(const char* word) const
    {
        const rtf::Document doc = rtf::ReadRtf(stored());
        const std::u16string w = QString::fromUtf8(word).toStdU16String();
        for (const auto& p : doc.paragraphs)
            for (const auto& r : p.runs)
                if (r.text.find(w) != std::u16string::npos)
                    return p;
        ADD_FAILURE() << word << " is not in the stored page";
        return {};
    }
    [[nodiscard]] rtf::CharFormat storedFormat(const char* word) const
    {
        const std::u16string w = QString::fromUtf8(word).toStdU16String();
        for (const auto& r : storedParagraph(word).runs)
            if (r.text.find(w) != std::u16string::npos)
                return r.format;
        return {};
    }
    [[nodiscard]] static bool hasWord(const std::string& rtf, const std::string& word)
    {
        // The control word itself, not one it begins (\i is not \i0 nor \intbl).
        const std::string needle = "\\" + word;
        for (auto at = rtf.find(needle); at != std::string::npos; at = rtf.find(needle, at + 1)) {
            const char next = at + needle.size() < rtf.size() ? rtf[at + needle.size()] : ' ';
            if (!std::isalnum(static_cast<unsigned char>(next)) && next != '-')
                return true;
        }
        return false;
    }
};

} // namespace

TEST_F(Toolbar, ShowsWhatTheClickedTextLooksLikeAndChangesNothing)
{
    struct Case {
        const char* word;
        QString font;
        QString size;
        int colourRow; // -1: no swatch
        bool bold, bullet;
    };
    const int fontRows = form->FontBox->count();
    ASSERT_GT(fontRows, 1);
    const std::string before = stored();
    const int revision = form->RE->document()->revision();
    const Case cases[] = {
        {"bold", {}, {}, 0, true, false},     // the automatic colour shows as black
        {"bulleted", {}, {}, 0, false, true}, // a bullet
        {"numbered", {}, {}, 0, false, true}, // any list counts
        {"serif", QStringLiteral("DejaVu Serif"), QStringLiteral("14"), 9, false, false},
        {"odd", QString(), QStringLiteral("11"), -1, false, false}, // unknown font, colour not a swatch
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.word);
        clickInto(c.word);
        if (!c.font.isNull()) {
            EXPECT_EQ(form->FontBox->currentText(), c.font);
            EXPECT_EQ(form->FontBox->currentIndex() < 0, c.font.isEmpty());
        }
        if (!c.size.isEmpty()) {
            EXPECT_EQ(form->SizeBox->currentText(), c.size);
        }
        EXPECT_EQ(form->Colour->currentIndex(), c.colourRow);
        EXPECT_EQ(framed(form->SpeedButton10), c.bold);
        EXPECT_FALSE(framed(form->SpeedButton11) || framed(form->SpeedButton12) || framed(form->SpeedButton13));
        EXPECT_EQ(framed(form->SpeedButton17), c.bullet);
        EXPECT_TRUE(framed(form->SpeedButton14));
    }
    EXPECT_FALSE(form->Edited);
    EXPECT_EQ(form->RE->document()->revision(), revision);
    EXPECT_EQ(stored(), before);
    EXPECT_EQ(form->FontBox->count(), fontRows);
}

TEST_F(Toolbar, AStyleButtonAppliesTheShownStateOfAllFiveButtons)
{
    // Selected with the mouse: the toolbar shows bold, so "I" makes it bold italic.
    selectWord("bold", true);
    form->SpeedButton11->click();
    EXPECT_TRUE(form->Edited);
    EXPECT_TRUE(framed(form->SpeedButton11));
    rtf::CharFormat f = storedFormat("bold");
    EXPECT_TRUE(f.bold && f.italic);
    EXPECT_TRUE(hasWord(stored(), "i"));

    // Selected with the keys after a click into plain text: the toolbar still shows plain, so "I"
    // makes the word italic and no longer bold.
    form->SpeedButton11->click(); // italic off again
    clickInto("plain");
    selectWord("bold", false);
    form->SpeedButton11->click();
    f = storedFormat("bold");
    EXPECT_TRUE(f.italic);
    EXPECT_FALSE(f.bold);
    EXPECT_EQ(storedParagraph("bold").numbering, rtf::Numbering::None);

    // Nothing selected: what is typed next takes the style.
    caretTo(at("tail") + 4);
    form->REClick(form->RE);
    form->SpeedButton13->click();
    QTest::keyClicks(form->RE, QStringLiteral("Z"));
    EXPECT_TRUE(storedFormat("Z").strikeout);
    EXPECT_FALSE(storedFormat("tail").strikeout);
    EXPECT_TRUE(framed(form->SpeedButton13));
}

TEST_F(Toolbar, EveryControlHasANameForScreenReaders)
{
    for (const QToolButton* button : form->Panel1->findChildren<QToolButton*>()) {
        EXPECT_FALSE(button->accessibleName().isEmpty()) << button->objectName().toStdString();
        EXPECT_FALSE(button->accessibleName().contains(QLatin1Char('\r'))) << button->objectName().toStdString();
    }
    for (const QWidget* control : std::initializer_list<const QWidget*>{
             form->LB, form->OpenRecent, form->RE, form->FontBox, form->SizeBox, form->Colour, form->SearchBox})
        EXPECT_FALSE(control->accessibleName().isEmpty()) << control->objectName().toStdString();
    EXPECT_EQ(form->Colour->itemData(9, Qt::AccessibleTextRole).toString(), QStringLiteral("Red"));
}

TEST_F(Toolbar, CtrlBIAndUInTheEditorAreTheStyleButtons)
{
    QApplication::setActiveWindow(form.get());
    form->RE->setFocus();
    selectWord("plain", true);
    QTest::keyClick(form->RE, Qt::Key_B, Qt::ControlModifier);
    QTest::keyClick(form->RE, Qt::Key_U, Qt::ControlModifier);
    EXPECT_TRUE(form->Edited);
    rtf::CharFormat f = storedFormat("plain");
    EXPECT_TRUE(f.bold && f.underline && !f.italic);
    EXPECT_TRUE(framed(form->SpeedButton10));
    QTest::keyClick(form->RE, Qt::Key_B, Qt::ControlModifier);
    EXPECT_FALSE(storedFormat("plain").bold);
    EXPECT_EQ(page(), "plain bold tail\nbulleted\nserif red\nodd\nnumbered"); // no letter typed
}

TEST_F(Toolbar, StyleButtonsWriteBulletsFromTheBulletButtonsLook)
{
    // Flat bullet button (shown for plain text) and a keyboard move into the bulleted line: "B"
    // takes the bullet away.
    clickInto("plain");
    selectWord("bulleted", false);
    form->SpeedButton10->click();
    EXPECT_EQ(storedParagraph("bulleted").numbering, rtf::Numbering::None);
    EXPECT_TRUE(storedFormat("bulleted").bold);
    EXPECT_FALSE(hasWord(stored(), "pnlvlblt"));

    // A numbered line clicked into shows the bullet framed; "U" underlines and keeps the numbers.
    selectWord("numbered", true);
    form->SpeedButton12->click();
    EXPECT_EQ(storedParagraph("numbered").numbering, rtf::Numbering::Other);
    EXPECT_TRUE(storedFormat("numbered").underline);

    // The bullet button itself: on for a plain line, off again.
    clickInto("tail");
    form->SpeedButton17->click();
    EXPECT_EQ(storedParagraph("tail").numbering, rtf::Numbering::Bullet);
    EXPECT_TRUE(hasWord(stored(), "pnlvlblt"));
    form->SpeedButton17->click();
    EXPECT_EQ(storedParagraph("tail").numbering, rtf::Numbering::None);
    EXPECT_TRUE(form->Edited);
}

TEST_F(Toolbar, EnterInTheSizeBoxAppliesTheClampedSizeAndIsNeverTyped)
{
    struct Case {
        const char* typed;
        double applied;
        const char* shown;
        const char* word; // the stored control word
    };
    const Case cases[] = {
        {"2", 4, "4", "fs8"},
        {"900", 500, "500", "fs1000"},
        {"abc", 4, "4", "fs8"},
        {"12pt", 12, "12pt", "fs24"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        selectWord("tail", true);
        form->Edited = false;
        form->SizeBox->lineEdit()->selectAll();
        QTest::keyClicks(form->SizeBox->lineEdit(), QString::fromUtf8(c.typed));
        QTest::keyClick(form->SizeBox->lineEdit(), Qt::Key_Return);
        EXPECT_EQ(form->SizeBox->currentText().toStdString(), c.shown);
        EXPECT_EQ(storedFormat("tail").pointSize, c.applied);
        EXPECT_TRUE(hasWord(stored(), c.word));
        EXPECT_TRUE(form->Edited);
        EXPECT_EQ(form->SizeBox->count(), 30); // nothing was added to the list
    }
}

TEST_F(Toolbar, ASizeFromTheListAppliesAndATypedOneWithoutEnterDoesNot)
{
    selectWord("tail", true);
    form->SizeBox->lineEdit()->selectAll();
    QTest::keyClicks(form->SizeBox->lineEdit(), QStringLiteral("30"));
    form->RE->setFocus();
    EXPECT_FALSE(form->Edited);
    EXPECT_EQ(storedFormat("tail").pointSize, 0);

    const int row = form->SizeBox->findText(QStringLiteral("96"));
    form->SizeBox->setCurrentIndex(row);
    emit form->SizeBox->activated(row);
    EXPECT_EQ(storedFormat("tail").pointSize, 96);
    EXPECT_TRUE(hasWord(stored(), "fs192"));
    EXPECT_TRUE(form->Edited);
}

TEST_F(Toolbar, AlignmentButtonsAreFramedOnlyByTheNextClickOrChange)
{
    clickInto("plain");
    form->SpeedButton15->click();
    EXPECT_EQ(storedParagraph("plain").alignment, rtf::Alignment::Centre);
    EXPECT_TRUE(hasWord(stored(), "qc"));
    EXPECT_TRUE(form->Edited);
    EXPECT_FALSE(framed(form->SpeedButton15));
    EXPECT_TRUE(framed(form->SpeedButton14));
    form->REClick(form->RE);
    EXPECT_TRUE(framed(form->SpeedButton15));
    EXPECT_FALSE(framed(form->SpeedButton14));

    form->SpeedButton16->click();
    EXPECT_FALSE(framed(form->SpeedButton16));
    QTest::keyClick(form->RE, Qt::Key_X); // a change in the editor
    EXPECT_TRUE(framed(form->SpeedButton16));
    EXPECT_TRUE(hasWord(stored(), "qr"));
}

TEST_F(Toolbar, ColourAndFontApplyTheChosenEntry)
{
    selectWord("tail", true);
    form->Colour->setCurrentIndex(1); // maroon
    emit form->Colour->activated(1);
    EXPECT_EQ(storedFormat("tail").colour, 0x000080u);
    EXPECT_NE(stored().find("\\red128\\green0\\blue0;"), std::string::npos);

    const int serif = form->FontBox->findText(QStringLiteral("DejaVu Serif"));
    ASSERT_GE(serif, 0);
    form->FontBox->setCurrentIndex(serif);
    emit form->FontBox->activated(serif);
    EXPECT_EQ(storedFormat("tail").font, u"DejaVu Serif");
    EXPECT_EQ(storedFormat("plain").font, u""); // only the selection
    EXPECT_TRUE(form->Edited);
    EXPECT_EQ(form->Colour->currentIndex(), 1);
}

TEST_F(Toolbar, FontBoxListsEveryFamilyOnceSortedWithDefault)
{
    QStringList entries;
    for (int i = 0; i < form->FontBox->count(); ++i)
        entries.append(form->FontBox->itemText(i));
    EXPECT_TRUE(entries.contains(QStringLiteral("Default")));
    EXPECT_TRUE(entries.contains(QStringLiteral("DejaVu Sans")));
    for (qsizetype i = 1; i < entries.size(); ++i)
        EXPECT_LT(QString::compare(entries[i - 1], entries[i], Qt::CaseInsensitive), 0) << entries[i].toStdString();
    for (const QString& e : entries)
        EXPECT_FALSE(e.endsWith(QLatin1Char(']'))) << e.toStdString(); // the family, not its foundry
}

TEST_F(Toolbar, CharacterKeysSetEditedAndOtherKeysOnlyWhenTheyChangeThePage)
{
    struct Case {
        const char* what;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int caret;
        bool edited;
    };
    const Case cases[] = {
        {"a letter", Qt::Key_A, Qt::NoModifier, 3, true},
        {"Backspace at the very start", Qt::Key_Backspace, Qt::NoModifier, 0, true},
        {"Enter", Qt::Key_Return, Qt::NoModifier, 3, true},
        {"an arrow key", Qt::Key_Right, Qt::NoModifier, 3, false},
        {"Delete, which changes the page", Qt::Key_Delete, Qt::NoModifier, 3, true},
        {"Delete at the very end", Qt::Key_Delete, Qt::NoModifier, -1, false},
        {"Ctrl+C", Qt::Key_C, Qt::ControlModifier, 3, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        form->Edited = false;
        caretTo(c.caret < 0 ? form->RE->document()->characterCount() - 1 : c.caret);
        QTest::keyClick(form->RE, c.key, c.modifiers);
        EXPECT_EQ(form->Edited, c.edited);
    }
}

TEST_F(Toolbar, AMouseClickInTheEditorRefreshesTheToolbar)
{
    selectWord("tail", true);
    EXPECT_FALSE(framed(form->SpeedButton10));
    caretTo(at("bold") + 2); // a keyboard move: the toolbar stays as it was
    EXPECT_FALSE(framed(form->SpeedButton10));
    const QRect caret = form->RE->cursorRect();
    QTest::mouseClick(form->RE->viewport(), Qt::LeftButton, {}, caret.center());
    QTest::qWait(0);
    QCoreApplication::processEvents();
    EXPECT_TRUE(framed(form->SpeedButton10));
}

TEST_F(Toolbar, AnItemSwitchShowsTheNewPagesAttributes)
{
    const fs::path other = bufferDir() / "Other";
    rtf::Document bold;
    rtf::CharFormat f;
    f.bold = true;
    bold.paragraphs = {{rtf::Alignment::Right, rtf::Numbering::None, {{u"heavy", f}}}};
    writeFile(other, rtf::WriteRtf(bold));
    form->Reload1Click();
    clickInto("plain");
    EXPECT_FALSE(framed(form->SpeedButton10));
    click(form->LB->row(form->LB->findItems(QStringLiteral("Other"), Qt::MatchExactly).value(0)));
    ASSERT_EQ(form->CurrentItem, u"Other");
    EXPECT_TRUE(framed(form->SpeedButton10));
    EXPECT_TRUE(framed(form->SpeedButton16));
    EXPECT_FALSE(form->Edited);
}

TEST_F(Toolbar, FormattingAnEmptyPageReachesItsFile)
{
    writeFile(bufferDir() / "Empty", "");
    form->Reload1Click();
    const auto row = [&](const char* name) {
        return form->LB->row(form->LB->findItems(QString::fromUtf8(name), Qt::MatchExactly).value(0));
    };
    click(row("Empty"));
    ASSERT_EQ(form->CurrentItem, u"Empty");
    form->SpeedButton15->click();
    form->SpeedButton17->click();
    click(row("Page"));
    ASSERT_EQ(form->CurrentItem, u"Page");
    const rtf::Document empty = rtf::ReadRtf(readFile(bufferDir() / "Empty"));
    ASSERT_FALSE(empty.paragraphs.empty());
    EXPECT_EQ(empty.paragraphs[0].alignment, rtf::Alignment::Centre);
    EXPECT_EQ(empty.paragraphs[0].numbering, rtf::Numbering::Bullet);
}

TEST_F(Toolbar, NothingIsFormattedOrEditedWithoutAPageShown)
{
    form->RE->setReadOnly(true); // as when no item's page could be loaded
    const std::string before = stored();
    selectWord("plain", true);
    form->SpeedButton10->click();
    form->SpeedButton15->click();
    QTest::keyClick(form->RE, Qt::Key_A);
    EXPECT_EQ(stored(), before);
    EXPECT_FALSE(form->Edited);
}
