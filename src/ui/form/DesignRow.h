#pragma once

#include <QLayout>
#include <QRect>
#include <QSize>
#include <QString>

#include <vector>

namespace quillory {

// A row of controls at the pixel positions they were designed at, with the design's font (9
// points). A control that shows text grows by as much as its sample text grows in the control's
// current font, and everything to its right moves along by what it gained; the row grows in
// height with its tallest control, the others centred in it. Controls anchored right keep their
// distance from the right edge. At the design's font size every position is the design's.
class DesignRow final : public QLayout {
    Q_OBJECT
public:
    enum class Anchor { Left, Right };
    static constexpr double kDesignPointSize = 9.0;

    // `design` is the row's designed size; positions given to `add` are in it.
    DesignRow(QWidget* parent, QSize design);
    ~DesignRow() override;
    DesignRow(const DesignRow&) = delete;
    DesignRow& operator=(const DesignRow&) = delete;

    // `sample` is the text the design made room for; empty for a control whose size is fixed.
    void add(QWidget* widget, QRect design, Anchor anchor = Anchor::Left, QString sample = {});

    void addItem(QLayoutItem* item) override; // an item without a design sits at the row's origin
    [[nodiscard]] QLayoutItem* itemAt(int index) const override;
    [[nodiscard]] QLayoutItem* takeAt(int index) override;
    [[nodiscard]] int count() const override;
    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSize() const override;
    void setGeometry(const QRect& rect) override;

private:
    struct Entry {
        QLayoutItem* item;
        QRect design;
        Anchor anchor;
        QString sample;
    };
    // The size an entry takes in the current font.
    [[nodiscard]] static QSize sizeOf(const Entry& entry);
    [[nodiscard]] int height() const;
    // How far the left-anchored controls reach beyond their design, all together.
    [[nodiscard]] int leftGrowth() const;

    // Raises the window's minimum width to what the row needs, never below the window's own.
    void keepWindowWideEnough();

    std::vector<Entry> m_entries;
    QSize m_design;
    int m_windowMinimum = -1; // the window's minimum width before the row had a say
};

} // namespace quillory
