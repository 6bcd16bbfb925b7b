// The File menu: open and save the four setup files, one by one or as a file set.
#include "files/SetupFiles.h"
#include "ui/MainWindow.h"

namespace {

// The chosen name as the files code takes it.
std::string Chosen(const TFileDialog& dialog) {
    return dialog.FileName.toStdString();
}

} // namespace

void TForm1::OpenAll1Click() {
    OpenDialog1.Filter = QStringLiteral("*.INP,*.MIX,*.CAL,*.CEL;");
    if (!OpenDialog1.Execute(this))
        return;
    OpenFileSet(SetupBaseName(Chosen(OpenDialog1)));
}

void TForm1::InputGases1Click() {
    OpenDialog1.DefaultExt = QStringLiteral("INP");
    OpenDialog1.Filter = QStringLiteral("*.INP");
    if (!OpenDialog1.Execute(this))
        return;
    InputFileName = Chosen(OpenDialog1);
    LoadInputFile();
}

void TForm1::MixerOutline1Click() {
    OpenDialog1.DefaultExt = QStringLiteral("MIX");
    OpenDialog1.Filter = QStringLiteral("*.MIX");
    if (!OpenDialog1.Execute(this))
        return;
    MixerFileName = Chosen(OpenDialog1);
    LoadMixerFile();
}

void TForm1::Calibrations1Click() {
    OpenDialog1.DefaultExt = QStringLiteral("CAL");
    OpenDialog1.Filter = QStringLiteral("*.CAL");
    if (!OpenDialog1.Execute(this))
        return;
    CalibrationFileName = Chosen(OpenDialog1);
    LoadCalibrationFile();
}

void TForm1::OutputCells1Click() {
    OpenDialog1.DefaultExt = QStringLiteral("CEL");
    OpenDialog1.Filter = QStringLiteral("*.CEL");
    if (!OpenDialog1.Execute(this))
        return;
    CellFileName = Chosen(OpenDialog1);
    LoadCellFile();
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
    if (!SaveDialog1.Execute(this))
        return;
    InputFileName = Chosen(SaveDialog1);
    SaveInputFile();
}

void TForm1::Flowmeters1Click() {
    if (!SaveDialog1.Execute(this))
        return;
    MixerFileName = Chosen(SaveDialog1);
    SaveMixerFile();
}

void TForm1::Calibrations3Click() {
    if (!SaveDialog1.Execute(this))
        return;
    CalibrationFileName = Chosen(SaveDialog1);
    SaveCalibrationFile();
}

void TForm1::OutputCells2Click() {
    if (!SaveDialog1.Execute(this))
        return;
    CellFileName = Chosen(SaveDialog1);
    SaveCellFile();
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
    const std::string base = SetupBaseName(Chosen(SaveDialog1));
    InputFileName = base + ".INP";
    SaveInputFile();
    MixerFileName = base + ".MIX";
    SaveMixerFile();
    CalibrationFileName = base + ".CAL";
    SaveCalibrationFile();
    CellFileName = base + ".CEL";
    SaveCellFile();
}
