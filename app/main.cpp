#include "fonts.h"
#include "form1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarvel Images"));
    installFontSubstitutes();

    Form1 window;
    // The collection lives beside the program, wherever it was started from.
    window.Form_Load(QCoreApplication::applicationDirPath());
    window.show();
    return app.exec();
}
