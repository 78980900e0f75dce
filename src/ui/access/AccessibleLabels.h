#pragma once

class QLineEdit;
class QString;
class QWidget;

namespace quillory {

// Names for what a screen reader would otherwise meet unnamed.

// The line edit's clear button, shown while it holds text, named "Clear".
void enableNamedClearButton(QLineEdit& field);

// A hidden label naming `control` for screen readers, where the desktop's accessibility bridge
// names the control by its value (a combo box on Linux) and takes its name from a label beside it.
void labelForReaders(QWidget& control, const QString& text);

} // namespace quillory
