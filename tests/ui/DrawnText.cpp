// SPDX-License-Identifier: GPL-3.0-or-later
#include "DrawnText.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QPainter>

Ink InkIn(const QImage& image, const QRect& rect) {
    Ink ink;
    for (int x = rect.left(); x <= rect.right(); ++x)
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            if (qGray(image.pixel(x, y)) < 110) {
                ink.Left = ink.Left < 0 ? x : ink.Left;
                ink.Right = x;
            }
    return ink;
}

int InkWidthAlone(const QString& text, const QFont& font) {
    const QFontMetrics metrics(font);
    QImage image(metrics.horizontalAdvance(text) + 20, metrics.height() + 4, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(10, metrics.ascent() + 2, text);
    painter.end();
    return InkIn(image, image.rect()).Width();
}

void ExpectDrawnWhole(const QImage& image, const QRect& cell, const QString& text,
                      const QFont& font) {
    const QString shown = text.trimmed();
    if (shown.isEmpty())
        return;
    const Ink ink = InkIn(image, cell);
    EXPECT_NEAR(ink.Width(), InkWidthAlone(shown, font), 1)
        << "\"" << text.toStdString() << "\" in a cell " << cell.width() << " wide";
    EXPECT_LT(ink.Right, cell.right()) << text.toStdString() << " reaches the edge";
}
