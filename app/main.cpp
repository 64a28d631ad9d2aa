#include "commandline.h"
#include "mainwindow.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

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
    const int status = QApplication::exec();
    // Ends at once, whatever the readers wait for: nothing is written at close, and a reader may
    // sit on a share that never answers, where waiting for it would keep the program from ending.
    std::fflush(nullptr);
    std::_Exit(status);
}
