#include <QFile>
#include <QImage>
#include <QImageIOPlugin>
#include <QThread>
#include <cstring>

// A decoder that misbehaves on request, standing for a faulty one installed on the system. It
// reads files whose first line is "TARVELTEST <width> <what> [path]" as a picture <width> x 50
// that it hands at once ("now"), once the file holds more ("hold"), or after trying to open path
// ("open", failing where it cannot); or it crashes ("crash"), spins for good ("loop"), or takes
// 3 GiB ("alloc").
namespace {

QList<QByteArray> commandOf(QIODevice *device)
{
    const QByteArray line = device && device->isReadable() ? device->peek(4096) : QByteArray();
    return line.startsWith("TARVELTEST ") ? line.left(line.indexOf('\n')).split(' ')
                                          : QList<QByteArray>();
}

class MisbehavingHandler : public QImageIOHandler
{
public:
    bool canRead() const override { return !commandOf(device()).isEmpty(); }

    bool read(QImage *image) override
    {
        const QList<QByteArray> command = commandOf(device());
        if (command.size() < 3)
            return false;
        const QByteArray what = command.at(2);
        const qint64 firstLine = command.join(' ').size() + 1;
        while (what == "hold" && device()->size() <= firstLine)
            QThread::msleep(10);
        if (what == "open"
            && !QFile(QString::fromLocal8Bit(command.value(3))).open(QIODevice::ReadOnly))
            return false;
        if (what == "crash")
            qFatal("crashing as asked");
        for (volatile bool spinning = what == "loop"; spinning;) {
        }
        if (what == "alloc")
            std::memset(new char[qsizetype(3) << 30], 1, qsizetype(3) << 30);
        *image = QImage(option(Size).toSize(), QImage::Format_RGB32);
        image->fill(Qt::darkGreen);
        return true;
    }

    bool supportsOption(ImageOption option) const override { return option == Size; }
    QVariant option(ImageOption option) const override
    {
        const QList<QByteArray> command = commandOf(device());
        return option == Size && command.size() > 1 ? QSize(command.at(1).toInt(), 50) : QVariant();
    }
};

} // namespace

class MisbehavingPlugin : public QImageIOPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QImageIOHandlerFactoryInterface_iid FILE "misbehaving.json")

public:
    Capabilities capabilities(QIODevice *device, const QByteArray &) const override
    {
        return commandOf(device).isEmpty() ? Capabilities() : CanRead;
    }
    QImageIOHandler *create(QIODevice *device, const QByteArray &format) const override
    {
        auto *handler = new MisbehavingHandler;
        handler->setDevice(device);
        handler->setFormat(format);
        return handler;
    }
};

#include "misbehaving.moc"
