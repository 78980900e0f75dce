#pragma once

#include <QLabel>
#include <QString>

namespace quillory {

// A field of the status bar: as wide as designed, or as its widest expected text needs in the
// current font, whichever is more, so a larger desktop font never clips it and a number that
// grows never makes the bar jump.
class StatusField final : public QLabel {
    Q_OBJECT
public:
    StatusField(const QString& text, int designWidth, QString widest, QWidget* parent);

    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;

private:
    int m_designWidth;
    QString m_widest;
};

} // namespace quillory
