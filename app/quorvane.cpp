// Quorvane: the window is created first, then the defaults are installed and the default file
// set is read, then the event loop runs until the window is closed.
#include "core/WindowInterface.h"
#include "files/StartUp.h"
#include "ui/MainWindow.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvane"));
    QApplication::setApplicationVersion(QStringLiteral(QUORVANE_VERSION));
    QFont font(QStringLiteral("MS Sans Serif"), 8);
    font.setStyleHint(QFont::SansSerif);
    QApplication::setFont(font);

    TForm1 form;
    SetWindow(&form);
    InstallDefaults();
    form.showMaximized();
    const int result = QApplication::exec();
    SetWindow(nullptr);
    return result;
}
