#pragma once

#include <QDeadlineTimer>
#include <QDialog>
#include <QPoint>

class QShowEvent;
class QTimer;

namespace quillory {

// The About window: product name, version and a one-line description, modal and of fixed size.
// mainWindow is its parent (it owns the dialog) and the window it places itself over on every show.
// The window manager's frame is known only some time after the first show: the window is placed
// at once as well as it can be, and once more when its frame is known.
class TForm2 final : public QDialog {
    Q_OBJECT
public:
    explicit TForm2(QWidget* mainWindow);

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Where the frame's top-left corner belongs over the main window as it stands now.
    [[nodiscard]] QPoint placeOverMain() const;
    void placeOnceFramed();

    QWidget* m_mainWindow;
    QTimer* m_placer;
    QDeadlineTimer m_placeUntil; // the frame is looked for until then
};

} // namespace quillory
