// SPDX-License-Identifier: GPL-3.0-or-later
// "Find setting…": which value of one parameter of the rig gives a cell's quantity a goal. The
// search runs in a worker thread on a copy of the setup taken when Find is clicked; the window
// stays responsive. A value found can be put into the rig, which is an edit like any other.
#pragma once

#include "analysis/Targeting.h"

#include <QDialog>
#include <QFutureWatcher>

#include <atomic>
#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TFindSettingDialog : public QDialog {
    Q_OBJECT

public:
    explicit TFindSettingDialog(QWidget* parent = nullptr);
    ~TFindSettingDialog() override;

    // Fills the lists from the rig as it is now: the cells with a node, the quantities, and
    // the parameters the rig can vary.
    void FillFromRig();

    QComboBox* CellBox = nullptr;
    QComboBox* QuantityBox = nullptr;
    QLineEdit* GoalEdit = nullptr;
    QComboBox* ParameterBox = nullptr;
    QPushButton* FindButton = nullptr;
    QPushButton* PutButton = nullptr; // "Put into rig", once a value is found
    QLabel* Answer = nullptr;

    void FindClick();
    void PutClick();
    bool Searching() const { return FWatcher.isRunning(); }
    // The last search's request and result, once it has ended.
    const std::optional<TargetResult>& LastResult() const { return FResult; }
    const TargetRequest& LastRequest() const { return FRequest; }

    // The settings of the quantities (the sensor's reference pO2); the window sets them.
    QuantityOptions Quantities;
    // Puts the value into the window's tables as an edit; the window sets it.
    std::function<void(const RigParameter&, double)> PutIntoRig;

signals:
    void SearchEnded();

private:
    void Finished();

    QFutureWatcher<TargetResult> FWatcher;
    std::atomic<bool> FCancel = false;
    TargetRequest FRequest;
    std::optional<TargetResult> FResult;
};
