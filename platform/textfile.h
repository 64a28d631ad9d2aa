#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Description files are 8-bit text. Older ones are Windows-1252; some were written as
// UTF-8 since. Each text remembers which it came from, so that saving writes back the very
// bytes the user did not touch.
enum class TextForm { Windows1252, Utf8 };

struct DecodedText
{
    QString text;
    TextForm form = TextForm::Windows1252;
};

// Every byte string maps to a text and back to the same bytes: UTF-8 when the bytes are
// UTF-8 and not plain ASCII, else Windows-1252 with its five unassigned bytes kept as the
// control characters of the same value.
DecodedText decodeText(const QByteArray &bytes);

// Characters that the form cannot hold become '?'.
QByteArray encodeText(const QString &text, TextForm form);

// False for pipes, devices and folders: opening or reading them could block the window or
// never end. A missing path passes, so that opening it reports why.
bool mayOpen(const QString &path);

// The whole file, or nothing with the reason in error; a file larger than maxBytes is not
// read at all. The file is closed on return.
std::optional<QByteArray> readWholeFile(const QString &path, qint64 maxBytes,
                                        QString *error = nullptr);

// Writes through a temporary file in the same folder renamed over the target, so that on any
// failure the old file stays exactly as it was.
bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *error = nullptr);
