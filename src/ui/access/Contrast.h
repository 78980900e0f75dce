#pragma once

#include <QColor>

namespace quillory {

// Colours that must stay readable whatever the desktop's theme: the measure of the web's
// accessibility guidelines (WCAG 2), and a colour moved in lightness alone until it reads.

// The contrast ratio of two colours, from 1 (the same) to 21 (black on white); alpha is ignored.
[[nodiscard]] double contrastRatio(const QColor& a, const QColor& b);

// `wanted` itself when it reaches `ratio` against `background`; otherwise the same hue and
// saturation made lighter (on a dark background) or darker (on a light one), by the least that
// reaches the ratio, or as far as it goes (white or black) when nothing short of that does.
[[nodiscard]] QColor readableOn(const QColor& wanted, const QColor& background, double ratio);

// Text needs 4.5:1, a shape's outline 3:1.
inline constexpr double kTextContrast = 4.5;
inline constexpr double kShapeContrast = 3.0;

} // namespace quillory
