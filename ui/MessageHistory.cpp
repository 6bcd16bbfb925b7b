// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/MessageHistory.h"

#include <QApplication>
#include <QClipboard>
#include <QColor>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace {
QString TimeText(const QDateTime& time) {
    return time.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
}
} // namespace

TMessageHistory::TMessageHistory(QObject* parent) : QAbstractTableModel(parent) {}

void TMessageHistory::Add(MessageKind kind, const QString& text) {
    if (FMessages.size() >= std::size_t(Capacity)) {
        beginRemoveRows(QModelIndex(), 0, 0);
        FMessages.pop_front();
        endRemoveRows();
    }
    const int row = int(FMessages.size());
    beginInsertRows(QModelIndex(), row, row);
    FMessages.push_back({QDateTime::currentDateTime(), kind, text});
    endInsertRows();
}

QString TMessageHistory::KindName(MessageKind kind) {
    switch (kind) {
    case MessageKind::Error:
        return QStringLiteral("Error");
    case MessageKind::Info:
        return QStringLiteral("Info");
    case MessageKind::Warning:
        break;
    }
    return QStringLiteral("Warning");
}

QString TMessageHistory::Text() const {
    QString text;
    for (const HistoryMessage& m : FMessages)
        text += TimeText(m.Time) + QLatin1Char('\t') + KindName(m.Kind) + QLatin1Char('\t') +
                m.Text + QLatin1Char('\n');
    return text;
}

int TMessageHistory::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(FMessages.size());
}

int TMessageHistory::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 3;
}

QVariant TMessageHistory::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() < 0 || index.row() >= rowCount() || index.column() < 0 ||
        index.column() >= columnCount())
        return {};
    const HistoryMessage& m = FMessages[std::size_t(index.row())];
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
        case TimeColumn:
            return m.Time.toString(QStringLiteral("hh:mm:ss.zzz"));
        case KindColumn:
            return KindName(m.Kind);
        default:
            return m.Text;
        }
    }
    if (role == Qt::ToolTipRole && index.column() == TimeColumn)
        return TimeText(m.Time);
    // The colours of the status line: red for failures, blue for progress; warnings in orange.
    if (role == Qt::ForegroundRole) {
        switch (m.Kind) {
        case MessageKind::Error:
            return QColor(200, 0, 0);
        case MessageKind::Info:
            return QColor(0, 0, 200);
        case MessageKind::Warning:
            return QColor(176, 96, 0);
        }
    }
    return {};
}

QVariant TMessageHistory::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case TimeColumn:
        return QStringLiteral("Time");
    case KindColumn:
        return QStringLiteral("Kind");
    default:
        return QStringLiteral("Message");
    }
}

TMessageHistoryDialog::TMessageHistoryDialog(TMessageHistory& history, QWidget* parent)
    : QDialog(parent), FHistory(history), FTable(new QTableView(this)) {
    setWindowTitle(QStringLiteral("Messages"));
    resize(900, 400);
    FTable->setModel(&history);
    FTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    FTable->setWordWrap(false);
    FTable->setTextElideMode(Qt::ElideNone);
    FTable->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    FTable->verticalHeader()->hide();
    FTable->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    FTable->verticalHeader()->setDefaultSectionSize(FTable->fontMetrics().height() + 4);
    QHeaderView& columns = *FTable->horizontalHeader();
    columns.setSectionResizeMode(QHeaderView::Interactive);
    columns.setStretchLastSection(true);
    // The time and the kind are as wide as their texts; the message column grows with the
    // longest message, one message at a time, and the table scrolls sideways to show it whole.
    const QFontMetrics metrics = FTable->fontMetrics();
    const int margin = 2 * FTable->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 8;
    columns.resizeSection(TMessageHistory::TimeColumn,
                          metrics.horizontalAdvance(QStringLiteral("00:00:00.000")) + margin);
    columns.resizeSection(TMessageHistory::KindColumn,
                          metrics.horizontalAdvance(QStringLiteral("Warning")) + margin);
    const auto fitText = [this, metrics, margin](int first, int last) {
        QHeaderView& header = *FTable->horizontalHeader();
        int width = header.sectionSize(TMessageHistory::TextColumn);
        for (int row = first; row <= last; ++row)
            width = std::max(width,
                             metrics.horizontalAdvance(FHistory.Messages()[std::size_t(row)].Text) +
                                 margin);
        if (width > header.sectionSize(TMessageHistory::TextColumn)) {
            header.setStretchLastSection(false);
            header.resizeSection(TMessageHistory::TextColumn, width);
        }
    };
    fitText(0, history.rowCount() - 1);
    connect(&history, &QAbstractItemModel::rowsInserted, this,
            [fitText](const QModelIndex&, int first, int last) { fitText(first, last); });
    // A new message shows at once unless the user has scrolled back to read an older one.
    connect(&history, &QAbstractItemModel::rowsAboutToBeInserted, this, [this] {
        QScrollBar* bar = FTable->verticalScrollBar();
        const bool atEnd = bar->value() == bar->maximum();
        QMetaObject::invokeMethod(
            this,
            [this, atEnd] {
                if (atEnd)
                    FTable->scrollToBottom();
            },
            Qt::QueuedConnection);
    });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* copy = buttons->addButton(QStringLiteral("Copy"), QDialogButtonBox::ActionRole);
    connect(copy, &QPushButton::clicked, this, &TMessageHistoryDialog::CopyAll);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(FTable);
    layout->addWidget(buttons);
    FTable->scrollToBottom();
}

void TMessageHistoryDialog::CopyAll() {
    QApplication::clipboard()->setText(FHistory.Text());
}
