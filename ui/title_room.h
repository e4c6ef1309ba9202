// Dialogs and message boxes wide enough for their window title: a short
// text in a box titled "Tessaral Programmable Keyboard Manager" would
// otherwise have its title cut by the window manager.
#pragma once

class QWidget;

namespace ptu {

// Widens a dialog window to hold its title with the window manager's
// buttons beside it. Other widgets, and a window wide enough, are left as
// they are. Run before the window is first shown (its polish).
void makeRoomForTitle(QWidget* window);

}  // namespace ptu
