// SPDX-License-Identifier: GPL-3.0-or-later
// A two-column key/value table with a title row: the parameter tables of the window. Rows are
// numbered from 1; keys can be made read-only while the values stay editable.
#pragma once

#include <QTableWidget>

class TValueListEditor : public QTableWidget {
    Q_OBJECT

public:
    explicit TValueListEditor(QWidget* parent = nullptr);

    void SetTitles(const QString& keyTitle, const QString& valueTitle);
    QString KeyTitle() const;
    QString ValueTitle() const;

    // Data rows 1..RowCount().
    int RowCount() const { return rowCount(); }
    void AppendRow();

    QString Key(int row) const;
    QString Value(int row) const;
    void SetKey(int row, const QString& text);
    void SetValue(int row, const QString& text);
    // Writes a key and its value into a row.
    void SetRow(int row, const QString& key, const QString& value);
    // The tooltip of a row's key and value: what the key means and its unit.
    void SetRowTip(int row, const QString& tip);
    QString RowTip(int row) const;

    // The key column is as wide as laid out, or wider when a key needs more room in the
    // font at hand.
    void SetKeyColumnWidth(int width);
    void FitKeyColumn();

    bool KeyEditing() const { return FKeyEditing; }
    void SetKeyEditing(bool allowed);

private:
    QTableWidgetItem* Item(int row, int column) const;
    QTableWidgetItem* EnsureItem(int row, int column);

    bool FKeyEditing = false;
    int FKeyColumnWidth = 75;
};
