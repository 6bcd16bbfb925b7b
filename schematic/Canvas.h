// SPDX-License-Identifier: GPL-3.0-or-later
// The drawing surface of the schematic: an image with a pen, a fill and a font, drawn on with
// the rules the layout's coordinates assume. A rectangle's right and bottom edges and a line's
// end point are not painted, so boxes that share an edge and lines that meet do not overdraw.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>

#include <optional>

class TCanvas {
public:
    // Draws on image, which must outlive the canvas; an image of another depth is converted
    // to 32-bit pixels first.
    explicit TCanvas(QImage& image);
    virtual ~TCanvas() = default;

    QColor PenColor = Qt::white;
    std::optional<QColor> Fill; // no value: interiors and text backgrounds stay as they are
    QFont Font;                 // texts are black

    QImage& Image() { return FImage; }

    // Paints the rectangle with the fill colour, without an outline.
    void FillRect(int x1, int y1, int x2, int y2);
    // An outline in the pen colour around an interior in the fill colour. The corners may come
    // in either order.
    void Rectangle(int x1, int y1, int x2, int y2);
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    // Writes text with its top left corner at (x, y), on the fill colour when there is one.
    virtual void TextOut(int x, int y, const QString& text);

private:
    void Plot(int x, int y, QRgb colour);
    void Span(int x1, int y1, int x2, int y2, QRgb colour); // [x1, x2) x [y1, y2), clipped

    QImage& FImage;
    int FPenX = 0;
    int FPenY = 0;
};
