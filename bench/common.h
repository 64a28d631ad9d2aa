#pragma once

// What both benches need to know of the program beyond its window: the folders it reads, and
// the kernel's account of this process's memory.

#include <QByteArray>
#include <QFile>
#include <array>

namespace bench {

// The ten topics' folders, in tab order.
inline constexpr std::array<const char *, 10> kFolders = {"Maps", "Sett", "Plan", "Shor", "Pelm",
                                                          "Bird", "Fish", "Expe", "Scie", "Mari"};

// A field of /proc/self/status in KiB, e.g. "VmHWM:" or "VmRSS:"; -1 where there is none.
inline qint64 statusKiB(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    // The kernel gives its files a size of 0: read to the end rather than by size.
    const QByteArray text = status.open(QIODevice::ReadOnly) ? status.readAll() : QByteArray();
    const qsizetype at = text.indexOf(field);
    return at < 0 ? -1 : text.mid(at + qstrlen(field)).trimmed().split(' ').value(0).toLongLong();
}

} // namespace bench
