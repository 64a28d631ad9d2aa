#include "commandline.h"
#include "mainwindow.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine line = readCommandLine(arguments);
    if (line.exitCode) {
        std::fputs(line.out.toLocal8Bit().constData(), stdout);
        std::fputs(line.err.toLocal8Bit().constData(), stderr);
        return *line.exitCode;
    }

    QApplication app(argc, argv);
    // Ties the window to its desktop entry, whose name the window system cannot guess.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.tarvel_images.TarvelImages"));
    MainWindow window;
    window.start(line.folder());
    return app.exec();
}
