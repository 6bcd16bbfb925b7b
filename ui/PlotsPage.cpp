// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/PlotsPage.h"

#include "core/LatinText.h"
#include "core/MixerNetwork.h"
#include "report/SweepReport.h"
#include "ui/FileDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QFile>
#include <QGraphicsLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QSvgGenerator>
#include <QToolTip>
#include <QVBoxLayout>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <cmath>

namespace {
const RigParameterKind Kinds[] = {RigParameterKind::CellTemperature, RigParameterKind::CellPressure,
                                  RigParameterKind::FlowmeterReading,
                                  RigParameterKind::StageTemperature};
const char* const KindCaptions[] = {"Cell temperature (°C)", "Cell pressure (bar)",
                                    "Flowmeter reading", "Flowmeter stage temperature (°C)"};

bool IsCellKind(RigParameterKind kind) {
    return kind == RigParameterKind::CellTemperature || kind == RigParameterKind::CellPressure;
}

// The species the user named, in order, each once.
std::vector<std::string> SpeciesList(const QString& text) {
    std::vector<std::string> species;
    for (const QString& part :
         text.split(QRegularExpression(QStringLiteral("[\\s,;]+")), Qt::SkipEmptyParts)) {
        const std::string formula = Typed(part);
        if (std::find(species.begin(), species.end(), formula) == species.end())
            species.push_back(formula);
    }
    return species;
}

bool ReadNumber(const QLineEdit* edit, double& value) {
    bool ok = false;
    value = QLocale::c().toDouble(edit->text().trimmed(), &ok);
    return ok && std::isfinite(value);
}
} // namespace

TPlotsPage::TPlotsPage(TFileDialog& saveDialog, QWidget* parent)
    : QWidget(parent), FSaveDialog(saveDialog) {
    auto* layout = new QVBoxLayout(this);
    auto* choices = new QGridLayout;
    layout->addLayout(choices);

    choices->addWidget(new QLabel(QStringLiteral("Sweep"), this), 0, 0);
    ParameterKind = new QComboBox(this);
    for (const char* caption : KindCaptions)
        ParameterKind->addItem(QString::fromUtf8(caption));
    ParameterIndex = new QSpinBox(this);
    ParameterIndex->setPrefix(QStringLiteral("no. "));
    auto* parameterRow = new QHBoxLayout;
    parameterRow->addWidget(ParameterKind, 1);
    parameterRow->addWidget(ParameterIndex);
    choices->addLayout(parameterRow, 0, 1);

    choices->addWidget(new QLabel(QStringLiteral("From, to, points"), this), 1, 0);
    FromEdit = new QLineEdit(QStringLiteral("600"), this);
    ToEdit = new QLineEdit(QStringLiteral("1000"), this);
    PointsEdit = new QSpinBox(this);
    PointsEdit->setRange(MinSweepPoints, MaxSweepPoints);
    PointsEdit->setValue(41);
    auto* rangeRow = new QHBoxLayout;
    rangeRow->addWidget(FromEdit);
    rangeRow->addWidget(ToEdit);
    rangeRow->addWidget(PointsEdit);
    choices->addLayout(rangeRow, 1, 1);

    choices->addWidget(new QLabel(QStringLiteral("Cells"), this), 2, 0);
    auto* cellRow = new QHBoxLayout;
    for (int c = 1; c <= CellCount; ++c) {
        CellBoxes[c - 1] = new QCheckBox(QString::number(c), this);
        cellRow->addWidget(CellBoxes[c - 1]);
    }
    cellRow->addStretch();
    choices->addLayout(cellRow, 2, 1);

    choices->addWidget(new QLabel(QStringLiteral("Species"), this), 3, 0);
    SpeciesEdit = new QLineEdit(QStringLiteral("O2"), this);
    SpeciesEdit->setToolTip(QStringLiteral("One or more formulas, separated by spaces"));
    choices->addWidget(SpeciesEdit, 3, 1);
    choices->setColumnStretch(1, 1);

    auto* commands = new QHBoxLayout;
    PlotButton = new QPushButton(QStringLiteral("Plot"), this);
    ExportPngButton = new QPushButton(QStringLiteral("PNG…"), this);
    ExportSvgButton = new QPushButton(QStringLiteral("SVG…"), this);
    ExportCsvButton = new QPushButton(QStringLiteral("CSV…"), this);
    ExportPngButton->setToolTip(QStringLiteral("Saves the picture as PNG"));
    ExportSvgButton->setToolTip(QStringLiteral("Saves the picture as SVG"));
    ExportCsvButton->setToolTip(QStringLiteral("Saves the data as CSV, as quorvane-calc --sweep "
                                               "writes it"));
    commands->addWidget(PlotButton, 1);
    commands->addWidget(ExportPngButton);
    commands->addWidget(ExportSvgButton);
    commands->addWidget(ExportCsvButton);
    layout->addLayout(commands);

    Progress = new QProgressBar(this);
    Progress->setRange(0, 1);
    Progress->setValue(0);
    layout->addWidget(Progress);
    Note = new QLabel(this);
    Note->setWordWrap(true);
    layout->addWidget(Note);

    Hover = new QLabel(this);
    Hover->setWordWrap(true);
    layout->addWidget(Hover);
    FLayout = layout;

    connect(ParameterKind, &QComboBox::currentIndexChanged, this, [this] { KindChanged(); });
    connect(PlotButton, &QPushButton::clicked, this, [this] { StartSweep(); });
    connect(ExportPngButton, &QPushButton::clicked, this,
            [this] { ExportClick("png", &TPlotsPage::ExportPng); });
    connect(ExportSvgButton, &QPushButton::clicked, this,
            [this] { ExportClick("svg", &TPlotsPage::ExportSvg); });
    connect(ExportCsvButton, &QPushButton::clicked, this,
            [this] { ExportClick("csv", &TPlotsPage::ExportCsv); });
    FProgressTimer.setInterval(50);
    connect(&FProgressTimer, &QTimer::timeout, this, [this] {
        if (FJob.Done)
            Progress->setValue(FJob.Done->load());
    });
    KindChanged();
}

TPlotsPage::~TPlotsPage() {
    // A sweep still running stops at its next point; its thread holds only its own copies.
    if (FJob.Cancel)
        *FJob.Cancel = true;
    if (FWatcher != nullptr)
        FWatcher->waitForFinished();
}

void TPlotsPage::EnsureChart() {
    if (Chart != nullptr)
        return;
    Chart = new QChart;
    Chart->legend()->setAlignment(Qt::AlignBottom);
    // The page is narrow: the chart takes all of its frame, and the legend a smaller font, so
    // that the cells' names show whole.
    Chart->setMargins(QMargins(2, 2, 2, 2));
    Chart->layout()->setContentsMargins(0, 0, 0, 0);
    Chart->setBackgroundRoundness(0);
    QFont legendFont = Chart->legend()->font();
    legendFont.setPointSizeF(legendFont.pointSizeF() * 0.85);
    Chart->legend()->setFont(legendFont);
    View = new QChartView(Chart, this);
    View->setRenderHint(QPainter::Antialiasing);
    View->setMinimumHeight(260);
    FLayout->insertWidget(FLayout->indexOf(Hover), View, 1);
}

void TPlotsPage::KindChanged() {
    const RigParameterKind kind = Kinds[std::max(0, ParameterKind->currentIndex())];
    ParameterIndex->setRange(1, IsCellKind(kind) ? CellCount : FlowmeterCount);
}

void TPlotsPage::CheckConnectedCells() {
    EnsureChart();
    for (int c = 1; c <= CellCount; ++c)
        CellBoxes[c - 1]->setChecked(CellNode(c) != 0);
}

void TPlotsPage::ShowNote(const QString& text, bool error) {
    QPalette p = Note->palette();
    p.setColor(QPalette::WindowText, error ? QColor(200, 0, 0) : palette().color(QPalette::Text));
    Note->setPalette(p);
    Note->setText(text);
}

bool TPlotsPage::Running() const {
    return FWatcher != nullptr && FWatcher->isRunning();
}

bool TPlotsPage::StartSweep() {
    SweepRequest request;
    request.Parameter = {Kinds[std::max(0, ParameterKind->currentIndex())],
                         ParameterIndex->value()};
    request.Points = PointsEdit->value();
    if (!ReadNumber(FromEdit, request.From) || !ReadNumber(ToEdit, request.To)) {
        ShowNote(QStringLiteral("From and to are numbers"), true);
        return false;
    }
    std::vector<int> cells;
    for (int c = 1; c <= CellCount; ++c)
        if (CellBoxes[c - 1]->isChecked())
            cells.push_back(c);
    const std::vector<std::string> species = SpeciesList(SpeciesEdit->text());
    if (cells.empty() || species.empty()) {
        ShowNote(QStringLiteral("Choose at least one cell and one species"), true);
        return false;
    }
    auto setup = std::make_shared<RigSetup>(CaptureRigSetup());
    if (const std::string problem = CheckRigParameter(request.Parameter, *setup);
        !problem.empty()) {
        ShowNote(
            QString::fromStdString("Cannot sweep " + request.Parameter.Name() + ": " + problem),
            true);
        return false;
    }

    // The sweep running is cancelled; its watcher goes when it has finished.
    if (FJob.Cancel)
        *FJob.Cancel = true;
    FJob = {std::make_shared<std::atomic<bool>>(false), std::make_shared<std::atomic<int>>(0),
            request.Points};
    FCells = cells;
    FSpecies = species;
    auto* watcher = new QFutureWatcher<SweepResult>(this);
    FWatcher = watcher;
    const Job job = FJob;
    connect(watcher, &QFutureWatcher<SweepResult>::finished, this,
            [this, watcher, job] { Finished(watcher, job); });
    watcher->setFuture(QtConcurrent::run([setup, request, job] {
        return RunSweep(*setup, request, job.Cancel.get(),
                        [job](int done, int) { *job.Done = done; });
    }));
    Progress->setRange(0, request.Points);
    Progress->setValue(0);
    FProgressTimer.start();
    ShowNote(QString::fromStdString("Sweeping " + request.Parameter.Name() + " over " +
                                    std::to_string(request.Points) + " points…"),
             false);
    return true;
}

void TPlotsPage::Finished(QFutureWatcher<SweepResult>* watcher, const Job& job) {
    watcher->deleteLater();
    if (watcher != FWatcher)
        return; // a later request took its place
    FWatcher = nullptr;
    FProgressTimer.stop();
    Progress->setValue(job.Done->load());
    FLast = watcher->result();
    int failed = 0;
    for (const SweepPoint& point : FLast.Points)
        failed += point.Result.MixerFailed ? 1 : 0;
    std::string note =
        FLast.Request.Parameter.Name() + " over " + std::to_string(FLast.Points.size()) + " points";
    if (failed > 0)
        note += "; the mixer stage failed at " + std::to_string(failed) + " of them";
    ShowNote(QString::fromStdString(note), failed > 0);
    Draw();
    emit SweepDrawn();
}

std::vector<QLineSeries*> TPlotsPage::Lines() const {
    std::vector<QLineSeries*> lines;
    if (Chart == nullptr)
        return lines;
    for (QAbstractSeries* series : Chart->series())
        if (auto* line = qobject_cast<QLineSeries*>(series))
            lines.push_back(line);
    return lines;
}

QString TPlotsPage::PointText(const QLineSeries* line, const QPointF& point) const {
    return QStringLiteral("%1: %2 = %3, log10 p = %4 (p = %5 bar)")
        .arg(line->name(), QString::fromStdString(FLast.Request.Parameter.Caption()),
             QString::number(point.x(), 'g', 10), QString::number(point.y(), 'f', 5),
             QString::number(std::pow(10.0, point.y()), 'g', 6));
}

void TPlotsPage::Draw() {
    EnsureChart();
    Chart->removeAllSeries();
    for (QAbstractAxis* axis : Chart->axes())
        Chart->removeAxis(axis);
    auto* x = new QValueAxis;
    x->setTitleText(QString::fromStdString(FLast.Request.Parameter.Caption()));
    x->setLabelFormat(QStringLiteral("%g"));
    auto* y = new QValueAxis;
    y->setTitleText(FSpecies.size() == 1
                        ? QStringLiteral("log10 p(%1) (bar)").arg(Latin1(FSpecies.front()))
                        : QStringLiteral("log10 partial pressure (bar)"));
    y->setLabelFormat(QStringLiteral("%.1f"));
    Chart->addAxis(x, Qt::AlignBottom);
    Chart->addAxis(y, Qt::AlignLeft);
    Chart->setTitle(QString::fromStdString(
        "Sweep of " + FLast.Request.Parameter.Caption() + ", " +
        (FLast.Request.Solver == EquilibriumSolver::Exact ? "exact solver" : "pattern search")));

    double low = 0;
    double high = 0;
    bool any = false;
    for (const int c : FCells)
        for (const std::string& species : FSpecies) {
            auto* line = new QLineSeries;
            std::string name;
            for (const SweepPoint& point : FLast.Points) {
                const CellPoint* cell = point.Result.Cell(c);
                if (cell == nullptr || !cell->Converged())
                    continue;
                name = cell->Name;
                for (const SpeciesPressure& s : cell->Equilibrium)
                    if (s.Species == species)
                        if (const std::optional<double> log = SweepLog10(s.Pressure)) {
                            line->append(point.Value, *log);
                            low = any ? std::min(low, *log) : *log;
                            high = any ? std::max(high, *log) : *log;
                            any = true;
                        }
            }
            if (line->count() == 0) {
                delete line;
                continue;
            }
            QString title = QStringLiteral("Cell %1").arg(c);
            if (!name.empty())
                title += QStringLiteral(" ") + Latin1(name);
            if (FSpecies.size() > 1)
                title += QStringLiteral(", ") + Latin1(species);
            line->setName(title);
            line->setPointsVisible(FLast.Points.size() <= 60);
            Chart->addSeries(line);
            line->attachAxis(x);
            line->attachAxis(y);
            // The line reports the place on it under the mouse; the values shown are those of
            // the sweep's point nearest to it.
            connect(line, &QLineSeries::hovered, this, [this, line](const QPointF& at, bool on) {
                if (!on || line->count() == 0)
                    return;
                QPointF nearest = line->at(0);
                for (const QPointF& p : line->points())
                    if (std::abs(p.x() - at.x()) < std::abs(nearest.x() - at.x()))
                        nearest = p;
                Hover->setText(PointText(line, nearest));
                QToolTip::showText(QCursor::pos(), Hover->text(), View);
            });
        }
    x->setRange(std::min(FLast.Request.From, FLast.Request.To),
                std::max(FLast.Request.From, FLast.Request.To));
    if (any) {
        const double margin = std::max(0.1, (high - low) * 0.05);
        y->setRange(low - margin, high + margin);
        y->applyNiceNumbers();
    } else {
        ShowNote(Note->text() + QStringLiteral(": no converged point has the species chosen"),
                 true);
    }
    Hover->clear();
}

bool TPlotsPage::ExportPng(const QString& fileName) {
    EnsureChart();
    return View->grab().save(fileName, "PNG");
}

bool TPlotsPage::ExportSvg(const QString& fileName) {
    EnsureChart();
    QSvgGenerator svg;
    svg.setFileName(fileName);
    svg.setSize(View->size());
    svg.setViewBox(QRect(QPoint(0, 0), View->size()));
    svg.setTitle(Chart->title());
    QPainter painter;
    if (!painter.begin(&svg))
        return false;
    View->render(&painter);
    return painter.end() && QFile(fileName).size() > 0;
}

bool TPlotsPage::ExportCsv(const QString& fileName) {
    if (FLast.Points.empty())
        return false;
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const std::string csv = FormatSweep(FLast, SweepFormat::Csv);
    return file.write(csv.data(), static_cast<qint64>(csv.size())) ==
               static_cast<qint64>(csv.size()) &&
           file.flush();
}

void TPlotsPage::ExportClick(const char* extension, bool (TPlotsPage::*exporter)(const QString&)) {
    FSaveDialog.Filter = QStringLiteral("*.") + QString::fromLatin1(extension);
    FSaveDialog.DefaultExt = QString::fromLatin1(extension);
    FSaveDialog.ChoosesFileSet = false;
    if (!FSaveDialog.Execute(this))
        return;
    const QString name = FSaveDialog.FileName;
    if ((this->*exporter)(name))
        ShowNote(QStringLiteral("Saved ") + name, false);
    else
        ShowNote(QStringLiteral("Could not write ") + name, true);
}
