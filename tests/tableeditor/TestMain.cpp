// SPDX-License-Identifier: GPL-3.0-or-later
// The table editor's widgets need a QApplication for the whole run. The tests always use the
// offscreen platform, also when the test list is read at build time.
#include <gtest/gtest.h>

#include <QApplication>

namespace {

// The offscreen platform says for every popup that it cannot raise windows or grab the
// keyboard; everything else Qt says is kept.
QtMessageHandler QtDefaultHandler = nullptr;

void QuietOffscreenHandler(QtMsgType type, const QMessageLogContext& context,
                           const QString& message) {
    if (message.startsWith(QLatin1String("This plugin does not support")))
        return;
    QtDefaultHandler(type, context, message);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QtDefaultHandler = qInstallMessageHandler(QuietOffscreenHandler);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
