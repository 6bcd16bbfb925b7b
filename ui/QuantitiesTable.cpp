// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/QuantitiesTable.h"

#include "core/LatinText.h"
#include "report/QuantitiesText.h"
#include "report/ResultsView.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>

TQuantitiesTable::TQuantitiesTable(QWidget* parent) : QTableWidget(parent) {
    setObjectName(QStringLiteral("QuantitiesTable"));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setRowCount(static_cast<int>(QuantityNames().size()));
    int row = 0;
    for (const QuantityName& quantity : QuantityNames())
        setVerticalHeaderItem(row++, new QTableWidgetItem(Latin1(quantity.Caption)));
    verticalHeader()->setDefaultSectionSize(17);
    horizontalHeader()->setDefaultSectionSize(95);
    CopyTable1 = new QAction(QStringLiteral("Copy Table"), this);
    CopyTable1->setShortcut(QKeySequence::Copy);
    CopyTable1->setShortcutContext(Qt::WidgetShortcut);
    connect(CopyTable1, &QAction::triggered, this, &TQuantitiesTable::CopyTableClick);
    addAction(CopyTable1);
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

void TQuantitiesTable::ShowQuantities(const QuantityOptions& options) {
    FOptions = options;
    FCells = QuantityCells();
    setColumnCount(static_cast<int>(FCells.size()));
    for (int column = 0; column < columnCount(); ++column) {
        const int cell = FCells[std::size_t(column)];
        setHorizontalHeaderItem(column,
                                new QTableWidgetItem(Latin1(ResultsView::ColumnName(cell))));
        const CellQuantities values = QuantitiesOfCell(cell, options);
        int row = 0;
        for (const QuantityName& quantity : QuantityNames()) {
            auto* item = new QTableWidgetItem(
                QString::fromStdString(QuantityText(quantity, values.*quantity.Member)));
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            setItem(row++, column, item);
        }
    }
}

void TQuantitiesTable::CopyTableClick() {
    QApplication::clipboard()->setText(Latin1(TabSeparatedQuantities(FCells, FOptions)));
}
