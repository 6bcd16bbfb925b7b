// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ValueListEditor.h"

#include <QHeaderView>

TValueListEditor::TValueListEditor(QWidget* parent) : QTableWidget(0, 2, parent) {
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(18);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setHighlightSections(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    setWordWrap(false);
    QPalette p = palette();
    p.setColor(QPalette::Base, QColor(192, 192, 192));
    setPalette(p);
    setHorizontalHeaderItem(0, new QTableWidgetItem);
    setHorizontalHeaderItem(1, new QTableWidgetItem);
}

void TValueListEditor::SetTitles(const QString& keyTitle, const QString& valueTitle) {
    horizontalHeaderItem(0)->setText(keyTitle);
    horizontalHeaderItem(1)->setText(valueTitle);
}

QString TValueListEditor::KeyTitle() const {
    return horizontalHeaderItem(0)->text();
}

QString TValueListEditor::ValueTitle() const {
    return horizontalHeaderItem(1)->text();
}

void TValueListEditor::AppendRow() {
    const int row = rowCount();
    insertRow(row);
    EnsureItem(row + 1, 0);
    EnsureItem(row + 1, 1);
}

QTableWidgetItem* TValueListEditor::Item(int row, int column) const {
    if (row < 1 || row > rowCount())
        return nullptr;
    return item(row - 1, column);
}

QTableWidgetItem* TValueListEditor::EnsureItem(int row, int column) {
    QTableWidgetItem* it = Item(row, column);
    if (it == nullptr && row >= 1 && row <= rowCount()) {
        it = new QTableWidgetItem;
        if (column == 0 && !FKeyEditing)
            it->setFlags(it->flags() & ~Qt::ItemIsEditable);
        setItem(row - 1, column, it);
    }
    return it;
}

QString TValueListEditor::Key(int row) const {
    const QTableWidgetItem* it = Item(row, 0);
    return it ? it->text() : QString();
}

QString TValueListEditor::Value(int row) const {
    const QTableWidgetItem* it = Item(row, 1);
    return it ? it->text() : QString();
}

void TValueListEditor::SetKey(int row, const QString& text) {
    if (QTableWidgetItem* it = EnsureItem(row, 0))
        it->setText(text);
}

void TValueListEditor::SetValue(int row, const QString& text) {
    if (QTableWidgetItem* it = EnsureItem(row, 1))
        it->setText(text);
}

void TValueListEditor::SetRow(int row, const QString& key, const QString& value) {
    SetKey(row, key);
    SetValue(row, value);
}

void TValueListEditor::SetRowTip(int row, const QString& tip) {
    for (int column = 0; column < 2; ++column)
        if (QTableWidgetItem* it = EnsureItem(row, column))
            it->setToolTip(tip);
}

QString TValueListEditor::RowTip(int row) const {
    const QTableWidgetItem* it = Item(row, 0);
    return it ? it->toolTip() : QString();
}

void TValueListEditor::SetKeyEditing(bool allowed) {
    FKeyEditing = allowed;
    for (int row = 1; row <= rowCount(); ++row) {
        QTableWidgetItem* it = EnsureItem(row, 0);
        it->setFlags(allowed ? it->flags() | Qt::ItemIsEditable
                             : it->flags() & ~Qt::ItemIsEditable);
    }
}

void TValueListEditor::SetKeyColumnWidth(int width) {
    FKeyColumnWidth = width;
    setColumnWidth(0, width);
}

void TValueListEditor::FitKeyColumn() {
    setColumnWidth(0, std::max(FKeyColumnWidth, sizeHintForColumn(0)));
}
