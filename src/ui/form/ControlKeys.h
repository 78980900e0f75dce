#pragma once

#include <QKeySequence>
#include <QList>

class QAction;
class QWidget;

namespace quillory {

// Keys that act only while one control has the focus, so they never take a key that another
// control, or the same key elsewhere in the window, needs.

// `action` acts on its keys while `control` has the focus.
void keysActIn(QWidget& control, QAction& action);

// A new action for `keys`, owned by `control` and acting while it has the focus.
[[nodiscard]] QAction* keysOf(QWidget& control, const QList<QKeySequence>& keys);

} // namespace quillory
