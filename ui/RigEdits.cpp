// SPDX-License-Identifier: GPL-3.0-or-later
// Which stored tables an edit changed, and the window's marks that follow: the modified mark of
// the title, the question before unsaved changes are dropped, and the results out of date.
#include "ui/RigEdits.h"

#include "core/SetupTables.h"
#include "files/FileSets.h"
#include "files/SetupFiles.h"
#include "ui/MainWindow.h"

#include <QFileInfo>
#include <QMessageBox>

#include <cstring>

struct TStoredTablesCopy::Tables {
    decltype(InputMixtures) Input = InputMixtures;
    decltype(Flowmeters) Mixer = Flowmeters;
    decltype(Calibrations) Curves = Calibrations;
    decltype(Cells) CellRecords = Cells;
};

namespace {

template <typename Record> bool SameBytes(const Record& a, const Record& b) {
    return std::memcmp(&a, &b, sizeof(Record)) == 0;
}

// Whether a table differs from its copy once the calculated fields of each record are taken
// from the copy.
template <typename Table, typename TakeCalculated>
bool Differs(const Table& before, const Table& now, TakeCalculated takeCalculated) {
    for (int i = Table::FirstIndex; i <= Table::LastIndex; ++i) {
        auto record = now[i];
        takeCalculated(record, before[i]);
        if (!SameBytes(record, before[i]))
            return true;
    }
    return false;
}

} // namespace

TStoredTablesCopy::TStoredTablesCopy() : FTables(std::make_unique<Tables>()) {}

TStoredTablesCopy::~TStoredTablesCopy() = default;

SetupKinds TStoredTablesCopy::Changed() const {
    SetupKinds changed{};
    changed[InputFileRow] =
        Differs(FTables->Input, InputMixtures, [](MixtureRecord& r, const MixtureRecord& b) {
            r.Ready = b.Ready;
            r.Flow = b.Flow;
        });
    changed[MixerFileRow] =
        Differs(FTables->Mixer, Flowmeters,
                [](FlowmeterRecord& r, const FlowmeterRecord& b) { r.Flow = b.Flow; });
    changed[CalibrationFileRow] = !SameBytes(FTables->Curves, Calibrations);
    changed[CellFileRow] = Differs(FTables->CellRecords, Cells,
                                   [](CellRecord& r, const CellRecord& b) { r.State = b.State; });
    return changed;
}

namespace {

// The name of the current file set for the title: its base name when the four current names
// share one, else the four file names.
QString FileSetTitle() {
    const std::array<std::string, 4> names = {InputFileName, MixerFileName, CalibrationFileName,
                                              CellFileName};
    if (names == std::array<std::string, 4>{})
        return {};
    const std::string base = SetupBaseName(names[0]);
    if (FileSetNames(base) == names)
        return QFileInfo(QString::fromStdString(base)).fileName();
    QStringList files;
    for (const std::string& name : names)
        files << QFileInfo(QString::fromStdString(name)).fileName();
    return files.join(QStringLiteral(", "));
}

} // namespace

// --- the window's marks: the title's modified mark and the results out of date ---

bool TForm1::SetModified(const SetupKinds& kinds, bool modified) {
    bool any = false;
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        if (kinds[i]) {
            FModified[i] = modified;
            any = true;
        }
    }
    return any;
}

void TForm1::MarkRigEdited(const SetupKinds& kinds) {
    if (!SetModified(kinds, true))
        return;
    if (FHaveResults || Running)
        FResultsOutOfDate = true;
    UpdateWindowTitle();
    UpdateResultsCaption();
}

void TForm1::TrackEdit(const std::function<void()>& edit) {
    const TStoredTablesCopy before;
    edit();
    MarkRigEdited(before.Changed());
}

bool TForm1::Modified() const {
    for (const bool modified : FModified)
        if (modified)
            return true;
    return false;
}

bool TForm1::MayReplace(const SetupKinds& kinds) {
    bool unsaved = false;
    for (std::size_t i = 0; i < kinds.size(); ++i)
        unsaved = unsaved || (kinds[i] && FModified[i]);
    if (!unsaved)
        return true;
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Quorvane"),
                    QStringLiteral("The rig has changes that are not saved."),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    box.setInformativeText(QStringLiteral("Save them to ") + FileSetTitle() + QStringLiteral("?"));
    box.setDefaultButton(QMessageBox::Save);
    switch (box.exec()) {
    case QMessageBox::Save:
        return SaveAllFiles();
    case QMessageBox::Discard:
        return true;
    default:
        return false;
    }
}

void TForm1::Opened(const SetupKinds& read) {
    if (SetModified(read, false) && (FHaveResults || Running))
        FResultsOutOfDate = true;
    UpdateWindowTitle();
    UpdateResultsCaption();
    ShowVisiblePage();
}

void TForm1::Saved(const SetupKinds& written, const SetupKinds& renamed) {
    SetupKinds unwritten{};
    for (std::size_t i = 0; i < written.size(); ++i)
        unwritten[i] = renamed[i] && !written[i];
    SetModified(written, false);
    SetModified(unwritten, true);
    UpdateWindowTitle();
}

void TForm1::UpdateWindowTitle() {
    const QString set = FileSetTitle();
    setWindowTitle(set.isEmpty() ? QStringLiteral("Quorvane[*]")
                                 : set + QStringLiteral("[*] - Quorvane"));
    setWindowModified(Modified());
}
