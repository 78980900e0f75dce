#pragma once

#include <QDialog>

class QShowEvent;

namespace quillory {

// The About window: product name, version and a one-line description, modal and of fixed size.
// mainWindow is its parent (it owns the dialog) and the window it places itself over on every show.
class TForm2 final : public QDialog {
    Q_OBJECT
public:
    explicit TForm2(QWidget* mainWindow);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* m_mainWindow;
};

} // namespace quillory
