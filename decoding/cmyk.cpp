#include "cmyk.h"

#include <QSysInfo>
#include <algorithm>
#include <lcms2.h>
#include <mutex>
#include <span>
#include <utility>
#include <vector>

namespace {

struct TransformKey
{
    QByteArray profile;
    bool adobeInverted;
    QColorSpace screen;

    bool operator==(const TransformKey &) const = default;
};

using Transform = std::shared_ptr<void>;

Transform makeTransform(const TransformKey &key)
{
    const QByteArray screenProfile = key.screen.iccProfile();
    cmsHPROFILE from =
        cmsOpenProfileFromMem(key.profile.constData(), cmsUInt32Number(key.profile.size()));
    cmsHPROFILE to =
        cmsOpenProfileFromMem(screenProfile.constData(), cmsUInt32Number(screenProfile.size()));
    // Qt's 32-bit pixels are words: their bytes lie the other way round on a little-endian
    // machine. Perceptual, as the colour tools built on Little CMS default to: a print
    // profile maps its paper and ink onto the screen's range rather than clipping them.
    // Without a cache of its own, one transform serves the read-ahead and the click at once.
    cmsHTRANSFORM transform = from && to
        ? cmsCreateTransform(from, key.adobeInverted ? TYPE_CMYK_8_REV : TYPE_CMYK_8, to,
                             QSysInfo::ByteOrder == QSysInfo::LittleEndian ? TYPE_BGRA_8
                                                                           : TYPE_ARGB_8,
                             INTENT_PERCEPTUAL, cmsFLAGS_NOCACHE)
        : nullptr;
    if (from)
        cmsCloseProfile(from);
    if (to)
        cmsCloseProfile(to);
    return transform ? Transform(transform, cmsDeleteTransform) : nullptr;
}

// Little CMS takes longer to build a transform from a CMYK profile than to convert a visible
// corner through it, and the photos of one job share their profile.
Transform cachedTransform(const TransformKey &key)
{
    constexpr std::size_t kKept = 4;
    struct Cache
    {
        std::mutex mutex;
        std::vector<std::pair<TransformKey, Transform>> kept; // the newest last
    };
    // Never destroyed, so that no read still under way as the program ends finds it gone.
    static auto *const cache = new Cache;
    {
        std::lock_guard lock(cache->mutex);
        const auto found = std::find_if(cache->kept.begin(), cache->kept.end(),
                                        [&key](const auto &entry) { return entry.first == key; });
        if (found != cache->kept.end())
            return found->second;
    }
    // Built outside the lock, so that a click need not wait for another profile's.
    Transform transform = makeTransform(key);
    std::lock_guard lock(cache->mutex);
    if (cache->kept.size() == kKept)
        cache->kept.erase(cache->kept.begin());
    cache->kept.emplace_back(key, transform);
    return transform;
}

} // namespace

CmykRows::CmykRows(const QByteArray &profile, bool adobeInverted, const QColorSpace &screen)
    : m_transform(profile.isEmpty() || !screen.isValid()
                      ? nullptr
                      : cachedTransform({profile, adobeInverted, screen}))
{
}

void CmykRows::convert(const uchar *cmyk, QRgb *rgb, int count) const
{
    if (m_transform) {
        // Little CMS writes the colour bytes only; the alpha byte stays opaque.
        std::fill_n(rgb, count, QRgb(0xff000000));
        cmsDoTransform(m_transform.get(), cmyk, rgb, cmsUInt32Number(count));
        return;
    }
    for (QRgb &pixel : std::span(rgb, std::size_t(count))) {
        const int k = cmyk[3];
        pixel = qRgb(k * cmyk[0] / 255, k * cmyk[1] / 255, k * cmyk[2] / 255);
        cmyk += 4;
    }
}
