// SPDX-License-Identifier: GPL-3.0-or-later
// The message history: every status-line message and every warning, with the time it came, so
// that a message the status line has replaced can still be read. The window keeps one history
// and shows it in a dialog of its own, opened from the Tools menu or by a click on the status
// line.
#pragma once

#include <QAbstractTableModel>
#include <QDateTime>
#include <QDialog>

#include <deque>

class QTableView;

enum class MessageKind { Error, Info, Warning };

struct HistoryMessage {
    QDateTime Time;
    MessageKind Kind;
    QString Text;
};

// The messages as a table of three columns: time, kind and text, oldest first. It keeps the last
// Capacity messages; a run that is left going for hours must not fill the memory with its
// progress lines.
class TMessageHistory : public QAbstractTableModel {
    Q_OBJECT

public:
    static constexpr int Capacity = 10000;
    enum Column { TimeColumn, KindColumn, TextColumn };

    explicit TMessageHistory(QObject* parent = nullptr);

    void Add(MessageKind kind, const QString& text);
    const std::deque<HistoryMessage>& Messages() const { return FMessages; }
    // The messages as text, one line each: time, kind and text separated by tabs.
    QString Text() const;

    // "Error", "Info" or "Warning".
    static QString KindName(MessageKind kind);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::deque<HistoryMessage> FMessages;
};

// The dialog that shows the history. It stays open beside the window and takes in new messages
// as they come; Copy puts the whole history on the clipboard.
class TMessageHistoryDialog : public QDialog {
    Q_OBJECT

public:
    TMessageHistoryDialog(TMessageHistory& history, QWidget* parent);

    QTableView* Table() const { return FTable; }
    void CopyAll();

private:
    TMessageHistory& FHistory;
    QTableView* FTable;
};
