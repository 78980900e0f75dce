#include "ui/form/ControlKeys.h"

#include <QAction>
#include <QWidget>

namespace quillory {

void keysActIn(QWidget& control, QAction& action)
{
    action.setShortcutContext(Qt::WidgetShortcut);
    control.addAction(&action);
}

QAction* keysOf(QWidget& control, const QList<QKeySequence>& keys)
{
    auto* action = new QAction(&control);
    action->setShortcuts(keys);
    keysActIn(control, *action);
    return action;
}

} // namespace quillory
