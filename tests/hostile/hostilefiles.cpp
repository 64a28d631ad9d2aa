#include "hostilefiles.h"

#include "collection.h"

#include <QBuffer>
#include <QColor>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QRandomGenerator>
#include <array>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace hostile {

namespace {

void put16be(QByteArray &out, int value)
{
    out.append(char((value >> 8) & 0xFF));
    out.append(char(value & 0xFF));
}

void put16le(QByteArray &out, int value)
{
    out.append(char(value & 0xFF));
    out.append(char((value >> 8) & 0xFF));
}

void put32be(QByteArray &out, quint32 value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.append(char((value >> shift) & 0xFF));
}

quint32 crc32(const QByteArray &bytes)
{
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> t{};
        for (quint32 n = 0; n < 256; ++n) {
            quint32 c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    quint32 c = 0xFFFFFFFFu;
    for (const char byte : bytes)
        c = table[(c ^ quint8(byte)) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

void pngChunk(QByteArray &out, const char *type, const QByteArray &data)
{
    put32be(out, quint32(data.size()));
    const QByteArray typed = QByteArray(type, 4) + data;
    out.append(typed);
    put32be(out, crc32(typed));
}

// Deflate packs its fields from the least significant bit up; Huffman codes go in from
// their most significant bit.
class BitWriter
{
public:
    explicit BitWriter(QByteArray &out) : m_out(out) {}
    void field(quint32 value, int bits)
    {
        for (int i = 0; i < bits; ++i)
            bit((value >> i) & 1);
    }
    void code(quint32 value, int bits)
    {
        for (int i = bits - 1; i >= 0; --i)
            bit((value >> i) & 1);
    }
    void flush()
    {
        if (m_count > 0)
            m_out.append(char(m_byte));
        m_byte = 0;
        m_count = 0;
    }

private:
    void bit(quint32 b)
    {
        m_byte |= quint8(b << m_count);
        if (++m_count == 8)
            flush();
    }
    QByteArray &m_out;
    quint8 m_byte = 0;
    int m_count = 0;
};

bool writeAll(const QString &path, const QByteArray &bytes)
{
    return testdata::writeBytes(path, bytes);
}

} // namespace

QByteArray jpegBytes(QSize size, quint32 seed)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(85);
    writer.write(testdata::photoLike(size, seed));
    return bytes;
}

QByteArray pngBytes(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "png").write(image);
    return bytes;
}

QByteArray gifBytes(QSize size)
{
    // 128 colours and a fresh code table every 100 pixels keep every LZW code 8 bits wide,
    // so each pixel is one byte of data.
    constexpr int kMinCodeSize = 7;
    constexpr int kClear = 1 << kMinCodeSize;
    constexpr int kEnd = kClear + 1;
    constexpr int kRun = 100;

    QByteArray out("GIF89a");
    put16le(out, size.width());
    put16le(out, size.height());
    out.append(char(0xF6)); // global colour table of 2^(6+1) entries, 8 bits per primary
    out.append(char(0));
    out.append(char(0));
    for (int i = 0; i < kClear; ++i) {
        const QColor c = QColor::fromHsv((i * 45) % 360, 200, 220);
        out.append(char(c.red()));
        out.append(char(c.green()));
        out.append(char(c.blue()));
    }
    out.append(char(0x2C));
    put16le(out, 0);
    put16le(out, 0);
    put16le(out, size.width());
    put16le(out, size.height());
    out.append(char(0));
    out.append(char(kMinCodeSize));

    QByteArray codes;
    int sinceClear = kRun;
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            if (sinceClear == kRun) {
                codes.append(char(kClear));
                sinceClear = 0;
            }
            codes.append(char((y / 10) % 8));
            ++sinceClear;
        }
    }
    codes.append(char(kEnd));
    for (qsizetype i = 0; i < codes.size(); i += 255) {
        const QByteArray block = codes.mid(i, 255);
        out.append(char(block.size()));
        out.append(block);
    }
    out.append(char(0));
    out.append(char(0x3B));
    return out;
}

QByteArray randomBytes(int count, quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray bytes(count, Qt::Uninitialized);
    for (char &b : bytes)
        b = char(random.bounded(256));
    return bytes;
}

bool writeFlatGreyJpeg(const QString &path, QSize size)
{
    QByteArray out;
    out.append("\xFF\xD8", 2);
    // Quantisation: irrelevant, as every coefficient is zero.
    out.append("\xFF\xDB", 2);
    put16be(out, 67);
    out.append(char(0));
    out.append(QByteArray(64, char(16)));
    // Baseline frame, one grey component.
    out.append("\xFF\xC0", 2);
    put16be(out, 11);
    out.append(char(8));
    put16be(out, size.height());
    put16be(out, size.width());
    out.append(char(1));
    out.append(char(1));
    out.append(char(0x11));
    out.append(char(0));
    // Two Huffman tables of one 1-bit code "0" each: DC difference 0, and end of block.
    for (const char tableClass : {char(0x00), char(0x10)}) {
        out.append("\xFF\xC4", 2);
        put16be(out, 2 + 1 + 16 + 1);
        out.append(tableClass);
        out.append(char(1));
        out.append(QByteArray(15, char(0)));
        out.append(char(0));
    }
    out.append("\xFF\xDA", 2);
    put16be(out, 8);
    out.append(char(1));
    out.append(char(1));
    out.append(char(0x00));
    out.append(char(0));
    out.append(char(63));
    out.append(char(0));

    const qint64 blocks = qint64((size.width() + 7) / 8) * ((size.height() + 7) / 8);
    const qint64 bits = blocks * 2;
    QByteArray data(qsizetype(bits / 8), char(0));
    if (bits % 8)
        data.append(char(0xFF >> (bits % 8))); // padding bits are ones
    out.append(data);
    out.append("\xFF\xD9", 2);
    return writeAll(path, out);
}

bool writeBlackPng(const QString &path, QSize size)
{
    QByteArray out("\x89PNG\r\n\x1A\n", 8);
    QByteArray header;
    put32be(header, quint32(size.width()));
    put32be(header, quint32(size.height()));
    header.append(char(8)); // bits per sample
    header.append(char(2)); // RGB
    header.append(char(0));
    header.append(char(0));
    header.append(char(0));
    pngChunk(out, "IHDR", header);

    // Every row is filter byte 0 and black pixels: the whole stream is zero bytes. One
    // literal zero, then as many "258 bytes from 1 back" copies as fit, then literals.
    const qint64 total = qint64(size.height()) * (1 + qint64(size.width()) * 3);
    QByteArray zlib("\x78\x01", 2);
    {
        BitWriter bits(zlib);
        bits.field(1, 1); // final block
        bits.field(1, 2); // fixed Huffman codes
        const auto literalZero = [&bits] { bits.code(0x30, 8); };
        literalZero();
        qint64 left = total - 1;
        for (; left >= 258; left -= 258) {
            bits.code(0xC5, 8); // length 258
            bits.code(0, 5);    // distance 1
        }
        for (; left > 0; --left)
            literalZero();
        bits.code(0, 7); // end of block
        bits.flush();
    }
    // Adler-32 of zero bytes only: a stays 1, b adds 1 per byte.
    put32be(zlib, (quint32(total % 65521) << 16) | 1u);
    pngChunk(out, "IDAT", zlib);
    pngChunk(out, "IEND", QByteArray());
    return writeAll(path, out);
}

QString fromWindows1252(const QByteArray &bytes)
{
    // 0x80..0x9F; the five unassigned bytes stand for the control of the same value.
    static const QString high = QStringLiteral(u"\u20AC\u0081\u201A\u0192\u201E\u2026\u2020\u2021"
                                               u"\u02C6\u2030\u0160\u2039\u0152\u008D\u017D\u008F"
                                               u"\u0090\u2018\u2019\u201C\u201D\u2022\u2013\u2014"
                                               u"\u02DC\u2122\u0161\u203A\u0153\u009D\u017E\u0178");
    QString text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const int b = quint8(c);
        text.append(b >= 0x80 && b < 0xA0 ? high.at(b - 0x80) : QChar(b));
    }
    return text;
}

Snapshot snapshot(const QString &root)
{
    Snapshot result;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    QStringList paths{root};
    while (it.hasNext())
        paths.append(it.next());
    for (const QString &path : paths) {
        const QFileInfo info(path);
        Entry entry;
        if (info.isSymLink()) {
            entry.kind = QStringLiteral("link");
            entry.content = QFile::symLinkTarget(path).toUtf8();
        } else if (info.isDir()) {
            entry.kind = QStringLiteral("folder");
        } else if (!info.isFile()) {
            entry.kind = QStringLiteral("pipe or device"); // reading it could block
        } else {
            entry.kind = QStringLiteral("file");
            QFile file(path);
            if (file.open(QIODevice::ReadOnly))
                entry.content = file.readAll();
            else
                entry.content = "unreadable: " + file.errorString().toUtf8();
        }
#ifdef Q_OS_UNIX
        // lstat: a link's own time, and a folder's time, which moves when anything is
        // created or removed in it.
        struct stat st
        {};
        if (::lstat(QFile::encodeName(path).constData(), &st) == 0)
            entry.modifiedNs = qint64(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
#else
        entry.modifiedNs = info.lastModified().toMSecsSinceEpoch() * 1'000'000;
#endif
        result.insert(QDir(root).relativeFilePath(path), entry);
    }
    return result;
}

QStringList differences(const Snapshot &before, const Snapshot &after)
{
    QStringList lines;
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        if (!after.contains(it.key())) {
            lines << QStringLiteral("removed: %1").arg(it.key());
            continue;
        }
        const Entry &now = after.value(it.key());
        if (now.kind != it->kind)
            lines << QStringLiteral("%1: was a %2, now a %3").arg(it.key(), it->kind, now.kind);
        else if (now.content != it->content)
            lines << QStringLiteral("%1: content changed").arg(it.key());
        else if (now.modifiedNs != it->modifiedNs)
            lines << QStringLiteral("%1: modification time changed").arg(it.key());
    }
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        if (!before.contains(it.key()))
            lines << QStringLiteral("created: %1").arg(it.key());
    }
    return lines;
}

void clear(const QString &path)
{
    const QFileInfo info(path);
    if (info.isDir() && !info.isSymLink())
        QDir(path).removeRecursively();
    else
        QFile::remove(path);
}

} // namespace hostile
