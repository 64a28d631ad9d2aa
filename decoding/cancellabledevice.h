#pragma once

#include <QIODevice>
#include <atomic>

// Reads another random-access device through, at the same positions, until the flag is set;
// from then on every read fails. A reader that never looks at the flag, as Qt's image reader
// does not, stops at its next read. Without a flag it never fails. It opens itself for reading
// and keeps no buffer of its own, so nothing is read ahead of the reader's asking.
class CancellableDevice : public QIODevice
{
public:
    CancellableDevice(QIODevice &source, const std::atomic<bool> *cancelled);

    bool isCancelled() const { return m_cancelled && *m_cancelled; }

    qint64 size() const override;
    bool seek(qint64 pos) override;

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 maxSize) override;

private:
    QIODevice &m_source;
    const std::atomic<bool> *m_cancelled;
};
