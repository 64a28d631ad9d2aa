#include "form1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarvel Images"));

    Form1 window;
    // The collection lives beside the program, wherever it was started from.
    window.start(QCoreApplication::applicationDirPath());
    window.show();
    return app.exec();
}
