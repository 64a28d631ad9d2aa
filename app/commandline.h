#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// What the command line asks for: the window on a collection, or an answer and an exit.
struct CommandLine
{
    std::optional<int> exitCode; // empty: open the window
    QString out;                 // for standard output
    QString err;                 // for standard error
    QString collectionDir;       // absolute; empty when none was given: the program's own

    // The folder to open: the one given, or the program's own, which only an application
    // object can tell.
    QString folder() const;
};

// arguments as main() receives them, the program's name first. Needs no application object,
// so that --help, --version and a mistyped command line are answered without a display (and
// so cannot know the program's own folder, which only the application object finds).
CommandLine readCommandLine(const QStringList &arguments);
