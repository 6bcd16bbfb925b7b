// The File menu: open and save the four setup files, one by one or as a file set.
#include "files/SetupFiles.h"
#include "ui/MainWindow.h"

namespace {

// Runs the dialog; when the user confirms a name it becomes the kind's current name, the
// moment before the file is touched.
bool Choose(TForm1& form, TFileDialog& dialog, std::string& currentName) {
    if (!dialog.Execute(&form))
        return false;
    currentName = dialog.FileName.toStdString();
    return true;
}

// Open one kind: the open dialog shows only that kind's files and adds its extension.
void OpenOne(TForm1& form, const char* extension, std::string& currentName, bool (*load)()) {
    form.OpenDialog1.DefaultExt = QString::fromLatin1(extension);
    form.OpenDialog1.Filter = QStringLiteral("*.") + QString::fromLatin1(extension);
    form.OpenDialog1.ChoosesFileSet = false;
    if (Choose(form, form.OpenDialog1, currentName))
        load();
}

// Save As one kind: the save dialog stores exactly the name the user chose.
void SaveOneAs(TForm1& form, std::string& currentName, bool (*save)()) {
    if (Choose(form, form.SaveDialog1, currentName))
        save();
}

} // namespace

void TForm1::OpenAll1Click() {
    OpenDialog1.Filter = QStringLiteral("*.INP,*.MIX,*.CAL,*.CEL;");
    // A set may be named by its base name, as on the command line.
    OpenDialog1.ChoosesFileSet = true;
    if (!OpenDialog1.Execute(this))
        return;
    OpenFileSet(SetupBaseName(OpenDialog1.FileName.toStdString()));
}

void TForm1::InputGases1Click() {
    OpenOne(*this, "INP", InputFileName, LoadInputFile);
}

void TForm1::MixerOutline1Click() {
    OpenOne(*this, "MIX", MixerFileName, LoadMixerFile);
}

void TForm1::Calibrations1Click() {
    OpenOne(*this, "CAL", CalibrationFileName, LoadCalibrationFile);
}

void TForm1::OutputCells1Click() {
    OpenOne(*this, "CEL", CellFileName, LoadCellFile);
}

void TForm1::InputMixtures1Click() {
    SaveInputFile();
}

void TForm1::Mixer1Click() {
    SaveMixerFile();
}

void TForm1::Calibrations2Click() {
    SaveCalibrationFile();
}

void TForm1::Cells1Click() {
    SaveCellFile();
}

void TForm1::InputMixtures2Click() {
    SaveOneAs(*this, InputFileName, SaveInputFile);
}

void TForm1::Flowmeters1Click() {
    SaveOneAs(*this, MixerFileName, SaveMixerFile);
}

void TForm1::Calibrations3Click() {
    SaveOneAs(*this, CalibrationFileName, SaveCalibrationFile);
}

void TForm1::OutputCells2Click() {
    SaveOneAs(*this, CellFileName, SaveCellFile);
}

void TForm1::SaveAll1Click() {
    SaveInputFile();
    SaveMixerFile();
    SaveCalibrationFile();
    SaveCellFile();
}

void TForm1::SaveAllAs() {
    if (!SaveDialog1.Execute(this))
        return;
    SaveFileSet(SetupBaseName(SaveDialog1.FileName.toStdString()));
}
