#pragma once

#include "pictureloader.h"

#include <QFile>
#include <atomic>
#include <memory>

// Decodes pictures away from the window: in sandboxed helper processes where the system has
// them, so that a decoder that crashes, hangs or eats memory costs one picture and never the
// window; in this process where there are none. Safe to call from any thread.
class Decoder
{
public:
    // Starts the helpers at once, so that they are warm by the first picture.
    explicit Decoder(const DecodeSettings &settings);
    // Ends the helpers at once; a decode under way fails.
    ~Decoder();
    Decoder(const Decoder &) = delete;
    Decoder &operator=(const Decoder &) = delete;

    // The picture in file, open for reading. A decode that outlasts the settings' timeout is
    // ended and fails; lostHelper tells where a decode ended its helper, by crash or by kill.
    LoadedPicture decode(QFile &file, const std::atomic<bool> *cancelled, bool *lostHelper);

    bool usesHelpers() const { return m_pool != nullptr; }

private:
    struct Pool;
    DecodeSettings m_settings;
    std::shared_ptr<Pool> m_pool; // shared with the thread that starts the helpers
};
