// The palette a skin gives every window: the colours its Options.dat names,
// and every other colour role a control draws with derived from those, so
// that frames, outlines, links, disabled controls and the page button of
// the page on view all fit the skin and every text stays readable.
#pragma once

#include <QColor>
#include <QPalette>

#include "skin/skin_look.h"

// The relative luminance of an sRGB colour (WCAG 2), 0 for black to 1 for white.
double RelativeLuminance(const QColor& color);
// The contrast ratio of two colours (WCAG 2), from 1 to 21.
double ContrastRatio(const QColor& a, const QColor& b);
// The least contrast of a text against its background in every skin: the
// WCAG level for normal text.
inline constexpr double kReadableContrast = 4.5;

// The palette of `look` over `builtIn`, the toolkit's own palette. A folder
// skin derives what its file does not name; the built-in skin (a look that
// names nothing) keeps the toolkit's colours. Either way a text colour the
// file does not name is moved, as little as needed, until it reads at
// kReadableContrast against its background; inactive windows look like
// active ones.
QPalette SkinPalette(const SkinLook& look, const QPalette& builtIn);
