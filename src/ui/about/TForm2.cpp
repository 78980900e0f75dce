#include "ui/about/TForm2.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <QWindow>
#include <QVBoxLayout>

#include "ui/form/Glyphs.h"

#ifndef QUILLORY_VERSION
#error "QUILLORY_VERSION must be defined by the build"
#endif

namespace quillory {

namespace {
// How often, and how long, to look for the frame. The time is the clock's, not a count of looks:
// on a loaded machine the looks come late, and the window manager's answer later still.
constexpr int kPlaceCheckMs = 20;
constexpr int kPlaceForMs = 5000;
} // namespace

TForm2::TForm2(QWidget* mainWindow)
    : QDialog(mainWindow, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), m_mainWindow(mainWindow),
      m_placer(new QTimer(this))
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("About Quillory"));
    setModal(true);
    setSizeGripEnabled(false);
    const QIcon icon = Glyph(GlyphId::Tray);
    setWindowIcon(icon);

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("AboutIcon"));
    picture->setPixmap(icon.pixmap(QSize(64, 64)));
    picture->setAlignment(Qt::AlignTop);

    auto* name = new QLabel(QStringLiteral("Quillory"), this);
    name->setObjectName(QStringLiteral("AboutName"));
    QFont nameFont = name->font();
    nameFont.setBold(true);
    nameFont.setPointSizeF(nameFont.pointSizeF() * 1.6);
    name->setFont(nameFont);

    auto* version = new QLabel(QStringLiteral("Version %1").arg(QStringLiteral(QUILLORY_VERSION)), this);
    version->setObjectName(QStringLiteral("AboutVersion"));
    version->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* description = new QLabel(
        QStringLiteral("A rich-text notebook in the system tray: prepared text into any program, fast."), this);
    description->setObjectName(QStringLiteral("AboutDescription"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setObjectName(QStringLiteral("AboutOK"));
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* text = new QVBoxLayout;
    text->addWidget(name);
    text->addWidget(version);
    text->addSpacing(8);
    text->addWidget(description);
    text->addStretch();

    auto* top = new QHBoxLayout;
    top->setSpacing(16);
    top->addWidget(picture);
    top->addLayout(text);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(8);
    layout->addWidget(buttons);

    // The size is settled once from the content and never changes afterwards.
    setFixedSize(sizeHint());

    m_placer->setInterval(kPlaceCheckMs);
    connect(m_placer, &QTimer::timeout, this, &TForm2::placeOnceFramed);
}

QPoint TForm2::placeOverMain() const
{
    // Frame geometry on both sides, so the title bars line up and the centres match whatever
    // the window manager's decorations.
    const QRect main = m_mainWindow->frameGeometry();
    return {main.left() + main.width() / 2 - frameGeometry().width() / 2, main.top() + 42};
}

void TForm2::showEvent(QShowEvent* event)
{
    if (m_mainWindow != nullptr && !event->spontaneous()) {
        // move() places the frame's top-left corner.
        move(placeOverMain());
        m_placeUntil = QDeadlineTimer(kPlaceForMs);
        m_placer->start();
    }
    QDialog::showEvent(event);
}

void TForm2::placeOnceFramed()
{
    const QWindow* window = windowHandle();
    if (!isVisible() || window == nullptr || m_placeUntil.hasExpired()) {
        m_placer->stop();
        return;
    }
    if (window->frameMargins().isNull())
        return;
    // A move takes effect when the window manager says so, and it may place the window after the
    // frame is known: look again until the window stands where it should.
    if (frameGeometry().topLeft() != placeOverMain()) {
        move(placeOverMain());
        return;
    }
    m_placer->stop();
}

} // namespace quillory
