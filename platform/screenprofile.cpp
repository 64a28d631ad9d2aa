#include "screenprofile.h"

#include <QGuiApplication>
#include <cstdlib>
#include <memory>

#ifdef TARVEL_HAVE_XCB
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>
#endif

QByteArray publishedScreenProfile()
{
#if defined(TARVEL_HAVE_XCB) && QT_CONFIG(xcb)
    const auto *x11 =
        qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return {};
    // The first screen's: an X server drives all its monitors as one screen, whose root window
    // holds the profile of the first monitor.
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;

    const auto freed = [](void *reply) { std::free(reply); };
    static const char kName[] = "_ICC_PROFILE";
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(freed)> atom(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 1, sizeof kName - 1, kName),
                              nullptr),
        freed);
    if (!atom || atom->atom == XCB_ATOM_NONE)
        return {};
    // A screen's profile takes a few kilobytes; a property of many megabytes is read as none.
    constexpr uint32_t kLongestIn32BitUnits = 4 * 1024 * 1024 / 4;
    const std::unique_ptr<xcb_get_property_reply_t, decltype(freed)> property(
        xcb_get_property_reply(connection,
                               xcb_get_property(connection, 0, root, atom->atom, XCB_ATOM_ANY, 0,
                                                kLongestIn32BitUnits),
                               nullptr),
        freed);
    if (!property || property->format != 8 || property->bytes_after != 0)
        return {};
    return QByteArray(static_cast<const char *>(xcb_get_property_value(property.get())),
                      xcb_get_property_value_length(property.get()));
#else
    return {};
#endif
}
