// SPDX-License-Identifier: GPL-3.0-or-later
// The open and save dialogs of the File menu. One of each is shared by all commands and keeps
// the filter and default extension that were last set on it. Tests answer the dialogs through
// Answer instead of the platform's dialog.
#pragma once

#include <QString>

#include <functional>
#include <optional>

class QWidget;

class TFileDialog {
public:
    enum class Kind { Open, Save };
    explicit TFileDialog(Kind kind) : FKind(kind) {}

    Kind DialogKind() const { return FKind; }

    QString Filter;     // patterns separated by "," or ";", for example "*.INP,*.MIX;"
    QString DefaultExt; // added to a chosen name that has no extension, for example "INP"
    QString InitialDir; // the folder the dialog starts in
    QString FileName;   // the full name chosen by the last confirmed run
    // The dialog chooses a file set: a name is accepted also when it is no file but one of the
    // four files of the set it names exists, such as the base name "MyRig" of MyRig.INP.
    bool ChoosesFileSet = false;

    // Runs the dialog. True with FileName set when the user confirmed a name, false when the
    // user cancelled.
    bool Execute(QWidget* parent);

    // When set, answers every dialog in place of the platform's: the chosen name as the user
    // typed it, or nothing for Cancel.
    static std::function<std::optional<QString>(const TFileDialog&)> Answer;

    // The filter as the platform's dialog takes it: "*.INP *.MIX".
    QString PlatformFilter() const;
    // The name with the default extension added when its file-name part has none.
    QString WithDefaultExt(const QString& name) const;

private:
    Kind FKind;
};
