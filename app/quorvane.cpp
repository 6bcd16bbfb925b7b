// Quorvane: the window is created first, then the defaults are installed and the default file
// set is read, then the event loop runs until the window is closed.
#include "core/WindowInterface.h"
#include "files/StartUp.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>

namespace {

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
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvane"));
    QApplication::setApplicationVersion(QStringLiteral(QUORVANE_VERSION));
    QFont font(QStringLiteral("MS Sans Serif"), 8);
    font.setStyleHint(QFont::SansSerif);
    QApplication::setFont(font);

    TForm1 form;
    TFirstPaint firstPaint(clock);
    if (qEnvironmentVariableIsSet("QUORVANE_EXIT_WHEN_DRAWN"))
        form.installEventFilter(&firstPaint);
    SetWindow(&form);
    InstallDefaults();
    form.showMaximized();
    const int result = QApplication::exec();
    SetWindow(nullptr);
    return result;
}
