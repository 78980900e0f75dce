#pragma once

#include <QProxyStyle>

namespace quillory {

// The desktop's own style with a focus mark that can be seen: a two-pixel frame in the theme's
// highlight colour, made to stand 3:1 against the window, around the whole of a focused button or
// row. Styles draw a faint one, often inside the button over its picture.
class FocusFrameStyle final : public QProxyStyle {
    Q_OBJECT
public:
    // Over `base` (owned), or over the desktop's style when null.
    explicit FocusFrameStyle(QStyle* base = nullptr);

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
};

} // namespace quillory
