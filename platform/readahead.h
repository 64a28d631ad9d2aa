#pragma once

#include "pictureloader.h"

#include <QSize>
#include <QStringList>
#include <memory>
#include <thread>

// Decodes, on a thread of its own, the visible corners of the pictures that the next clicks
// most likely show, so that a click finds its picture ready. A picture read ahead is handed
// out only while its file is still the one that was read; warnings are the caller's, at the
// click, so reading ahead says nothing.
class ReadAhead
{
public:
    explicit ReadAhead(QSize visibleArea);
    // Waits a moment for a read under way; one that hangs on a dead share is left behind.
    ~ReadAhead();
    ReadAhead(const ReadAhead &) = delete;
    ReadAhead &operator=(const ReadAhead &) = delete;

    // The pictures worth having ready, most wanted first; any other is let go.
    void prepare(const QStringList &paths);

    // The picture at path as its file is now: the one read ahead where the file has not
    // changed since, waiting for it if it is being read; otherwise read here and now.
    // wasReady tells which.
    LoadedPicture take(const QString &path, bool *wasReady = nullptr);

    QStringList wanted() const;
    bool isReady(const QString &path) const;

private:
    struct Shared;
    std::shared_ptr<Shared> m_shared;
    std::thread m_worker;
};
