// SPDX-License-Identifier: GPL-3.0-or-later
// quorvane-rig: converts a rig between its four binary files and one JSON document, and puts a
// rig in place as the default file set.
#include "core/Cat.h"
#include "files/FileSets.h"
#include "files/RigJson.h"
#include "files/SetupFiles.h"
#include "files/StartUp.h"
#include "report/BatchRun.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>

#include <iostream>

namespace {

const char* const Program = "quorvane-rig";

int BadUsage(const QCommandLineParser& parser, const std::string& problem) {
    std::cerr << Program << ": " << problem << "\n\n" << parser.helpText().toStdString();
    return 2;
}

int ToJson(const std::string& argument) {
    const std::string base = FileSetBaseOf(argument);
    SetStoredTablesToDefaults();
    const std::array<bool, 4> read = ReadStoredFileSet(base);
    std::cerr << UnreadFilesMessage(Program, base, read,
                                    "its table is written with its start-up values");
    if (read == std::array<bool, 4>{})
        return 2;
    std::cout << RigToJson() << std::flush;
    return 0;
}

int FromJson(const QCommandLineParser& parser, const std::string& jsonName,
             const std::string& argument) {
    const std::string base = FileSetBaseOf(argument);
    if (NamesAFolder(base)) {
        const std::string folder = base.empty() || base.back() == '/' ? base : base + "/";
        return BadUsage(parser, Cat("\"", argument,
                                    "\" names a folder, not a file set in it (for "
                                    "example ",
                                    folder, "rig)"));
    }
    QFile file(QString::fromStdString(jsonName));
    const bool opened =
        jsonName == "-" ? file.open(stdin, QIODevice::ReadOnly) : file.open(QIODevice::ReadOnly);
    if (!opened) {
        std::cerr << Program << ": cannot read " << jsonName << ": "
                  << file.errorString().toStdString() << "\n";
        return 1;
    }
    const std::string json = file.readAll().toStdString();

    SetStoredTablesToDefaults();
    std::string error;
    if (!RigFromJson(json, error)) {
        std::cerr << Program << ": " << jsonName << ": " << error << "; nothing written\n";
        return 1;
    }
    if (!SaveWholeFileSet(base, error)) {
        std::cerr << Program << ": could not write " << error << "\n";
        return 1;
    }
    return 0;
}

int InstallDefault(const std::string& argument) {
    const std::string target = DefaultSetupPath();
    std::string error;
    switch (InstallFileSet(FileSetBaseOf(argument), target, error)) {
    case InstallResult::Installed:
        std::cerr << Program << ": installed " << argument << " as the default file set " << target
                  << "\n";
        return 0;
    case InstallResult::AlreadyThere:
        std::cerr << Program << ": a default file set exists at " << target
                  << "; it is left as it is\n";
        return 0;
    case InstallResult::Failed:
        break;
    }
    std::cerr << Program << ": no default file set installed at " << target << ": " << error
              << "\n";
    return 1;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    SetProgramIdentity();
    QCoreApplication::setApplicationVersion(QUORVANE_VERSION);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Converts a Quorvane rig between its four binary files BASE.INP, BASE.MIX, BASE.CAL,\n"
        "BASE.CEL and one JSON document.\n"
        "\n"
        "  to-json BASE              writes the rig as JSON to standard output\n"
        "  from-json RIG.json BASE   writes the four files from the document (- reads standard\n"
        "                            input); a document with an error writes nothing\n"
        "  install-default BASE      copies the rig to the default file set, unless a file of\n"
        "                            that set exists\n"
        "\n"
        "The default file set is $QUORVANE_DEFAULT_SET when that names a base, else\n"
        "$XDG_DATA_HOME/quorvane/Default (by default ~/.local/share/quorvane/Default).\n"
        "\n"
        "BASE is the base name of the set, or one of its four files.\n"
        "Exit status: 0 done; 1 a document with an error, or a file that could not be written;\n"
        "2 bad usage, or no file of the set could be read.");
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument("command", "to-json, from-json or install-default");

    if (!parser.parse(QCoreApplication::arguments()))
        return BadUsage(parser, parser.errorText().toStdString());
    if (parser.isSet(help))
        parser.showHelp(0);
    if (parser.isSet(version)) {
        std::cout << Program << " " << QUORVANE_VERSION << "\n";
        return 0;
    }

    BatchWindow window(std::cerr);
    SetWindow(&window);
    const QStringList arguments = parser.positionalArguments();
    const QString command = arguments.value(0);
    int status = 2;
    if (command == "to-json" && arguments.size() == 2)
        status = ToJson(arguments[1].toStdString());
    else if (command == "from-json" && arguments.size() == 3)
        status = FromJson(parser, arguments[1].toStdString(), arguments[2].toStdString());
    else if (command == "install-default" && arguments.size() == 2)
        status = InstallDefault(arguments[1].toStdString());
    else
        status = BadUsage(parser, arguments.isEmpty() ? "give a command"
                                                      : "unknown command or wrong arguments");
    SetWindow(nullptr);
    return status;
}
