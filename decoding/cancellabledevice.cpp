#include "cancellabledevice.h"

CancellableDevice::CancellableDevice(QIODevice &source, const std::atomic<bool> *cancelled)
    : m_source(source), m_cancelled(cancelled)
{
    // Both start at the beginning; one whose source cannot get there stays closed and reads
    // nothing.
    if (m_source.seek(0))
        QIODevice::open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

qint64 CancellableDevice::size() const
{
    return m_source.size();
}

bool CancellableDevice::seek(qint64 pos)
{
    return m_source.seek(pos) && QIODevice::seek(pos);
}

qint64 CancellableDevice::readData(char *data, qint64 maxSize)
{
    return isCancelled() ? -1 : m_source.read(data, maxSize);
}

qint64 CancellableDevice::writeData(const char *, qint64)
{
    return -1;
}
