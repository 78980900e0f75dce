#include "ui/form/TForm1.h"

#include "platform/Desktop.h"
#include "ui/form/Glyphs.h"
#include "ui/find/FindBar.h"
#include "ui/find/SearchResults.h"
#include "ui/form/HelpTexts.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTextEdit>
#include <QToolButton>

namespace quillory {

bool TForm1::helpBranch(QObject* Sender, std::initializer_list<const QObject*> senders, const std::u16string& text)
{
    if (!HelpMode || Sender == this)
        return false;
    if (senders.size() != 0 && std::find(senders.begin(), senders.end(), Sender) == senders.end())
        return false;
    ShowInfo(text);
    return true;
}

void TForm1::flipBack(QAction* option)
{
    option->setChecked(!option->isChecked());
}

void TForm1::SpeedButton9Click(QObject*)
{
    HelpMode = !HelpMode;
    SpeedButton9->setChecked(HelpMode);
    applyHelpGlyph();
    for (QWidget* control : std::initializer_list<QWidget*>{
             LB, RE, SearchBox, SearchList, FindBar1, FontBox, SizeBox, Colour, SpeedButton10, SpeedButton11,
             SpeedButton12, SpeedButton13, SpeedButton14, SpeedButton15, SpeedButton16, SpeedButton17})
        control->setEnabled(!HelpMode);
}

void TForm1::applyHelpGlyph()
{
    SpeedButton9->setIcon(Glyph(HelpMode ? GlyphId::HelpOn : GlyphId::HelpOff));
}

void TForm1::SpeedButton6Click(QObject*)
{
    ShowInfo(OverviewText());
}

void TForm1::ReminderSetup1Click(QObject*)
{
    ShowInfo(help::kReminderSetup);
}

} // namespace quillory
