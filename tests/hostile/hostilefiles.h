#pragma once

#include <QByteArray>
#include <QImage>
#include <QMap>
#include <QSize>
#include <QString>
#include <QStringList>

// Files that people put into the collection by mistake or by accident, made on the spot so
// that nothing binary lives in the repository.
namespace hostile {

QByteArray jpegBytes(QSize size, quint32 seed);
QByteArray pngBytes(const QImage &image);

// A real GIF written by hand: Qt reads GIF but cannot write it. Stripes of colour so that
// a decoded picture is more than one flat colour.
QByteArray gifBytes(QSize size);

// Bytes that no picture format claims: no known signature at the start.
QByteArray randomBytes(int count, quint32 seed);

// A complete JPEG of the given size whose every 8 x 8 block is mid grey. The Huffman tables
// are cut down to the two codes such a picture needs, so the data is all zero bytes: a
// 20000 x 20000 picture is a 1.5 MB file that is written at once.
bool writeFlatGreyJpeg(const QString &path, QSize size);

// A complete, valid RGB PNG of the given size, all black, whose deflate stream is written
// directly: it unpacks to width * height * 3 bytes, far more than it takes on disk.
bool writeBlackPng(const QString &path, QSize size);

// Windows-1252 read independently of the program: the reference the descriptions are
// compared against.
QString fromWindows1252(const QByteArray &bytes);

// Everything below root as it stands on disk: every entry's kind, bytes (or link target)
// and modification time, so that any write, rename, leftover temporary file or deletion
// shows up as a difference.
struct Entry
{
    QString kind;
    QByteArray content;
    qint64 modifiedNs = 0; // 0 when it cannot be read
    bool operator==(const Entry &) const = default;
};
using Snapshot = QMap<QString, Entry>;
Snapshot snapshot(const QString &root);
// The differences, one line each, for a readable failure.
QStringList differences(const Snapshot &before, const Snapshot &after);

// Replaces whatever is at path (file, folder or link) with nothing.
void clear(const QString &path);

} // namespace hostile
