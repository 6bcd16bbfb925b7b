// SPDX-License-Identifier: GPL-3.0-or-later
// Quorvane: the window is created first, then the defaults are installed and the default file
// set is read, then the event loop runs until the window is closed.
#include "core/WindowInterface.h"
#include "files/StartUp.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>
#include <cstring>

namespace {

void DescribeCommandLine(QCommandLineParser& parser) {
    parser.setApplicationDescription(
        "Quorvane, the calculator of a laboratory gas-mixing rig: flows, compositions and the\n"
        "equilibrium of the gas each measurement cell receives.\n"
        "\n"
        "It starts on the default file set: $QUORVANE_DEFAULT_SET when that names a base, else\n"
        "$XDG_DATA_HOME/quorvane/Default (by default ~/.local/share/quorvane/Default). When no\n"
        "file of that set exists, the first start puts the example rig there.");
    parser.addHelpOption();
    parser.addVersionOption();
}

// --help and --version are answered without a window, so that they work without a display too.
bool AsksForHelpOrVersion(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        for (const char* option : {"-h", "-?", "--help", "--help-all", "-v", "--version"})
            if (std::strcmp(argv[i], option) == 0)
                return true;
    return false;
}

// For measuring the start-up (scripts/startup-time): with QUORVANE_EXIT_WHEN_DRAWN set, the
// program writes how long it took from main to the end of the window's first painting, and
// ends.
class TFirstPaint : public QObject {
public:
    explicit TFirstPaint(const QElapsedTimer& clock) : FClock(clock) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && !FSeen) {
            FSeen = true;
            // Runs once the painting of the whole window is done and shown.
            QTimer::singleShot(0, [this] {
                std::fprintf(stderr, "quorvane: drawn %.1f ms after start\n",
                             double(FClock.nsecsElapsed()) / 1e6);
                QApplication::quit();
            });
        }
        return false;
    }

private:
    const QElapsedTimer& FClock;
    bool FSeen = false;
};

} // namespace

int main(int argc, char** argv) {
    QElapsedTimer clock;
    clock.start();
    if (AsksForHelpOrVersion(argc, argv)) {
        QCoreApplication app(argc, argv);
        SetProgramIdentity();
        QCoreApplication::setApplicationVersion(QStringLiteral(QUORVANE_VERSION));
        QCommandLineParser parser;
        DescribeCommandLine(parser);
        parser.process(app); // writes the help or the version and ends the program
        return 0;
    }
    QApplication app(argc, argv);
    SetProgramIdentity();
    QApplication::setApplicationVersion(QStringLiteral(QUORVANE_VERSION));
    QCommandLineParser parser;
    DescribeCommandLine(parser);
    parser.process(app); // an unknown option or an argument ends the program with a message
    if (!parser.positionalArguments().isEmpty())
        parser.showHelp(1);
    QFont font(QStringLiteral("MS Sans Serif"), 8);
    font.setStyleHint(QFont::SansSerif);
    QApplication::setFont(font);

    TForm1 form;
    TFirstPaint firstPaint(clock);
    if (qEnvironmentVariableIsSet("QUORVANE_EXIT_WHEN_DRAWN"))
        form.installEventFilter(&firstPaint);
    SetWindow(&form);
    // The first start puts the example rig installed beside the program (or made by the build)
    // in place as the default file set.
    FirstStartExample = ExampleRigBeside(QCoreApplication::applicationDirPath().toStdString());
    InstallDefaults();
    form.showMaximized();
    const int result = QApplication::exec();
    SetWindow(nullptr);
    return result;
}
