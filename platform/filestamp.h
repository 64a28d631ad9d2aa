#pragma once

#include <QFile>
#include <QString>
#include <QtGlobal>
#include <chrono>

// What tells one state of a file from another, so that a picture read earlier is shown only
// while its file is provably the one that was read.
struct FileStamp
{
    bool exists = false;
    qint64 size = 0;
    qint64 modified = 0; // nanoseconds since the epoch
    qint64 changed = 0;  // the last change of any kind, which no tool can set back
    quint64 device = 0, inode = 0;

    bool operator==(const FileStamp &) const = default;

    // A change in the same tick of the file system's clock as a read leaves the times as they
    // were; only a read that began a tick after the last change can be told apart from a later
    // one. Times with no fraction of a second are taken to come from a coarse file system.
    std::chrono::nanoseconds tick() const;
    bool settledBy(std::chrono::system_clock::time_point readStart) const;
};

FileStamp stampOf(const QString &path);
// Of an open file, which need not be the one its path names any more; none but a plain file's.
FileStamp stampOf(const QFile &file);
