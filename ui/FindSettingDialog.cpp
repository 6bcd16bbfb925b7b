// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/FindSettingDialog.h"

#include "core/LatinText.h"
#include "core/MixerNetwork.h"
#include "core/SetupTables.h"
#include "report/TargetReport.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include <cmath>

TFindSettingDialog::TFindSettingDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Find setting"));
    CellBox = new QComboBox(this);
    QuantityBox = new QComboBox(this);
    GoalEdit = new QLineEdit(this);
    GoalEdit->setObjectName(QStringLiteral("GoalEdit"));
    ParameterBox = new QComboBox(this);
    FindButton = new QPushButton(QStringLiteral("Find"), this);
    PutButton = new QPushButton(QStringLiteral("Put into rig"), this);
    PutButton->setEnabled(false);
    auto* closeButton = new QPushButton(QStringLiteral("Close"), this);
    Answer = new QLabel(this);
    Answer->setWordWrap(true);
    Answer->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Answer->setMinimumWidth(420);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Cell"), CellBox);
    form->addRow(QStringLiteral("Quantity"), QuantityBox);
    form->addRow(QStringLiteral("Goal"), GoalEdit);
    form->addRow(QStringLiteral("Vary"), ParameterBox);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(FindButton);
    buttons->addWidget(PutButton);
    buttons->addStretch();
    buttons->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(Answer);
    layout->addLayout(buttons);

    connect(FindButton, &QPushButton::clicked, this, &TFindSettingDialog::FindClick);
    connect(PutButton, &QPushButton::clicked, this, &TFindSettingDialog::PutClick);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::close);
    connect(&FWatcher, &QFutureWatcher<TargetResult>::finished, this,
            &TFindSettingDialog::Finished);
    FillFromRig();
}

TFindSettingDialog::~TFindSettingDialog() {
    FCancel = true;
    FWatcher.waitForFinished();
}

void TFindSettingDialog::FillFromRig() {
    const RigSetup setup = CaptureRigSetup();
    const QVariant cell = CellBox->currentData();
    const QVariant parameter = ParameterBox->currentData();
    CellBox->clear();
    for (int c = 1; c <= CellCount; ++c)
        if (CellNode(c) != 0)
            CellBox->addItem(QStringLiteral("Cell %1; ").arg(c) + Latin1(Cells[c].Name), c);
    if (QuantityBox->count() == 0)
        for (const std::string& name : TargetQuantities())
            QuantityBox->addItem(Latin1(FindQuantity(name)->Caption), QString::fromStdString(name));
    ParameterBox->clear();
    std::vector<RigParameter> candidates;
    for (int c = 1; c <= CellCount; ++c)
        if (CellNode(c) != 0) {
            candidates.push_back({RigParameterKind::CellTemperature, c});
            candidates.push_back({RigParameterKind::CellPressure, c});
        }
    for (int f = 1; f <= FlowmeterCount; ++f) {
        candidates.push_back({RigParameterKind::FlowmeterReading, f});
        candidates.push_back({RigParameterKind::StageTemperature, f});
    }
    for (const RigParameter& candidate : candidates)
        if (CheckRigParameter(candidate, setup).empty())
            ParameterBox->addItem(QString::fromStdString(candidate.Caption()),
                                  QString::fromStdString(candidate.Name()));
    if (const int i = CellBox->findData(cell); i >= 0)
        CellBox->setCurrentIndex(i);
    if (const int i = ParameterBox->findData(parameter); i >= 0)
        ParameterBox->setCurrentIndex(i);
}

void TFindSettingDialog::FindClick() {
    if (Searching())
        return;
    PutButton->setEnabled(false);
    FResult.reset();
    TargetRequest request;
    request.Cell = CellBox->currentData().toInt();
    request.Quantity = QuantityBox->currentData().toString().toStdString();
    bool ok = false;
    request.Goal = GoalEdit->text().trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(request.Goal)) {
        Answer->setText(QStringLiteral("The goal is not a number."));
        return;
    }
    std::string error;
    const std::optional<RigParameter> parameter =
        ParseRigParameter(ParameterBox->currentData().toString().toStdString(), error);
    if (!parameter) {
        Answer->setText(QStringLiteral("Choose the parameter to vary."));
        return;
    }
    request.Parameter = *parameter;
    request.Quantities = Quantities;
    const RigSetup setup = CaptureRigSetup();
    if (const std::string problem = CheckTargetRequest(request, setup); !problem.empty()) {
        Answer->setText(QString::fromStdString(problem));
        return;
    }
    FRequest = request;
    FCancel = false;
    FindButton->setEnabled(false);
    Answer->setText(QStringLiteral("Searching..."));
    FWatcher.setFuture(QtConcurrent::run(
        [setup, request, this] { return FindSetting(setup, request, &FCancel); }));
}

void TFindSettingDialog::Finished() {
    FindButton->setEnabled(true);
    if (FCancel)
        return;
    FResult = FWatcher.result();
    if (FResult->Status == TargetStatus::MixerFailed)
        Answer->setText(QStringLiteral("The mixer stage fails at the rig's setting: ") +
                        QString::fromStdString(FResult->Failure));
    else
        Answer->setText(
            QString::fromStdString(FormatTargetReport(FRequest, *FResult, false)).trimmed());
    PutButton->setEnabled(FResult->Status == TargetStatus::Found);
    emit SearchEnded();
}

void TFindSettingDialog::PutClick() {
    if (!FResult || FResult->Status != TargetStatus::Found || !PutIntoRig)
        return;
    PutIntoRig(FRequest.Parameter, FResult->Value);
    PutButton->setEnabled(false);
}
