// SPDX-License-Identifier: GPL-3.0-or-later
// The File menu: open and save the four setup files, one by one or as a file set. An open that
// would replace unsaved changes asks first; every dialog starts in the current file set's
// folder; what was read or written is no longer modified, and after an open the visible page
// shows the new tables.
#include "files/SetupFiles.h"
#include "ui/MainWindow.h"

namespace {

SetupKinds Only(int kind, bool done = true) {
    SetupKinds kinds{};
    kinds[std::size_t(kind)] = done;
    return kinds;
}

} // namespace

// Open one kind: the open dialog shows only that kind's files and adds its extension. When the
// user confirms a name it becomes the kind's current name, the moment before the file is read.
void TForm1::OpenOne(int kind, const char* extension, std::string& currentName, bool (*load)()) {
    if (!MayReplace(Only(kind)))
        return;
    OpenDialog1.DefaultExt = QString::fromLatin1(extension);
    OpenDialog1.Filter = QStringLiteral("*.") + QString::fromLatin1(extension);
    OpenDialog1.ChoosesFileSet = false;
    StartDialogIn(OpenDialog1, currentName);
    if (!OpenDialog1.Execute(this))
        return;
    currentName = OpenDialog1.FileName.toStdString();
    Opened(Only(kind, load()));
}

void TForm1::SaveOne(int kind, bool (*save)()) {
    Saved(Only(kind, save()));
}

// Save As one kind: the save dialog stores exactly the name the user chose.
void TForm1::SaveOneAs(int kind, std::string& currentName, bool (*save)()) {
    StartDialogIn(SaveDialog1, currentName);
    if (!SaveDialog1.Execute(this))
        return;
    currentName = SaveDialog1.FileName.toStdString();
    Saved(Only(kind, save()), Only(kind));
}

void TForm1::OpenAll1Click() {
    if (!MayReplace(AllSetupKinds))
        return;
    OpenDialog1.Filter = QStringLiteral("*.INP,*.MIX,*.CAL,*.CEL;");
    // A set may be named by its base name, as on the command line.
    OpenDialog1.ChoosesFileSet = true;
    StartDialogIn(OpenDialog1, InputFileName);
    if (!OpenDialog1.Execute(this))
        return;
    // The warnings counted so far were about the rig that this one replaces.
    ResetWarningCount();
    Opened(OpenFileSet(SetupBaseName(OpenDialog1.FileName.toStdString())));
}

void TForm1::InputGases1Click() {
    OpenOne(InputFileRow, "INP", InputFileName, LoadInputFile);
}

void TForm1::MixerOutline1Click() {
    OpenOne(MixerFileRow, "MIX", MixerFileName, LoadMixerFile);
}

void TForm1::Calibrations1Click() {
    OpenOne(CalibrationFileRow, "CAL", CalibrationFileName, LoadCalibrationFile);
}

void TForm1::OutputCells1Click() {
    OpenOne(CellFileRow, "CEL", CellFileName, LoadCellFile);
}

void TForm1::InputMixtures1Click() {
    SaveOne(InputFileRow, SaveInputFile);
}

void TForm1::Mixer1Click() {
    SaveOne(MixerFileRow, SaveMixerFile);
}

void TForm1::Calibrations2Click() {
    SaveOne(CalibrationFileRow, SaveCalibrationFile);
}

void TForm1::Cells1Click() {
    SaveOne(CellFileRow, SaveCellFile);
}

void TForm1::InputMixtures2Click() {
    SaveOneAs(InputFileRow, InputFileName, SaveInputFile);
}

void TForm1::Flowmeters1Click() {
    SaveOneAs(MixerFileRow, MixerFileName, SaveMixerFile);
}

void TForm1::Calibrations3Click() {
    SaveOneAs(CalibrationFileRow, CalibrationFileName, SaveCalibrationFile);
}

void TForm1::OutputCells2Click() {
    SaveOneAs(CellFileRow, CellFileName, SaveCellFile);
}

bool TForm1::SaveAllFiles() {
    const SetupKinds saved = {SaveInputFile(), SaveMixerFile(), SaveCalibrationFile(),
                              SaveCellFile()};
    Saved(saved);
    return saved == AllSetupKinds;
}

void TForm1::SaveAll1Click() {
    SaveAllFiles();
}

void TForm1::SaveAllAs() {
    StartDialogIn(SaveDialog1, InputFileName);
    if (!SaveDialog1.Execute(this))
        return;
    Saved(SaveFileSet(SetupBaseName(SaveDialog1.FileName.toStdString())), AllSetupKinds);
}
