#pragma once

#include <QByteArray>

// The colour profile the screen publishes, as colour daemons set it on an X11 screen's root
// window (_ICC_PROFILE); empty where there is none, or no X11.
QByteArray publishedScreenProfile();
