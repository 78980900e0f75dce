#include "support/FormFixture.h"

#include "ui/form/HelpTexts.h"

#include <QAction>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

using namespace quillory;
using namespace quillory::test;

namespace {

class Links : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        project = makeProject("P.qlyp.dir", {"One", "Two"});
        writeConfig({.projectPath = project.u16string(), .currentItem = u"One"});
        start();
    }
    // Replaces the page as a load would: no edit, caret at the start.
    void setPage(const QString& text)
    {
        form->RE->setPlainText(text);
        form->Edited = false;
        form->RE->document()->setModified(false);
    }
    [[nodiscard]] QTextCharFormat charAt(int position) const
    {
        QTextCursor c(form->RE->document());
        c.setPosition(position + 1);
        return c.charFormat(); // the format of the character before the cursor
    }
    [[nodiscard]] bool isMarked(int position) const
    {
        const QTextCharFormat f = charAt(position);
        return f.fontUnderline() && f.foreground().color() == QColor(0, 0, 255);
    }
    // Which characters of the page are marked, as a string of 'x' (marked) and '.'.
    [[nodiscard]] std::string marks() const
    {
        std::string out;
        const QString text = form->RE->document()->toRawText();
        for (int i = 0; i < text.size(); ++i)
            out += isMarked(i) ? 'x' : '.';
        return out;
    }
    // A click with Ctrl held on the character at `position` (its left half).
    void ctrlClick(int position, Qt::KeyboardModifiers modifiers = Qt::ControlModifier)
    {
        QTextCursor c(form->RE->document());
        c.setPosition(position);
        form->RE->setTextCursor(c);
        form->RE->ensureCursorVisible();
        const QRect at = form->RE->cursorRect(c);
        // The caret waits elsewhere on the same line, so only the click can bring it there.
        c.setPosition(c.block().position());
        form->RE->setTextCursor(c);
        QTest::mouseClick(form->RE->viewport(), Qt::LeftButton, modifiers, at.center() + QPoint(2, 0));
        QCoreApplication::processEvents(); // the address is looked up after the editor took the press
    }
    fs::path project;
};

} // namespace

TEST_F(Links, HighlightingMarksEachAddressAloneAndLeavesEditedAlone)
{
    setPage(QStringLiteral("see www.a.org now\nabcwww.b.org\thttps://c.org http://www.d.org\nat end www.e.org"));
    QTextCursor selection(form->RE->document());
    selection.setPosition(2);
    selection.setPosition(9, QTextCursor::KeepAnchor);
    form->RE->setTextCursor(selection);

    form->HighlightWebLinkswww1->trigger();

    EXPECT_EQ(marks(), "....xxxxxxxxx........xxxxxxxxxxxxxxxxxxxxxxx.xxxxxxxxxxxxxxxx........xxxxxxxxx");
    EXPECT_FALSE(form->Edited);
    EXPECT_TRUE(form->RE->document()->isModified()); // the marks are stored with the page
    EXPECT_EQ(form->RE->textCursor().position(), 2); // the selection became a caret at its start
    EXPECT_FALSE(form->RE->textCursor().hasSelection());
}

TEST_F(Links, AMarkIsBlueUnderlineOnlyAndIsStoredWithThePage)
{
    setPage(QString());
    QTextCharFormat loud;
    loud.setFontWeight(QFont::Bold);
    loud.setFontItalic(true);
    loud.setFontStrikeOut(true);
    form->RE->textCursor().insertText(QStringLiteral("go www.a.org"), loud);
    form->Edited = false;

    form->DisplayLinks();
    const QTextCharFormat link = charAt(5);
    EXPECT_TRUE(isMarked(5));
    EXPECT_NE(link.fontWeight(), QFont::Bold);
    EXPECT_FALSE(link.fontItalic());
    EXPECT_FALSE(link.fontStrikeOut());
    EXPECT_EQ(charAt(0).fontWeight(), QFont::Bold); // the word before keeps its look

    click(1); // the item switch writes the page...
    click(0); // ...and loading it again brings the marks back
    EXPECT_EQ(page(), "go www.a.org");
    EXPECT_TRUE(isMarked(5));
    EXPECT_FALSE(isMarked(1));
}

TEST_F(Links, APageWithoutAddressesIsLeftAsItWas)
{
    const QString text = QStringLiteral("no addresses, not even WWW.A.ORG or ftp://a.org");
    setPage(text);
    QTextCursor selection(form->RE->document());
    selection.setPosition(3);
    selection.setPosition(12, QTextCursor::KeepAnchor);
    form->RE->setTextCursor(selection);

    form->DisplayLinks();
    EXPECT_EQ(marks(), std::string(static_cast<std::size_t>(text.size()), '.'));
    EXPECT_FALSE(form->RE->document()->isModified());
    EXPECT_EQ(form->RE->textCursor().selectionStart(), 3);
    EXPECT_EQ(form->RE->textCursor().selectionEnd(), 12);
}

TEST_F(Links, CtrlClickOpensTheAddressUnderTheMouse)
{
    struct Case {
        const char* what;
        QString page;
        int click;
        std::vector<std::u16string> opened;
    };
    const Case cases[] = {
        {"first character after a space", QStringLiteral("see www.a.org now"), 4, {u"www.a.org"}},
        {"at the very start", QStringLiteral("www.a.org\nnext"), 3, {u"www.a.org"}},
        {"at the very end", QStringLiteral("see www.a.org"), 12, {u"www.a.org"}},
        {"through a tab", QStringLiteral("www.a.org\tb c"), 0, {u"www.a.org\tb"}},
        {"http, whole", QStringLiteral("go http://a.org/x?y=1 now"), 5, {u"http://a.org/x?y=1"}},
        {"letters before www", QStringLiteral("abcwww.a.org"), 5, {}},
        {"the secure scheme", QStringLiteral("go https://www.a.org"), 5, {u"https://www.a.org"}},
        {"a word that is no address", QStringLiteral("just words"), 1, {}},
        {"white space", QStringLiteral("a     www.a.org"), 3, {}},
    };
    for (const Case& c : cases) {
        setPage(c.page);
        desktop.opened.clear();
        ctrlClick(c.click);
        EXPECT_EQ(desktop.opened, c.opened) << c.what;
    }
    EXPECT_FALSE(form->Edited);
}

TEST_F(Links, CtrlClickFarDownALongPageTakesThatLinesWord)
{
    QString text;
    for (int line = 0; line < 300; ++line)
        text += line == 250 ? QStringLiteral("first www.far.org third\n") : QStringLiteral("www.near.org filler\n");
    setPage(text);
    const int lineStart = form->RE->document()->findBlockByNumber(250).position();
    ctrlClick(lineStart + 8);
    EXPECT_EQ(desktop.opened, std::vector<std::u16string>{u"www.far.org"});
    EXPECT_GT(form->RE->verticalScrollBar()->value(), 0);

    desktop.opened.clear();
    ctrlClick(lineStart + 8, Qt::NoModifier); // a plain click only moves the caret
    EXPECT_TRUE(desktop.opened.empty());
}

TEST_F(Links, AnOpenerFailureIsShownInWords)
{
    setPage(QStringLiteral("www.a.org"));
    desktop.openResult = links::ShellResult::NoAssociation;
    desktop.expectInfo();
    ctrlClick(1);
    EXPECT_EQ(desktop.texts(ScriptedDesktop::Kind::Info),
              std::vector<std::u16string>{u"There is no application associated with the given filename extension."});
}

TEST_F(Links, RunFileSplitsArgumentsAndReportsFailures)
{
    EXPECT_TRUE(form->RunFile(u"/usr/bin/editor{ARGS}  notes.txt \t"));
    ASSERT_EQ(desktop.runs.size(), 1u);
    EXPECT_EQ(desktop.runs[0], (ScriptedDesktop::Run{u"/usr/bin/editor", u"notes.txt", u"/usr/bin/"}));

    desktop.openResult = links::ShellResult::FileNotFound;
    desktop.expectInfo();
    EXPECT_FALSE(form->RunFile(u"/nowhere/file.txt"));
    EXPECT_EQ(desktop.texts(ScriptedDesktop::Kind::Info).back(), u"The specified file was not found.");
}

TEST_F(Links, WebsiteOpensTheHomePageOrExplainsItself)
{
    form->Website1->trigger();
    ASSERT_EQ(desktop.runs.size(), 1u);
    EXPECT_EQ(desktop.runs[0], (ScriptedDesktop::Run{u"/usr/local/share/doc/quillory/README.md", u"",
                                                     u"/usr/local/share/doc/quillory/"}));

    setPage(QStringLiteral("www.a.org"));
    form->SpeedButton9->click();
    desktop.expectInfo();
    desktop.expectInfo();
    form->Website1->trigger();
    form->HighlightWebLinkswww1->trigger();
    EXPECT_EQ(desktop.texts(ScriptedDesktop::Kind::Info),
              (std::vector<std::u16string>{help::kWebsite, help::kHighlightWebLinks}));
    EXPECT_EQ(desktop.runs.size(), 1u);
    EXPECT_FALSE(isMarked(0));
    EXPECT_TRUE(help::kHighlightWebLinks.find(u"Example, www.example.com.  If any") != std::u16string::npos);
}
