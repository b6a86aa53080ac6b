// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QPalette>

// Contrast as WCAG 2 measures it: (L1 + 0.05) / (L2 + 0.05) of the relative luminances,
// lighter over darker, from 1 to 21.
double ContrastRatio(const QColor &a, const QColor &b);

// The colour to draw text in over this fill: the palette's role when it reads at 4.5 : 1
// or better, else black or white, whichever reads better. The fills of the keys and fields
// are fixed colours, while the text colour comes from the desktop's theme: a dark theme's
// light text on a cream key would be close to invisible.
QColor ReadableTextColour(const QColor &fill, const QPalette &palette,
                          QPalette::ColorRole role = QPalette::WindowText);
