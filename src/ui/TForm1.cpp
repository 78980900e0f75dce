#include "ui/TForm1.h"

#include "platform/Desktop.h"

#include <QTimer>
#include <QWindow>

namespace quillory {

TForm1::TForm1(Desktop& desktop, QWidget* parent) : QMainWindow(parent), Timer1(new QTimer(this)), m_desktop(desktop)
{
    setObjectName(QStringLiteral("Form1"));
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(50);
    m_desktop.setOwner(this);
    Timer1->start();
}

TForm1::~TForm1() = default;

void TForm1::setStayOnTop(bool on)
{
    // On the window handle, so the X11 window is kept and only its state changes.
    if (QWindow* w = windowHandle())
        w->setFlag(Qt::WindowStaysOnTopHint, on);
    else
        setWindowFlag(Qt::WindowStaysOnTopHint, on);
}

void TForm1::ShowInfo(const std::u16string& text)
{
    m_desktop.showInfo(text);
}

std::u16string TForm1::PromptForText(const std::u16string& title, const std::u16string& prompt,
                                     const std::u16string& text)
{
    Timer1->stop();
    setStayOnTop(false);
    const auto answer = m_desktop.promptText(title, prompt, text);
    Timer1->start();
    return answer ? *answer : u"-1";
}

} // namespace quillory
