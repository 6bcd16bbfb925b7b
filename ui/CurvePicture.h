// SPDX-License-Identifier: GPL-3.0-or-later
// The calibration curve as a picture beside its editor: the curve's points as marks and the
// flow the calculation reads through it as a line, sampled finely from the same curve evaluation
// the mixer stage uses, so that a polynomial that wiggles between its points is seen at once.
#pragma once

#include "core/SetupRecords.h"

#include <QPointF>
#include <QWidget>

#include <vector>

class TCurvePicture : public QWidget {
    Q_OBJECT

public:
    explicit TCurvePicture(QWidget* parent = nullptr);

    // Draws this curve (a copy is kept) and repaints.
    void SetCurve(const CalibrationRecord& curve, int number);

    // Readings sampled between 0 and the largest reading.
    static constexpr int SampleCount = 400;
    // The line as drawn: (reading, flow) at each sample, the flow from the curve evaluation;
    // empty for a curve without a point of positive reading, which gives no flow.
    const std::vector<QPointF>& Samples() const { return FSamples; }
    // The marks: the points the polynomial goes through (1 up to the first point of the largest
    // reading), and those it leaves out (the points after it that are not empty).
    const std::vector<QPointF>& UsedPoints() const { return FUsed; }
    const std::vector<QPointF>& UnusedPoints() const { return FUnused; }
    int CurveNumber() const { return FNumber; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<QPointF> FSamples;
    std::vector<QPointF> FUsed;
    std::vector<QPointF> FUnused;
    int FNumber = 0;
};
