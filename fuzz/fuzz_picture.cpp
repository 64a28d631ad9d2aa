#include "colour.h"
#include "pictureloader.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

// The loader reads pictures by path only, so each input is written to a file first.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // Damaged pictures make Qt's readers warn on every input, which would bury the fuzzer's own
    // report.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    static const QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("picture"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)
        || file.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
        std::abort();
    file.close();

    // The page's visible area: whatever the bytes, never more than that, from the top-left. The
    // same bytes stand for the profile a screen publishes, which may be anything as well.
    const QSize area(788, 553);
    const QColorSpace screen = screenColourSpace(
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size)));
    const LoadedPicture picture = loadPicture(path, {area, screen});
    if (!picture.isNull() && picture.visible.size() != picture.fullSize.boundedTo(area))
        std::abort();
    return 0;
}
