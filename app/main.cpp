#include "form1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Form1 window;
    // The collection lives beside the program, wherever it was started from.
    window.start(QCoreApplication::applicationDirPath());
    return app.exec();
}
