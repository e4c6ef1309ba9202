#include "app/display.h"

#include "platform/qt/qt_platform.h"

#include <QByteArray>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

namespace ptu {

bool settleDisplay()
{
    if (displayUsable()) return false;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return true;
}

int windowWithoutDisplay()
{
    const char* x = std::getenv("DISPLAY");
    const char* w = std::getenv("WAYLAND_DISPLAY");
    const char* named = (w && *w) ? w : (x && *x) ? x : nullptr;
    if (named)
        std::fprintf(stderr, "ptu: cannot open the display \"%s\"; the main window needs one (the batch switches work without)\n",
                     named);
    else
        std::fprintf(stderr, "ptu: no display (DISPLAY is not set); the main window needs one (the batch switches work without)\n");
    return 1;
}

}  // namespace ptu
