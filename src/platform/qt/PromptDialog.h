#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace quillory {

// The one-line text prompt, laid out in dialog units of its font (a horizontal unit is a
// quarter of the average character width, a vertical unit an eighth of the height).
class PromptDialog final : public QDialog {
    Q_OBJECT
public:
    PromptDialog(const QString& title, const QString& prompt, const QString& text, QWidget* owner);

    [[nodiscard]] QString text() const;

private:
    QLabel* m_label;
    QLineEdit* m_edit;
    QPushButton* m_ok;
    QPushButton* m_cancel;
};

} // namespace quillory
