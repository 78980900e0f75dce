#include "ui/access/AccessibleLabels.h"

#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace quillory {

void enableNamedClearButton(QLineEdit& field)
{
    field.setClearButtonEnabled(true);
    // Qt makes the button with the action; it has no text of its own.
    for (QToolButton* button : field.findChildren<QToolButton*>())
        if (button->accessibleName().isEmpty())
            button->setAccessibleName(QStringLiteral("Clear"));
}

void labelForReaders(QWidget& control, const QString& text)
{
    auto* label = new QLabel(text, control.parentWidget());
    label->setObjectName(control.objectName() + QStringLiteral("Label"));
    label->setBuddy(&control);
    label->hide();
}

} // namespace quillory
