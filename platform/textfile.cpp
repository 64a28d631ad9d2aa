#include "textfile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>
#include <array>

namespace {

// What the bytes 0x80..0x9F stand for; the unassigned ones map to the C1 control of the same
// value.
constexpr std::array<char16_t, 32> kCharactersFrom80To9F = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString decode1252(const QByteArray &bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *out++ = (b >= 0x80 && b <= 0x9F) ? QChar(kCharactersFrom80To9F[b - 0x80]) : QChar(b);
    }
    return text;
}

char encode1252(char16_t u)
{
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return char(u);
    const auto *high = std::find(kCharactersFrom80To9F.begin(), kCharactersFrom80To9F.end(), u);
    return high == kCharactersFrom80To9F.end()
        ? '?'
        : char(0x80 + (high - kCharactersFrom80To9F.begin()));
}

bool isAscii(const QByteArray &bytes)
{
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

} // namespace

DecodedText decodeText(const QByteArray &bytes)
{
    if (!isAscii(bytes)) {
        // In pieces, so that an older file gives up on UTF-8 at its first accented letter.
        constexpr qsizetype kPiece = qsizetype(64) * 1024;
        QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
        QString text;
        for (QByteArrayView rest(bytes); !rest.isEmpty() && !utf8.hasError();) {
            const QByteArrayView piece = rest.first(std::min(kPiece, rest.size()));
            text += utf8.decode(piece);
            rest = rest.sliced(piece.size());
        }
        // Only a decode that gives the same bytes back may claim the file; anything else is
        // treated as the older 8-bit form.
        if (!utf8.hasError() && utf8.isValid() && encodeText(text, TextForm::Utf8) == bytes)
            return {std::move(text), TextForm::Utf8};
    }
    return {decode1252(bytes), TextForm::Windows1252};
}

QByteArray encodeText(const QString &text, TextForm form)
{
    if (form == TextForm::Utf8) {
        QStringEncoder utf8(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
        return utf8.encode(text);
    }
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char *out = bytes.data();
    for (const QChar c : text)
        *out++ = encode1252(c.unicode());
    return bytes;
}

bool mayOpen(const QString &path)
{
    const QFileInfo info(path);
    return !info.exists() || info.isFile();
}

std::optional<QByteArray> readWholeFile(const QString &path, qint64 maxBytes, QString *error)
{
    if (!mayOpen(path)) {
        if (error)
            *error = QStringLiteral("is not a plain file");
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return std::nullopt;
    }
    if (file.size() > maxBytes) {
        if (error)
            *error = QStringLiteral("%1 bytes, more than the %2 it may have")
                         .arg(file.size())
                         .arg(maxBytes);
        return std::nullopt;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = file.errorString();
        return std::nullopt;
    }
    return bytes;
}

bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    // Left uncommitted, the temporary file goes with the QSaveFile and the target stays as it
    // was.
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    if (error)
        *error = file.errorString();
    return false;
}
