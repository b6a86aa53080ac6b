// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "textcolour.h"

#include <cmath>

namespace {

// The least contrast WCAG 2 asks of normal text (level AA).
constexpr double ReadableContrast = 4.5;

double Linear(double channel)
{
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double RelativeLuminance(const QColor &colour)
{
    const QColor rgb = colour.toRgb();
    return 0.2126 * Linear(rgb.redF()) + 0.7152 * Linear(rgb.greenF()) + 0.0722 * Linear(rgb.blueF());
}

} // namespace

double ContrastRatio(const QColor &a, const QColor &b)
{
    const double la = RelativeLuminance(a);
    const double lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor ReadableTextColour(const QColor &fill, const QPalette &palette, QPalette::ColorRole role)
{
    const QColor themed = palette.color(role);
    if (ContrastRatio(themed, fill) >= ReadableContrast)
        return themed;
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    return ContrastRatio(black, fill) >= ContrastRatio(white, fill) ? black : white;
}
