#include "ui/access/Contrast.h"

#include <algorithm>
#include <cmath>

namespace quillory {

namespace {

double channel(double value)
{
    return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

double luminance(const QColor& colour)
{
    const QColor rgb = colour.toRgb();
    return 0.2126 * channel(rgb.redF()) + 0.7152 * channel(rgb.greenF()) + 0.0722 * channel(rgb.blueF());
}

} // namespace

double contrastRatio(const QColor& a, const QColor& b)
{
    const double first = luminance(a);
    const double second = luminance(b);
    return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

QColor readableOn(const QColor& wanted, const QColor& background, double ratio)
{
    if (contrastRatio(wanted, background) >= ratio)
        return wanted;
    const QColor hsl = wanted.toHsl();
    const double hue = hsl.hslHueF(); // -1 for greys, which QColor takes back as such
    const double saturation = hsl.hslSaturationF();
    // Away from the background: lighter on a dark one, darker on a light one.
    const bool lighter = luminance(background) < 0.18;
    // Judged as painted: in 8-bit channels, whose rounding can cost the last hundredth of a ratio.
    const auto at = [&](double lightness) { return QColor(QColor::fromHslF(hue, saturation, lightness).rgb()); };
    double near = hsl.lightnessF();
    double far = lighter ? 1.0 : 0.0;
    if (contrastRatio(at(far), background) < ratio)
        return at(far);
    // Contrast grows steadily towards `far`: halve the stretch to the least lightness that reads.
    for (int i = 0; i < 20; ++i) {
        const double middle = (near + far) / 2;
        (contrastRatio(at(middle), background) >= ratio ? far : near) = middle;
    }
    return at(far);
}

} // namespace quillory
