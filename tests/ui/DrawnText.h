// SPDX-License-Identifier: GPL-3.0-or-later
// Looking at texts as a widget drew them: whether a text in a cell of a grabbed image was drawn
// whole, or cut short or ended in "..." by a cell too narrow for it.
#pragma once

#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>

// The leftmost and rightmost pixel columns of dark ink (text) in a rectangle of the image.
struct Ink {
    int Left = -1;
    int Right = -1;
    int Width() const { return Left < 0 ? 0 : Right - Left + 1; }
};
Ink InkIn(const QImage& image, const QRect& rect);

// The width of the ink of a text drawn alone, dark on white, in the font.
int InkWidthAlone(const QString& text, const QFont& font);

// Expects the text (its leading and trailing blanks aside) drawn whole in the cell of the
// image: as wide an ink as drawn alone, clear of the cell's right edge. Texts drawn dark on a
// light background only.
void ExpectDrawnWhole(const QImage& image, const QRect& cell, const QString& text,
                      const QFont& font);
