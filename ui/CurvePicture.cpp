// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/CurvePicture.h"

#include "core/Calibration.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

TCurvePicture::TCurvePicture(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setToolTip(QStringLiteral("The flow read through the curve (line) and its points (marks): "
                              "filled marks are the points the curve goes through, hollow ones "
                              "follow the largest reading and are left out"));
}

void TCurvePicture::SetCurve(const CalibrationRecord& curve, int number) {
    FNumber = number;
    FSamples.clear();
    FUsed.clear();
    FUnused.clear();
    const double largest = LargestReading(curve);
    if (largest > 0) {
        for (int i = 1; i <= SampleCount; ++i) {
            const double reading = largest * i / SampleCount;
            FSamples.emplace_back(reading, CurveFlow(curve, reading));
        }
        // Every point up to the first of the largest reading takes part in the polynomial;
        // the points after it are left out, the empty ones not drawn.
        bool beyondTop = false;
        for (const CalibrationPoint& point : curve.Point) {
            if (!beyondTop)
                FUsed.emplace_back(point.Reading, point.Flow);
            else if (point.Reading != 0 || point.Flow != 0)
                FUnused.emplace_back(point.Reading, point.Flow);
            beyondTop = beyondTop || point.Reading == largest;
        }
    }
    update();
}

namespace {
// A round step for about `count` ticks over the span.
double TickStep(double span, int count) {
    if (!(span > 0) || !std::isfinite(span))
        return 1;
    const double raw = span / count;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double m : {1.0, 2.0, 5.0, 10.0})
        if (raw <= m * magnitude)
            return m * magnitude;
    return 10 * magnitude;
}
} // namespace

void TCurvePicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    painter.setPen(palette().color(QPalette::Text));
    const QFontMetrics metrics(font());
    const QString title = FNumber > 0 ? QStringLiteral("Curve %1").arg(FNumber) : QString();
    painter.drawText(QRect(0, 2, width(), metrics.height()), Qt::AlignHCenter, title);
    if (FSamples.empty()) {
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap,
                         QStringLiteral("No point with a positive reading: no flow"));
        return;
    }

    double xMax = FSamples.back().x();
    double yMin = 0;
    double yMax = 0;
    for (const std::vector<QPointF>* set : {&FSamples, &FUsed, &FUnused})
        for (const QPointF& p : *set) {
            if (!std::isfinite(p.y()))
                continue;
            xMax = std::max(xMax, p.x());
            yMin = std::min(yMin, p.y());
            yMax = std::max(yMax, p.y());
        }
    if (yMax == yMin)
        yMax = yMin + 1;
    const double xStep = TickStep(xMax, 4);
    const double yStep = TickStep(yMax - yMin, 5);
    xMax = std::ceil(xMax / xStep) * xStep;
    yMin = std::floor(yMin / yStep) * yStep;
    yMax = std::ceil(yMax / yStep) * yStep;

    const int left = metrics.horizontalAdvance(QStringLiteral("00000")) + 6;
    const int top = metrics.height() + 6;
    const int bottom = height() - 2 * metrics.height() - 6;
    // Room on the right for half the last reading's label.
    const int right = width() - metrics.horizontalAdvance(QStringLiteral("0000")) / 2 - 6;
    if (right - left < 20 || bottom - top < 20)
        return;
    const auto X = [&](double x) { return left + (right - left) * x / xMax; };
    const auto Y = [&](double y) { return bottom - (bottom - top) * (y - yMin) / (yMax - yMin); };

    // Axes with their ticks and labels: reading across, flow up.
    painter.setPen(palette().color(QPalette::Mid));
    for (double x = 0; x <= xMax + xStep / 2; x += xStep) {
        painter.drawLine(QPointF(X(x), top), QPointF(X(x), bottom));
        painter.drawText(QRectF(X(x) - 30, bottom + 2, 60, metrics.height()), Qt::AlignHCenter,
                         QString::number(x, 'g', 4));
    }
    for (double y = yMin; y <= yMax + yStep / 2; y += yStep) {
        painter.drawLine(QPointF(left, Y(y)), QPointF(right, Y(y)));
        painter.drawText(QRectF(0, Y(y) - metrics.height() / 2.0, left - 4, metrics.height()),
                         Qt::AlignRight | Qt::AlignVCenter, QString::number(y, 'g', 4));
    }
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(QRect(left, height() - metrics.height() - 2, right - left, metrics.height()),
                     Qt::AlignHCenter, QStringLiteral("Reading → flow"));

    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipRect(
        QRect(left, top, right - left + 1, bottom - top + 1).adjusted(-4, -4, 4, 4));
    QPainterPath line;
    bool started = false;
    for (const QPointF& p : FSamples) {
        if (!std::isfinite(p.y())) {
            started = false;
            continue;
        }
        const QPointF at(X(p.x()), Y(p.y()));
        if (started)
            line.lineTo(at);
        else
            line.moveTo(at);
        started = true;
    }
    painter.setPen(QPen(QColor(0, 64, 160), 1.5));
    painter.drawPath(line);
    painter.setPen(QPen(QColor(160, 0, 0), 1.5));
    painter.setBrush(QColor(160, 0, 0));
    for (const QPointF& p : FUsed)
        painter.drawEllipse(QPointF(X(p.x()), Y(p.y())), 3, 3);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(120, 120, 120), 1.2));
    for (const QPointF& p : FUnused)
        painter.drawEllipse(QPointF(X(p.x()), Y(p.y())), 3, 3);
}
