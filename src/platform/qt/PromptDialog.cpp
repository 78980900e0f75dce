#include "platform/qt/PromptDialog.h"

#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace quillory {

PromptDialog::PromptDialog(const QString& title, const QString& prompt, const QString& text, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_label(new QLabel(prompt, this)), m_edit(new QLineEdit(this)), m_ok(new QPushButton(tr("OK"), this)),
      m_cancel(new QPushButton(tr("Cancel"), this))
{
    setObjectName(QStringLiteral("PromptDialog"));
    setWindowTitle(title);
    m_label->setObjectName(QStringLiteral("PromptLabel"));
    m_edit->setObjectName(QStringLiteral("PromptEdit"));
    m_ok->setObjectName(QStringLiteral("PromptOK"));
    m_cancel->setObjectName(QStringLiteral("PromptCancel"));

    const QFontMetrics fm(font());
    const int avg = fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 52;
    const auto dx = [avg](int units) { return units * avg / 4; };
    const auto dy = [&fm](int units) { return units * fm.height() / 8; };

    m_label->setWordWrap(true);
    const int labelWidth = dx(164);
    m_label->setGeometry(dx(8), dy(8), labelWidth, m_label->heightForWidth(labelWidth));

    m_edit->setMaxLength(255);
    m_edit->setText(text);
    m_edit->selectAll();
    m_edit->setGeometry(dx(8), m_label->geometry().bottom() + 1 + 5, dx(164), m_edit->sizeHint().height());

    const int buttonsTop = m_edit->geometry().bottom() + 1 + 15;
    m_ok->setGeometry(dx(38), buttonsTop, dx(50), dy(14));
    m_cancel->setGeometry(dx(92), buttonsTop, dx(50), dy(14));
    m_ok->setDefault(true);
    m_ok->setAutoDefault(true);
    m_cancel->setAutoDefault(false);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    // QDialog already maps Escape and the title-bar close to reject().
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    setFixedSize(dx(180), m_ok->geometry().bottom() + 1 + 13);
    m_edit->setFocus();
}

QString PromptDialog::text() const
{
    return m_edit->text();
}

} // namespace quillory
