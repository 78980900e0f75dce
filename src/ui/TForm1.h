#pragma once

#include <QMainWindow>

#include <string>

class QTimer;

namespace quillory {

class Desktop;

// The main window. Its handlers are defined in one source file per concern.
class TForm1 final : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(Desktop& desktop, QWidget* parent = nullptr);
    ~TForm1() override;

    // The one-line prompt: pauses the housekeeping tick and drops stay-on-top while open.
    // Returns the entered text, or "-1" when cancelled.
    std::u16string PromptForText(const std::u16string& title, const std::u16string& prompt,
                                 const std::u16string& text);
    // Information box with a single OK.
    void ShowInfo(const std::u16string& text);

    QTimer* Timer1;

private:
    void setStayOnTop(bool on);

    Desktop& m_desktop;
};

} // namespace quillory
