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
    const char* batch = "the batch switches -r, -w, -R, -W and -s work without one";
    if (named)
        std::fprintf(stderr, "ptu: cannot open the display \"%s\" that the main window needs; %s\n", named, batch);
    else
        std::fprintf(stderr, "ptu: the main window needs a display (neither DISPLAY nor WAYLAND_DISPLAY is set); %s\n",
                     batch);
    return 1;
}

}  // namespace ptu
