// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/SetupFiles.h"

#include "core/MixerNetwork.h"
#include "core/SetupTables.h"
#include "core/StatusLine.h"
#include "core/WindowInterface.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QString>

#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::string InputFileName;
std::string MixerFileName;
std::string CalibrationFileName;
std::string CellFileName;

std::array<std::array<std::string, 2>, 4> LoadedSetupFiles = {{
    {"Inp", ""},
    {"Mix", ""},
    {"Cal", ""},
    {"Out", ""},
}};

void ResetLoadedSetupFiles() {
    LoadedSetupFiles = {{
        {"Inp", ""},
        {"Mix", ""},
        {"Cal", ""},
        {"Out", ""},
    }};
}

void ResetSetupFiles() {
    InputFileName.clear();
    MixerFileName.clear();
    CalibrationFileName.clear();
    CellFileName.clear();
    ResetLoadedSetupFiles();
}

void SetCurrentFileNames(const std::string& base) {
    InputFileName = base + ".INP";
    MixerFileName = base + ".MIX";
    CalibrationFileName = base + ".CAL";
    CellFileName = base + ".CEL";
}

namespace {

// One kind of setup file: where its records lie in memory, which name it goes by and what its
// records are called in a message.
struct FileKind {
    std::string& Name;
    int Row;
    char* Records;
    std::size_t RecordSize;
    int RecordCount;
    const char* Holds;
};

template <typename Table>
FileKind KindOf(std::string& name, int row, Table& table, const char* holds) {
    return {
        name, row, reinterpret_cast<char*>(table.data()), sizeof(*table.data()), int(table.Count),
        holds};
}

FileKind InputKind() {
    return KindOf(InputFileName, InputFileRow, InputMixtures, "the input gases and mixtures");
}
FileKind MixerKind() {
    return KindOf(MixerFileName, MixerFileRow, Flowmeters, "the flowmeters");
}
FileKind CalibrationKind() {
    return KindOf(CalibrationFileName, CalibrationFileRow, Calibrations, "the calibration curves");
}
FileKind CellKind() {
    return KindOf(CellFileName, CellFileRow, Cells, "the cells");
}

QString FilePath(const std::string& name) {
    return QString::fromStdString(name);
}

// The file's full name, for messages.
std::string FullName(const std::string& name) {
    return QFileInfo(FilePath(name)).absoluteFilePath().toStdString();
}

// Opens the named file for reading when it is a regular file (or a link to one). Anything else
// is refused as a file that cannot be opened: a FIFO would block the program until some writer
// came, a device would yield bytes without end or none, a folder holds no records. The name is
// opened without blocking and then looked at, so that it cannot change between look and open.
// On failure `reason` says why, as the system says it.
bool OpenRegularFile(QFile& file, const std::string& name, std::string& reason) {
    const int fd = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        reason = std::strerror(errno);
        return false;
    }
    struct stat status {};
    bool opened = false;
    if (::fstat(fd, &status) != 0 || ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0)
        reason = std::strerror(errno);
    else if (S_ISDIR(status.st_mode))
        reason = std::strerror(EISDIR);
    else if (!S_ISREG(status.st_mode))
        reason = "not a regular file";
    else if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        reason = file.errorString().toStdString();
    else
        opened = true;
    if (!opened)
        ::close(fd);
    return opened;
}

// Reads up to size bytes; fewer only at the end of the file or on a read error.
std::size_t ReadBlock(QFile& file, char* buffer, std::size_t size) {
    std::size_t got = 0;
    while (got < size) {
        const qint64 n = file.read(buffer + got, qint64(size - got));
        if (n <= 0)
            break;
        got += std::size_t(n);
    }
    return got;
}

void EnterLoaded(const FileKind& kind) {
    LoadedSetupFiles[kind.Row][1] = kind.Name;
    Window().LoadedSetupFilesChanged();
}

// Reads the records of one kind in order. afterRecord(n) runs after record n, also for the
// records that the file does not hold. A record the file holds only in part is not applied:
// it keeps its previous contents whole, and the status line names the incomplete file.
// Returns false when the file could not be opened (nothing changed); `reason` then says why
// (empty when there is no current name).
template <typename AfterRecord>
bool LoadKind(const FileKind& kind, AfterRecord afterRecord, std::string& reason) {
    QFile file;
    if (kind.Name.empty() || !OpenRegularFile(file, kind.Name, reason))
        return false;
    std::vector<char> buffer(kind.RecordSize);
    bool atEnd = false;
    bool incomplete = false;
    for (int n = 1; n <= kind.RecordCount; ++n) {
        if (!atEnd) {
            const std::size_t got = ReadBlock(file, buffer.data(), kind.RecordSize);
            if (got == kind.RecordSize) {
                std::memcpy(kind.Records + std::size_t(n - 1) * kind.RecordSize, buffer.data(),
                            kind.RecordSize);
            } else {
                atEnd = true;
                incomplete = got > 0;
            }
        }
        afterRecord(n);
    }
    file.close();
    EnterLoaded(kind);
    if (incomplete)
        ShowStatusError("Incomplete file " + FullName(kind.Name), ErrorPause);
    return true;
}

// Writes the records of one kind into the save file's temporary and makes sure they reached the
// disk, so that what fails (a full disk, a size limit) fails here, with its reason, and not at
// the replacing. Returns the system's reason for a failure, or nothing.
std::string WriteRecords(QSaveFile& file, const FileKind& kind) {
    const qint64 size = qint64(kind.RecordSize) * kind.RecordCount;
    // Unbuffered, and on after a short write: the write that then fails carries the reason.
    qint64 written = 0;
    if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        for (qint64 n = 0; written < size; written += n)
            if ((n = file.write(kind.Records + written, size - written)) <= 0)
                break;
    }
    if (written != size)
        return file.errorString().toStdString();
    if (::fsync(file.handle()) != 0 && errno != EINVAL)
        return std::strerror(errno);
    return {};
}

// Writes the records of one kind as a whole: either the complete new file replaces the old one,
// or the old one stays as it was and the status line says so, with the system's reason.
bool SaveKind(const FileKind& kind) {
    QSaveFile file(FilePath(kind.Name));
    std::string reason = kind.Name.empty() ? "no file name" : WriteRecords(file, kind);
    if (reason.empty() && !file.commit())
        reason = file.errorString().toStdString();
    if (!reason.empty()) {
        file.cancelWriting();
        ShowStatusError("Could not save " + FullName(kind.Name) + ": " + reason, ErrorPause);
        return false;
    }
    EnterLoaded(kind);
    return true;
}

void Nothing(int) {}

// Loads one kind for a file command; a file that cannot be read is a warning that names it and
// the system's reason, and leaves the table as it was. Returns whether the file was read.
template <typename AfterRecord> bool LoadForCommand(const FileKind& kind, AfterRecord afterRecord) {
    std::string reason;
    if (LoadKind(kind, afterRecord, reason))
        return true;
    if (!kind.Name.empty())
        ShowWarning("Could not read " + FullName(kind.Name) + ": " + reason + "; " + kind.Holds +
                    " are left as they were");
    return false;
}

// Writes the temporary of one file of a set; `error` names the file and the reason.
bool WriteTemporary(QSaveFile& file, const FileKind& kind, std::string& error) {
    const std::string reason = WriteRecords(file, kind);
    if (reason.empty())
        return true;
    error = FullName(kind.Name) + ": " + reason + "; no file of the set was replaced";
    return false;
}

} // namespace

bool LoadInputFile() {
    return LoadForCommand(InputKind(), [](int n) { CheckInputMixture(n); });
}

bool LoadMixerFile() {
    return LoadForCommand(MixerKind(), Nothing);
}

bool LoadCalibrationFile() {
    if (!LoadForCommand(CalibrationKind(), Nothing))
        return false;
    Window().CalibrationsLoaded();
    return true;
}

bool LoadCellFile() {
    if (!LoadForCommand(CellKind(), Nothing))
        return false;
    for (CellRecord& cell : Cells)
        cell.State = CellRunState::NotCalculated;
    Window().DrawMixer();
    return true;
}

bool SaveInputFile() {
    return SaveKind(InputKind());
}
bool SaveMixerFile() {
    return SaveKind(MixerKind());
}
bool SaveCalibrationFile() {
    return SaveKind(CalibrationKind());
}
bool SaveCellFile() {
    return SaveKind(CellKind());
}

std::array<bool, 4> OpenFileSet(const std::string& base) {
    std::array<bool, 4> read{};
    InputFileName = base + ".INP";
    read[InputFileRow] = LoadInputFile();
    MixerFileName = base + ".MIX";
    read[MixerFileRow] = LoadMixerFile();
    CalibrationFileName = base + ".CAL";
    read[CalibrationFileRow] = LoadCalibrationFile();
    CellFileName = base + ".CEL";
    read[CellFileRow] = LoadCellFile();
    return read;
}

std::array<bool, 4> SaveFileSet(const std::string& base) {
    std::array<bool, 4> written{};
    InputFileName = base + ".INP";
    written[InputFileRow] = SaveInputFile();
    MixerFileName = base + ".MIX";
    written[MixerFileRow] = SaveMixerFile();
    CalibrationFileName = base + ".CAL";
    written[CalibrationFileRow] = SaveCalibrationFile();
    CellFileName = base + ".CEL";
    written[CellFileRow] = SaveCellFile();
    return written;
}

bool SaveWholeFileSet(const std::string& base, std::string& error) {
    InputFileName = base + ".INP";
    MixerFileName = base + ".MIX";
    CalibrationFileName = base + ".CAL";
    CellFileName = base + ".CEL";
    const std::array<FileKind, 4> kinds = {InputKind(), MixerKind(), CalibrationKind(), CellKind()};
    // Every temporary is written before the first old file is replaced; the save files that are
    // not committed remove their temporaries.
    std::array<std::unique_ptr<QSaveFile>, 4> files;
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        files[i] = std::make_unique<QSaveFile>(FilePath(kinds[i].Name));
        if (!WriteTemporary(*files[i], kinds[i], error))
            return false;
    }
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        // Only the renaming is left to fail here.
        if (!files[i]->commit()) {
            error = FullName(kinds[i].Name) + ": " + files[i]->errorString().toStdString() +
                    (i == 0 ? "; no file of the set was replaced"
                            : "; the files of the set before it were replaced");
            return false;
        }
        EnterLoaded(kinds[i]);
    }
    return true;
}

std::array<bool, 4> ReadStoredFileSet(const std::string& base) {
    SetCurrentFileNames(base);
    std::string reason; // the file tools say themselves which file they could not read
    return {LoadKind(InputKind(), Nothing, reason), LoadKind(MixerKind(), Nothing, reason),
            LoadKind(CalibrationKind(), Nothing, reason), LoadKind(CellKind(), Nothing, reason)};
}

std::string SetupBaseName(const std::string& chosenName) {
    const std::size_t slash = chosenName.find_last_of('/');
    const std::size_t partStart = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = chosenName.find_last_of('.');
    if (dot == std::string::npos || dot < partStart)
        return chosenName;
    return chosenName.substr(0, dot);
}
