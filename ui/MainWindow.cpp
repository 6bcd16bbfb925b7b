// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/MainWindow.h"

#include "core/Calculate.h"
#include "core/Defaults.h"
#include "core/LatinText.h"
#include "core/SchematicBoxes.h"
#include "core/SetupTables.h"
#include "files/SetupFiles.h"
#include "report/ResultsText.h"
#include "report/ResultsView.h"
#include "schematic/Schematic.h"
#include "tableeditor/Vexa_ntabed.h"
#include "ui/CurvePicture.h"
#include "ui/FindSettingDialog.h"
#include "ui/MessageHistory.h"
#include "ui/PlotsPage.h"
#include "ui/QuantitiesTable.h"
#include "ui/ResultsTable.h"
#include "ui/StringGrid.h"
#include "ui/ValueListEditor.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>
#include <functional>
#include <vector>

const char* const TForm1::ProductCaption = "Quorvane - gas mixer and equilibrium calculator";
const char* const TForm1::AboutText =
    "For more information, contact the Quorvane developers at quorvane@lab-gases.org";
const char* const TForm1::OutOfDateNote = " - out of date, calculate again";

namespace {

constexpr int DesignPageWidth = 450;
// The curve editor's three columns (80, 111 and 78) with its frame and scroll bar.
constexpr int CurveEditorWidth = 292;
const QColor LightGrey(192, 192, 192);

// The narrowest a "full" or "stretch" element of a page may become.
constexpr int NarrowestElement = 60;
// Room below the lowest element of a page.
constexpr int PageBottomMargin = 4;

QLabel* HintLine(QWidget* parent) {
    return new QLabel(QStringLiteral("Remember to click OK after edit"), parent);
}

} // namespace

// A tab page whose elements sit at fixed places from its top left, as laid out at the design
// width of 450 pixels. "Full" elements take the whole width; "stretch" elements keep their
// right margin as the page widens. A page taller than its layout gives the extra height to the
// element that fills down and moves the elements below it down with the bottom edge. The page
// is never smaller than its layout needs: it sits in a scroll area, which scrolls when the
// window is too small. The page's show routine runs each time it becomes visible.
class TPage : public QWidget {
public:
    enum Fit { Fixed, Full, Stretch };
    enum Anchor { FromTop, FillDown, FromBottom };

    TPage() = default;

    void Place(QWidget* widget, int left, int top, int width, int height, Fit fit,
               Anchor anchor = FromTop) {
        widget->setParent(this);
        FPlaces.push_back({widget, left, top, width, height, fit, anchor});
        FDesignHeight = std::max(FDesignHeight, top + height + PageBottomMargin);
        const int narrowest = fit == Fixed  ? left + width
                              : fit == Full ? left + NarrowestElement
                                            : DesignPageWidth - width + NarrowestElement;
        setMinimumSize(std::max(minimumWidth(), narrowest), FDesignHeight);
        Arrange(widget, FPlaces.back());
    }

    std::function<void()> OnShow;

protected:
    void resizeEvent(QResizeEvent*) override {
        for (const Placement& p : FPlaces)
            Arrange(p.Widget, p);
    }

    // Only a page that becomes visible runs its routine; the window coming back from being
    // minimised does not refill the tables.
    void showEvent(QShowEvent* event) override {
        if (!event->spontaneous() && OnShow)
            OnShow();
    }

private:
    struct Placement {
        QWidget* Widget;
        int Left, Top, Width, Height;
        Fit HowWide;
        Anchor HowHigh;
    };

    void Arrange(QWidget* widget, const Placement& p) const {
        int w = p.Width;
        if (p.HowWide == Full)
            w = width() - p.Left;
        else if (p.HowWide == Stretch)
            w = width() - p.Left - std::max(0, DesignPageWidth - p.Left - p.Width);
        const int extra = std::max(0, height() - FDesignHeight);
        const int top = p.HowHigh == FromBottom ? p.Top + extra : p.Top;
        const int h = p.HowHigh == FillDown ? p.Height + extra : p.Height;
        widget->setGeometry(p.Left, top, std::max(w, 1), h);
    }

    std::vector<Placement> FPlaces;
    int FDesignHeight = 0;
};

namespace {

// Holds back the user's input while the status line's pause lasts: the window goes on painting,
// but a click or a key does nothing until the pause is over, as with the blocking pause.
class TInputHold : public QObject {
protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::NonClientAreaMouseButtonPress:
        case QEvent::NonClientAreaMouseButtonRelease:
        case QEvent::NonClientAreaMouseButtonDblClick:
        case QEvent::NonClientAreaMouseMove:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::ContextMenu:
        case QEvent::InputMethod:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletMove:
        case QEvent::TabletRelease:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
            return true;
        default:
            return false;
        }
    }
};

} // namespace

void TStatusLine::mousePressEvent(QMouseEvent* event) {
    QLabel::mousePressEvent(event);
    emit Clicked();
}

TIndexSpinEdit::TIndexSpinEdit(QWidget* parent) : QSpinBox(parent) {
    setRange(1, 1000);
    setValue(1);
    lineEdit()->setReadOnly(true);
    QFont f = font();
    f.setPointSize(12);
    setFont(f);
}

TSchematicImage::TSchematicImage(QWidget* parent)
    : QWidget(parent), FPicture(SchematicImageWidth, SchematicImageHeight, QImage::Format_RGB32),
      FCanvas(FPicture) {
    FPicture.fill(Qt::black);
    FCanvas.Font = font();
    FCanvas.Font.setPixelSize(11);
    setFixedSize(FPicture.size());
}

void TSchematicImage::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.drawImage(event->rect(), FPicture, event->rect());
}

TForm1::TForm1(QWidget* parent)
    : QMainWindow(parent), OpenDialog1(TFileDialog::Kind::Open),
      SaveDialog1(TFileDialog::Kind::Save), FHistory(new TMessageHistory(this)) {
    UpdateWindowTitle();
    resize(1264, 827);

    QWidget* central = new QWidget(this);
    central->setObjectName(QStringLiteral("Central"));
    central->setStyleSheet(QStringLiteral("#Central { background: black; }"));
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    column->addWidget(BuildStatusRow(central));

    Splitter1 = new QSplitter(Qt::Horizontal, central);
    Splitter1->setHandleWidth(6);
    Splitter1->setChildrenCollapsible(false);
    Splitter1->setStyleSheet(QStringLiteral("QSplitter::handle { background: white; }"));
    Panel1 = new QWidget(Splitter1);
    Panel1->setAutoFillBackground(true);
    QPalette panelPalette = Panel1->palette();
    panelPalette.setColor(QPalette::Window, Qt::black);
    Panel1->setPalette(panelPalette);
    auto* panelLayout = new QVBoxLayout(Panel1);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    // The schematic keeps its size; a panel too small for it scrolls.
    auto* scroller = new QScrollArea(Panel1);
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    scroller->setPalette(panelPalette);
    scroller->viewport()->setAutoFillBackground(true);
    scroller->viewport()->setPalette(panelPalette);
    Image1 = new TSchematicImage;
    scroller->setWidget(Image1);
    panelLayout->addWidget(scroller);
    Splitter1->addWidget(Panel1);
    Splitter1->addWidget(BuildPages());
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    // The pages keep at least the width they are laid out for; a narrow window takes the room
    // from the schematic, which scrolls.
    PageControl1->setMinimumWidth(458);
    Splitter1->setSizes({800, 458});
    column->addWidget(Splitter1, 1);

    LoadedSetupFilesGrid = new QTableWidget(4, 2, central);
    LoadedSetupFilesGrid->setFixedHeight(76);
    LoadedSetupFilesGrid->horizontalHeader()->hide();
    LoadedSetupFilesGrid->verticalHeader()->hide();
    LoadedSetupFilesGrid->verticalHeader()->setDefaultSectionSize(16);
    LoadedSetupFilesGrid->setColumnWidth(0, 25);
    LoadedSetupFilesGrid->setColumnWidth(1, 1107);
    LoadedSetupFilesGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    LoadedSetupFilesGrid->setFocusPolicy(Qt::NoFocus);
    LoadedSetupFilesGrid->setTextElideMode(Qt::ElideNone); // "Mix" fits, "..." would not
    LoadedSetupFilesGrid->setShowGrid(false);
    QPalette listPalette = LoadedSetupFilesGrid->palette();
    listPalette.setColor(QPalette::Base, LightGrey);
    LoadedSetupFilesGrid->setPalette(listPalette);
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 2; ++col)
            LoadedSetupFilesGrid->setItem(row, col, new QTableWidgetItem);
    column->addWidget(LoadedSetupFilesGrid);

    setCentralWidget(central);
    BuildMenus();
    FormCreate();
}

TForm1::~TForm1() {
    if (&Window() == this)
        SetWindow(nullptr);
}

// The file dialogs start in the folder of the current file set when each command runs them
// (StartDialogIn), not in the program's folder, which for an installed program is a system one.
void TForm1::FormCreate() {
    PageControl1->setCurrentIndex(0);
    Calibrations4Click();
    DrawMixer();
}

QWidget* TForm1::BuildStatusRow(QWidget* parent) {
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    Message1 = new TStatusLine(QString::fromLatin1(ProductCaption), row);
    Message1->setAlignment(Qt::AlignCenter);
    Message1->setFixedHeight(20);
    Message1->setAutoFillBackground(true);
    QFont messageFont = Message1->font();
    messageFont.setPointSize(12);
    Message1->setFont(messageFont);
    QPalette messagePalette = Message1->palette();
    messagePalette.setColor(QPalette::Window, Qt::yellow);
    messagePalette.setColor(QPalette::WindowText, Qt::white);
    Message1->setPalette(messagePalette);
    Message1->setCursor(Qt::PointingHandCursor);
    Message1->setToolTip(QStringLiteral("Click for the message history"));
    connect(Message1, &TStatusLine::Clicked, this, &TForm1::Messages1Click);
    layout->addWidget(Message1, 1);

    WarningsIndicator = new QPushButton(row);
    WarningsIndicator->setFixedHeight(20);
    WarningsIndicator->setFlat(true);
    WarningsIndicator->setCursor(Qt::PointingHandCursor);
    WarningsIndicator->setStyleSheet(
        QStringLiteral("QPushButton { background: rgb(255, 200, 0); color: black; border: none; "
                       "padding: 0 10px; }"));
    WarningsIndicator->setToolTip(QStringLiteral("Warnings of the rig check and the file "
                                                 "commands: click for the message history"));
    WarningsIndicator->hide();
    connect(WarningsIndicator, &QPushButton::clicked, this, &TForm1::Messages1Click);
    layout->addWidget(WarningsIndicator);
    return row;
}

void TForm1::BuildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    auto item = [this](QMenu* menu, const char* caption, void (TForm1::*handler)()) {
        QAction* action = menu->addAction(QString::fromUtf8(caption));
        connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
        return action;
    };
    OpenAll1 = item(file, "Open All", &TForm1::OpenAll1Click);
    QMenu* open = file->addMenu(QStringLiteral("&Open"));
    InputGases1 = item(open, "&Input Gases and Mixtures (*.INP)", &TForm1::InputGases1Click);
    MixerOutline1 = item(open, "Mixer", &TForm1::MixerOutline1Click);
    Calibrations1 = item(open, "Calibrations", &TForm1::Calibrations1Click);
    OutputCells1 = item(open, "&OutputCells", &TForm1::OutputCells1Click);
    QMenu* save = file->addMenu(QStringLiteral("&Save"));
    InputMixtures1 = item(save, "&Input Gases and Mixtures (*.INP)", &TForm1::InputMixtures1Click);
    Mixer1 = item(save, "Mixer", &TForm1::Mixer1Click);
    Calibrations2 = item(save, "Calibrations", &TForm1::Calibrations2Click);
    Cells1 = item(save, "&OutputCells", &TForm1::Cells1Click);
    QMenu* saveAs = file->addMenu(QStringLiteral("Save As"));
    InputMixtures2 =
        item(saveAs, "&Input Gases and Mixtures (*.INP)", &TForm1::InputMixtures2Click);
    Flowmeters1 = item(saveAs, "Mixer", &TForm1::Flowmeters1Click);
    Calibrations3 = item(saveAs, "Calibrations", &TForm1::Calibrations3Click);
    OutputCells2 = item(saveAs, "OutputCells", &TForm1::OutputCells2Click);
    SaveAll1 = item(file, "Save All", &TForm1::SaveAll1Click);
    SaveAllAs1 = item(file, "Save All As", &TForm1::SaveAllAs);
    Exit1 = item(file, "E&xit", &TForm1::Exit1Click);

    Run1 = menuBar()->addAction(QString::fromLatin1(CalculateStartCaption));
    connect(Run1, &QAction::triggered, this, &TForm1::CalcStartStop);

    Tools1 = menuBar()->addMenu(QStringLiteral("&Tools"));
    Messages1 = item(Tools1, "Messages…", &TForm1::Messages1Click);
    FindSetting1 = item(Tools1, "Find setting…", &TForm1::FindSetting1Click);

    AboutAction = menuBar()->addAction(QStringLiteral("About"));
    connect(AboutAction, &QAction::triggered, this, &TForm1::AboutClick);
}

TPage* TForm1::NewPage(const QString& caption) {
    auto* scroller = new QScrollArea(PageControl1);
    scroller->setWidgetResizable(true);
    scroller->setFrameShape(QFrame::NoFrame);
    auto* page = new TPage;
    page->Place(HintLine(page), 0, 0, DesignPageWidth, 13, TPage::Full);
    scroller->setWidget(page);
    PageControl1->addTab(scroller, caption);
    FPages.push_back(page);
    return page;
}

QPushButton* TForm1::NewOKButton(QWidget* page, int pageIndex) {
    auto* button = new QPushButton(QStringLiteral("OK"), page);
    connect(button, &QPushButton::clicked, this, [this] { Button4OutputCellsOKClick(); });
    OKButton[pageIndex] = button;
    return button;
}

TIndexSpinEdit* TForm1::NewIndexSpinEdit(QWidget* page) {
    auto* selector = new TIndexSpinEdit(page);
    connect(selector, &QSpinBox::valueChanged, this,
            [this, selector](int) { SpinEditINPChange(selector); });
    return selector;
}

QWidget* TForm1::BuildPages() {
    PageControl1 = new QTabWidget(Splitter1);
    // Captions are shown whole; tabs that do not fit scroll.
    PageControl1->tabBar()->setElideMode(Qt::ElideNone);
    PageControl1->tabBar()->setUsesScrollButtons(true);

    TPage* inputPage = NewPage(QStringLiteral("Input gases && mixtures"));
    ValueListEditor1 = new TValueListEditor(inputPage);
    ValueListEditor1->SetKeyColumnWidth(75);
    inputPage->Place(ValueListEditor1, 0, 13, DesignPageWidth, 355, TPage::Full);
    SpinEditINP = NewIndexSpinEdit(inputPage);
    inputPage->Place(SpinEditINP, 0, 374, 57, 30, TPage::Fixed);
    Edit2 = new QLineEdit(inputPage);
    Edit2->setMaxLength(255);
    inputPage->Place(Edit2, 63, 374, 384, 21, TPage::Stretch);
    inputPage->Place(NewOKButton(inputPage, 0), 2, 410, 445, 29, TPage::Stretch);
    inputPage->OnShow = [this] { InputMixtures3Click(); };

    TPage* flowmeterPage = NewPage(QStringLiteral("Flowmeters"));
    ValueListEditor2 = new TValueListEditor(flowmeterPage);
    ValueListEditor2->SetKeyColumnWidth(75);
    flowmeterPage->Place(ValueListEditor2, 0, 13, DesignPageWidth, 355, TPage::Full);
    SpinEdit1 = NewIndexSpinEdit(flowmeterPage);
    flowmeterPage->Place(SpinEdit1, 3, 374, 54, 30, TPage::Fixed);
    flowmeterPage->Place(NewOKButton(flowmeterPage, 1), 3, 410, 444, 29, TPage::Stretch);
    flowmeterPage->OnShow = [this] { Flowmeters2Click(); };

    TPage* calibrationPage = NewPage(QStringLiteral("Calibration curves"));
    CalGrid1 = new TStringGrid(8, calibrationPage);
    const int listWidths[8] = {64, 45, 51, 53, 48, 50, 46, 56};
    for (int c = 0; c < 8; ++c)
        CalGrid1->SetLayoutWidth(c, listWidths[c]);
    calibrationPage->Place(CalGrid1, 0, 13, DesignPageWidth, 192, TPage::Full);
    CalCurveEdit = new TNTabEd(calibrationPage, QStringLiteral("CalCurveEdit"));
    CalCurveEdit->SetAttribRowVisible(false);
    CalCurveEdit->SetAttribColVisible(false);
    CalCurveEdit->SetNumWidth(1);
    CalCurveEdit->SetDataReadOnly(false);
    CalCurveEdit->SetAutoAdvance(false);
    CalCurveEdit->SetCommentEditingAllowed(true);
    CalCurveEdit->SetClipboardUseFullPrec(true);
    CalCurveEdit->SetBoldMarks(true);
    CalCurveEdit->SetBoldSelHeads(true);
    CalCurveEdit->SetOptimizeRowHeight(false);
    CalCurveEdit->SetCellEditing(true);
    CalCurveEdit->SetDefaultColWidth(52);
    CalCurveEdit->SetDefaultRowHeight(18);
    SetCurveEditorShape();
    CalCurveEdit->SetColorBackground(CalCurveEdit->palette().color(QPalette::Base));
    CalCurveEdit->SetColorFixed(CalCurveEdit->palette().color(QPalette::Button));
    CalCurveEdit->SetColorNormal(QColor(0, 32, 0));
    CalCurveEdit->SetColorSelected(Qt::white);
    CalCurveEdit->SetColorMarkedA(Qt::red);
    CalCurveEdit->SetColorMarkedB(Qt::blue);
    CalCurveEdit->SetColorMarkedBoth(QColor(187, 0, 204));
    CalCurveEdit->SetColorRangeSelFG(QColor(44, 85, 128));
    CalCurveEdit->SetColorRangeSelBG(QColor(224, 232, 248));
    // A click stores all twenty points of both columns: the editor offers no command that
    // inserts or deletes a row or a column.
    CalCurveEdit->SetPopupHMask(TNTabEd::AllMenuItems &
                                ~(TNTabEd::HeaderInsertItem | TNTabEd::HeaderDeleteItem));
    connect(CalCurveEdit, &TNTabEd::OnClick, this,
            [this] { TrackEdit([this] { ReadCalCurve(); }); });
    // The editor keeps the width of its three columns; the picture of the curve takes the rest.
    calibrationPage->Place(CalCurveEdit, 0, 205, CurveEditorWidth, 316, TPage::Fixed);
    CurvePicture1 = new TCurvePicture(calibrationPage);
    calibrationPage->Place(CurvePicture1, CurveEditorWidth + 4, 205,
                           DesignPageWidth - CurveEditorWidth - 4, 316, TPage::Full);
    SpinEdit2CalCurve = NewIndexSpinEdit(calibrationPage);
    // The curves fill the box's whole range: stepping on from either end gives the other one.
    SpinEdit2CalCurve->setWrapping(true);
    calibrationPage->Place(SpinEdit2CalCurve, 3, 527, 57, 30, TPage::Fixed);
    calibrationPage->Place(NewOKButton(calibrationPage, CalibrationPageNumber), 3, 563, 444, 29,
                           TPage::Stretch);
    calibrationPage->OnShow = [this] { Calibrations4Click(); };

    TPage* cellPage = NewPage(QStringLiteral("Output cells"));
    ValueListEditor4 = new TValueListEditor(cellPage);
    ValueListEditor4->SetKeyColumnWidth(75);
    cellPage->Place(ValueListEditor4, 0, 13, DesignPageWidth, 249, TPage::Full);
    SpinEditOutPutCells = NewIndexSpinEdit(cellPage);
    cellPage->Place(SpinEditOutPutCells, 2, 268, 57, 30, TPage::Fixed);
    cellPage->Place(NewOKButton(cellPage, 3), 2, 304, 450, 29, TPage::Stretch);
    Label6 = new QLabel(Latin1(ResultsView{}.Caption()), cellPage);
    cellPage->Place(Label6, 0, 340, DesignPageWidth, 13, TPage::Full);
    CellTabEd = new TNTabEd(cellPage, QStringLiteral("CellTabEd"));
    CellTabEd->SetAttribRowVisible(false);
    CellTabEd->SetAttribColVisible(false);
    CellTabEd->SetNrOfColumns(8);
    CellTabEd->SetNrOfRows(12);
    CellTabEd->SetDataReadOnly(true);
    CellTabEd->SetAutoAdvance(false);
    CellTabEd->SetNumWidth(16);
    CellTabEd->SetDefaultColWidth(92);
    CellTabEd->SetDefaultRowHeight(15);
    CellTabEd->SetColWidths(0, 80);
    CellTabEd->SetColorFixed(Qt::black);
    CellTabEd->SetColorSelected(Qt::black);
    CellTabEd->SetColorRangeSelBG(Qt::black);
    CellTabEd->setFont(font());
    // The results take the page's remaining height; the switches stay under them.
    cellPage->Place(CellTabEd, 0, 353, DesignPageWidth, 232, TPage::Full, TPage::FillDown);
    CopyTable1 = new QAction(QStringLiteral("Copy Table"), CellTabEd);
    CopyTable1->setShortcut(QKeySequence::Copy);
    CopyTable1->setShortcutContext(Qt::WidgetShortcut);
    connect(CopyTable1, &QAction::triggered, this, &TForm1::CopyTableClick);
    CellTabEd->addAction(CopyTable1);
    CellTabEd->PopupD()->addSeparator();
    CellTabEd->PopupD()->addAction(CopyTable1);
    CellTabEd->PopupH()->addSeparator();
    CellTabEd->PopupH()->addAction(CopyTable1);
    QuantitiesCaption = new QLabel(QStringLiteral("Cell quantities"), cellPage);
    cellPage->Place(QuantitiesCaption, 2, 591, 198, 20, TPage::Fixed, TPage::FromBottom);
    auto* referenceLabel = new QLabel(QStringLiteral("Reference pO2 (bar)"), cellPage);
    referenceLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    cellPage->Place(referenceLabel, 200, 591, 118, 20, TPage::Fixed, TPage::FromBottom);
    ReferencePO2Edit = new QLineEdit(
        QString::number(Quantities.ReferencePO2, 'g', QLocale::FloatingPointShortest), cellPage);
    ReferencePO2Edit->setObjectName(QStringLiteral("ReferencePO2Edit"));
    ReferencePO2Edit->setToolTip(
        QStringLiteral("The oxygen sensor's reference gas, pO2 in bar (air: 0.2095). The EMF is "
                       "(RT/4F) ln(reference / pO2): positive for a cell more reducing than the "
                       "reference."));
    connect(ReferencePO2Edit, &QLineEdit::editingFinished, this, &TForm1::ReferencePO2Changed);
    cellPage->Place(ReferencePO2Edit, 322, 591, 78, 20, TPage::Fixed, TPage::FromBottom);
    QuantitiesTable = new TQuantitiesTable(cellPage);
    QuantitiesTable->setFont(font());
    cellPage->Place(QuantitiesTable, 0, 613, DesignPageWidth, 146, TPage::Full, TPage::FromBottom);
    Button3 = new QPushButton(QString::fromLatin1(ResultsView{}.ScaleCaption()), cellPage);
    connect(Button3, &QPushButton::clicked, this, [this] { Linlogtoggle1Click(); });
    cellPage->Place(Button3, 2, 765, 142, 25, TPage::Fixed, TPage::FromBottom);
    Button5 = new QPushButton(QString::fromLatin1(ResultsView{}.SourceCaption()), cellPage);
    connect(Button5, &QPushButton::clicked, this, [this] { EquilRTtoggle1Click(); });
    cellPage->Place(Button5, 150, 765, 142, 25, TPage::Fixed, TPage::FromBottom);
    cellPage->OnShow = [this] { OutputCells3Click(); };

    TPage* readingsPage = NewPage(QStringLiteral("Flowneter readings"));
    ValueListEditor3 = new TValueListEditor(readingsPage);
    ValueListEditor3->SetKeyColumnWidth(75);
    readingsPage->Place(ValueListEditor3, 0, 13, DesignPageWidth, 361, TPage::Full);
    readingsPage->Place(NewOKButton(readingsPage, 4), 3, 380, 445, 29, TPage::Stretch);
    readingsPage->OnShow = [this] { FlowmeterReadings1Click(); };

    // Sweeps and their plots: a page of its own after the rig's five, with nothing to read
    // back on OK.
    auto* plotsScroller = new QScrollArea(PageControl1);
    plotsScroller->setWidgetResizable(true);
    plotsScroller->setFrameShape(QFrame::NoFrame);
    PlotsPage1 = new TPlotsPage(SaveDialog1);
    plotsScroller->setWidget(PlotsPage1);
    PageControl1->addTab(plotsScroller, QStringLiteral("Plots"));
    connect(PageControl1, &QTabWidget::currentChanged, this, [this](int page) {
        if (page == PlotsPageNumber && !FPlotsShown) {
            FPlotsShown = true;
            PlotsPage1->CheckConnectedCells();
        }
    });

    return PageControl1;
}

// --- what the calculation asks of the window ---

void TForm1::ShowStatusLine(StatusColour colour, const std::string& text) {
    QPalette p = Message1->palette();
    p.setColor(QPalette::Window,
               colour == StatusColour::Red ? QColor(255, 0, 0) : QColor(0, 0, 255));
    p.setColor(QPalette::WindowText, Qt::white);
    Message1->setPalette(p);
    Message1->setText(QString::fromStdString(text));
    Message1->setVisible(true);
    Message1->repaint();
    FHistory->Add(colour == StatusColour::Red ? MessageKind::Error : MessageKind::Info,
                  QString::fromStdString(text));
}

// The pause runs an event loop of its own that lets everything through but the user's input:
// the window repaints when it is uncovered or resized, and a click or a key is dropped. A pause
// of no time (after a progress line, which is painted at once) runs no loop: the input that is
// waiting stays for the calculation's next look at it, such as the request to stop. A pause that
// comes while one lasts (a message raised by what the loop let through) blocks instead of
// nesting loops.
void TForm1::Pause(double seconds) {
    if (!KeepPauses || !(seconds > 0) || !std::isfinite(seconds))
        return;
    if (FInPause) {
        WindowInterface::Pause(seconds);
        return;
    }
    FInPause = true;
    TInputHold hold;
    qApp->installEventFilter(&hold);
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QTimer end;
    end.setSingleShot(true);
    end.setTimerType(Qt::PreciseTimer);
    connect(&end, &QTimer::timeout, &loop, &QEventLoop::quit);
    // As the blocking pause, it ends only when more than the given time has passed.
    while (clock.nsecsElapsed() <= static_cast<qint64>(seconds * 1e9)) {
        const double left = seconds - double(clock.nsecsElapsed()) * 1e-9;
        end.start(static_cast<int>(std::min(std::ceil(left * 1000), 3600000.0)));
        loop.exec();
    }
    qApp->removeEventFilter(&hold);
    FInPause = false;
}

void TForm1::Beep() {
    QApplication::beep();
}

void TForm1::ShowWarning(const std::string& text) {
    FHistory->Add(MessageKind::Warning, QString::fromStdString(text));
    ++FWarningCount;
    UpdateWarningsIndicator();
}

void TForm1::ResetWarningCount() {
    FWarningCount = 0;
    UpdateWarningsIndicator();
}

void TForm1::UpdateWarningsIndicator() {
    WarningsIndicator->setText(FWarningCount == 1
                                   ? QStringLiteral("1 warning")
                                   : QString::number(FWarningCount) + QStringLiteral(" warnings"));
    WarningsIndicator->setVisible(FWarningCount > 0);
}

void TForm1::Messages1Click() {
    if (!FHistoryDialog)
        FHistoryDialog = new TMessageHistoryDialog(*FHistory, this);
    FHistoryDialog->show();
    FHistoryDialog->raise();
    FHistoryDialog->activateWindow();
}

void TForm1::FindSetting1Click() {
    if (!FFindSettingDialog) {
        FFindSettingDialog = new TFindSettingDialog(this);
        FFindSettingDialog->PutIntoRig = [this](const RigParameter& parameter, double value) {
            TrackEdit([&] { SetRigParameterInTables(parameter, value); });
            ShowVisiblePage();
            DrawMixer();
        };
    } else {
        FFindSettingDialog->FillFromRig();
    }
    FFindSettingDialog->Quantities = Quantities;
    FFindSettingDialog->show();
    FFindSettingDialog->raise();
    FFindSettingDialog->activateWindow();
}

TFindSettingDialog* TForm1::FindSettingDialog() const {
    return FFindSettingDialog;
}

void TForm1::DrawMixer() {
    ::DrawMixer(Image1->Canvas());
    Image1->update();
}

// Only the cell's box changes; the run shows it at its next pass through the event loop.
void TForm1::DrawCell(int cell) {
    if (!CellBox.Contains(cell))
        return;
    ::DrawCell(Image1->Canvas(), cell);
    const SchematicBox& b = CellBox[cell];
    Image1->update(QRect(QPoint(b.Left, b.Top), QPoint(b.Right, b.Bottom)));
}

void TForm1::ShowCellResults() {
    ::ShowCellResults(*CellTabEd);
    QuantitiesTable->ShowQuantities(Quantities);
    UpdateResultsCaption();
}

void TForm1::RefreshCellColumn(int cell, const long double* amounts, int count) {
    ::RefreshCellColumn(*CellTabEd, cell, amounts, count);
    QuantitiesTable->ShowQuantities(Quantities);
}

void TForm1::SetCalculateCaption(const std::string& caption) {
    Run1->setText(QString::fromStdString(caption));
}

void TForm1::ProcessPendingEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void TForm1::LoadedSetupFilesChanged() {
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 2; ++col)
            LoadedSetupFilesGrid->item(row, col)->setText(
                QString::fromStdString(LoadedSetupFiles[row][col]));
    UpdateWindowTitle();
}

void TForm1::CalibrationsLoaded() {
    Calibrations4Click();
}

void TForm1::AddParameterTableRows() {
    while (ValueListEditor1->RowCount() < 32) {
        ValueListEditor1->AppendRow();
        ValueListEditor2->AppendRow();
        ValueListEditor3->AppendRow();
        ValueListEditor4->AppendRow();
    }
}

// --- the results table's switches ---

void TForm1::Linlogtoggle1Click() {
    ShowLogarithmic = 1 - ShowLogarithmic;
    ShowCellResults();
    Button3->setText(QString::fromLatin1(ResultsView::Shown().ScaleCaption()));
    UpdateResultsCaption();
}

void TForm1::EquilRTtoggle1Click() {
    ShowEquilibrium = 1 - ShowEquilibrium;
    ShowCellResults();
    Button5->setText(QString::fromLatin1(ResultsView::Shown().SourceCaption()));
    UpdateResultsCaption();
}

void TForm1::UpdateResultsCaption() {
    Label6->setText(Latin1(ResultsView::Shown().Caption()) +
                    (FResultsOutOfDate ? QString::fromLatin1(OutOfDateNote) : QString()));
    QPalette p = Label6->palette();
    p.setColor(QPalette::WindowText,
               FResultsOutOfDate ? QColor(200, 0, 0) : palette().color(QPalette::WindowText));
    Label6->setPalette(p);
    QuantitiesCaption->setText(
        QStringLiteral("Cell quantities") +
        (FResultsOutOfDate ? QString::fromLatin1(OutOfDateNote) : QString()));
    QuantitiesCaption->setPalette(p);
}

void TForm1::CopyTableClick() {
    QApplication::clipboard()->setText(Latin1(TabSeparatedResults(ResultsView::Shown())));
}

void TForm1::ReferencePO2Changed() {
    bool ok = false;
    const double bar = ReferencePO2Edit->text().trimmed().toDouble(&ok);
    if (ok && ValidReferencePO2(bar) && bar != Quantities.ReferencePO2) {
        Quantities.ReferencePO2 = bar;
        QuantitiesTable->ShowQuantities(Quantities);
        if (FFindSettingDialog)
            FFindSettingDialog->Quantities = Quantities;
    }
    ReferencePO2Edit->setText(
        QString::number(Quantities.ReferencePO2, 'g', QLocale::FloatingPointShortest));
}

// --- the Calculate command ---

void TForm1::CalcStartStop() {
    if (Running) {
        CalcStartStopClick();
        return;
    }
    // The results about to be shown come from the setup as it is now; an edit while the cells
    // are calculated makes them out of date again. The rig check starts its warnings afresh.
    const bool wasOutOfDate = FResultsOutOfDate;
    FResultsOutOfDate = false;
    ResetWarningCount();
    if (CalcStartStopClick())
        FHaveResults = true;
    else
        FResultsOutOfDate = wasOutOfDate; // the mixer failed: the table kept what it showed
    // The calculation left the calibration page's OK reading nothing. The page still shown at
    // its end acts on it again; it is not filled again, so that what was typed into it during
    // the run stays.
    if (PageControl1->currentIndex() == CalibrationPageNumber)
        CurrentTable = CalibrationTable;
    UpdateResultsCaption();
}

void TForm1::ShowVisiblePage() {
    const int page = PageControl1->currentIndex();
    if (page >= 0 && page < int(FPages.size()) && FPages[std::size_t(page)]->OnShow)
        FPages[std::size_t(page)]->OnShow();
}

void TForm1::StartDialogIn(TFileDialog& dialog, const std::string& fileName) {
    QString folder;
    if (!fileName.empty())
        folder = QFileInfo(QString::fromStdString(fileName)).absolutePath();
    dialog.InitialDir = !folder.isEmpty() && QDir(folder).exists() ? folder : QDir::homePath();
}

// --- window events ---

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    DrawMixer();
}

void TForm1::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    DrawMixer();
}

// Closing asks first when there are unsaved changes; during a status-line pause it is held back
// like other input. Closing the window while the cells are calculated asks the run to stop; the
// program ends when the run has returned to the event loop.
void TForm1::closeEvent(QCloseEvent* event) {
    if (FInPause || !MayReplace(AllSetupKinds)) {
        event->ignore();
        return;
    }
    if (Running)
        StopRequested = true;
    event->accept();
}

void TForm1::Exit1Click() {
    close();
}

void TForm1::AboutClick() {
    QMessageBox::information(this, QStringLiteral("About"), AboutBoxText());
}

QString TForm1::AboutBoxText() {
    return QString::fromLatin1(AboutText) + QStringLiteral("\n\nQuorvane version ") +
           QStringLiteral(QUORVANE_VERSION) +
           QStringLiteral(
               "\n\nSpecies data: the program's own table of thirteen species (H2, D2, C(s), "
               "N2, O2, Ar, He, O3, H2O, D2O, CO, CO2, NH3), compiled in: the standard entropy and "
               "enthalpy of formation at 298.15 K and the heat capacity as "
               "Cp = A + B\u00b710\u207b\u00b3T + C\u00b710\u2075/T\u00b2 + "
               "D\u00b710\u207b\u2076T\u00b2 in temperature ranges.") +
           QStringLiteral("\n\nQuorvane is free software under the GNU General Public License, "
                          "version 3 or any later version. It comes with no warranty.");
}
