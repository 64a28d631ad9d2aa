#pragma once

#include "decoder.h"
#include "pictureloader.h"

#include <QList>
#include <QStringList>
#include <memory>

// Decodes, on a thread of its own, the visible corners of the pictures that the next clicks
// most likely show, so that a click finds its picture ready. Each picture is decoded once: a
// click waits for the one being read and claims one still queued, and the last few pictures
// shown stay held. A picture read ahead is handed out only while its file is provably the one
// that was read; warnings are the caller's, at the click, so reading ahead says nothing.
class ReadAhead
{
public:
    // A picture worth having ready, and the one a click shows instead where its file is missing.
    struct Wanted
    {
        QString path;
        QString instead;
    };

    explicit ReadAhead(const DecodeSettings &settings);
    // Cancels the read under way at its next block, and leaves the thread to end by itself: a
    // read may sit on a share that never answers.
    ~ReadAhead();
    ReadAhead(const ReadAhead &) = delete;
    ReadAhead &operator=(const ReadAhead &) = delete;

    // The pictures worth having ready, most wanted first; any other is let go, and a read of
    // one let go stops at its next block.
    void prepare(const QList<Wanted> &pictures);

    // The picture at path as its file is now: the one read ahead where the file has not
    // changed since, waiting for it if it is being read; otherwise read here and now, before
    // any other read starts. wasReady tells which. May wait on the file: never the window's.
    LoadedPicture take(const QString &path, bool *wasReady = nullptr);

    QStringList wanted() const;
    bool isReady(const QString &path) const;

    // Every decode so far, by where it ran and how it ended.
    struct Decodes
    {
        int ahead = 0;     // on the thread, to the end
        int atClick = 0;   // in take(), for a picture that was not ready
        int abandoned = 0; // on the thread, stopped once no longer wanted
    };
    Decodes decodes() const;

private:
    struct Shared;
    std::shared_ptr<Shared> m_shared;
};
