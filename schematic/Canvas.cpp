// SPDX-License-Identifier: GPL-3.0-or-later
#include "schematic/Canvas.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cstdlib>
#include <utility>

TCanvas::TCanvas(QImage& image) : FImage(image) {
    // Rows are filled as 32-bit pixels.
    if (FImage.depth() != 32)
        FImage = FImage.convertToFormat(QImage::Format_RGB32);
    Font.setPixelSize(11); // text lines of the layout are 15 to 20 pixels apart
}

void TCanvas::Plot(int x, int y, QRgb colour) {
    if (x >= 0 && y >= 0 && x < FImage.width() && y < FImage.height())
        FImage.setPixel(x, y, colour);
}

void TCanvas::Span(int x1, int y1, int x2, int y2, QRgb colour) {
    x1 = std::max(x1, 0);
    y1 = std::max(y1, 0);
    x2 = std::min(x2, FImage.width());
    y2 = std::min(y2, FImage.height());
    for (int y = y1; y < y2; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(FImage.scanLine(y));
        std::fill(row + x1, row + std::max(x1, x2), colour);
    }
}

void TCanvas::FillRect(int x1, int y1, int x2, int y2) {
    if (!Fill)
        return;
    Span(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2), Fill->rgb());
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    if (x1 > x2)
        std::swap(x1, x2);
    if (y1 > y2)
        std::swap(y1, y2);
    if (x2 - x1 < 1 || y2 - y1 < 1)
        return;
    if (Fill)
        Span(x1 + 1, y1 + 1, x2 - 1, y2 - 1, Fill->rgb());
    const QRgb pen = PenColor.rgb();
    Span(x1, y1, x2, y1 + 1, pen);
    Span(x1, y2 - 1, x2, y2, pen);
    Span(x1, y1, x1 + 1, y2, pen);
    Span(x2 - 1, y1, x2, y2, pen);
}

void TCanvas::MoveTo(int x, int y) {
    FPenX = x;
    FPenY = y;
}

// Bresenham's line from the pen position up to, not including, (x, y).
void TCanvas::LineTo(int x, int y) {
    const QRgb pen = PenColor.rgb();
    const int dx = std::abs(x - FPenX);
    const int dy = -std::abs(y - FPenY);
    const int sx = FPenX < x ? 1 : -1;
    const int sy = FPenY < y ? 1 : -1;
    int px = FPenX;
    int py = FPenY;
    int error = dx + dy;
    while (px != x || py != y) {
        Plot(px, py, pen);
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            px += sx;
        }
        if (twice <= dx) {
            error += dx;
            py += sy;
        }
    }
    MoveTo(x, y);
}

void TCanvas::TextOut(int x, int y, const QString& text) {
    QPainter painter(&FImage);
    painter.setFont(Font);
    const QFontMetrics metrics(Font, &FImage);
    if (Fill)
        painter.fillRect(QRect(x, y, metrics.horizontalAdvance(text), metrics.height()), *Fill);
    painter.setPen(Qt::black);
    painter.drawText(x, y + metrics.ascent(), text);
}
