// The interactive road: the progress box and the driver-road choosers, then
// the main window and the forms around it, and the message loop until the
// main window closes.
#pragma once

#include "keydata/state.h"

#include <memory>
#include <string>
#include <vector>

namespace ptu {

class QtPlatform;
class TAboutBox;
class TAboutBox1;
class TAboutBox2;
class TAboutBox4;
class TAboutBox3;
class TDialog1;
class TDialog2;
class TForm1;

// Where the program's data files (caption files, help page) are looked for,
// in this order: the folder the program was started in, then the data folder
// beside the executable (../share/ptu: installed, or the build tree's link to
// the source tree's data/).
std::vector<std::string> dataFolders(const std::string& exeDir);

// The forms of the road, in the order they are created.
struct WindowForms {
    WindowForms();
    ~WindowForms();
    std::unique_ptr<TAboutBox1> progress;
    std::unique_ptr<TAboutBox3> memoryChooser;
    std::unique_ptr<TDialog1> modelChooser;
    std::unique_ptr<TForm1> form;
    std::unique_ptr<TAboutBox> about;
    std::unique_ptr<TAboutBox2> config;
    std::unique_ptr<TAboutBox4> msr;
};

// Creates the forms and shows the main window. Returns false when a chooser
// was cancelled: no window is shown and the run ends. `usbChooser` is the
// USB model chooser when the USB road made it (it is made here otherwise).
bool openWindow(State& st, QtPlatform& pf, WindowForms& forms, std::unique_ptr<TDialog2>& usbChooser,
                const std::string& exeDir);

// The whole road. Returns the exit code: 0 when the window closed or a
// chooser was cancelled, 1 when there is no display to show it on.
int windowRoad(State& st, QtPlatform& pf, std::unique_ptr<TDialog2>& usbChooser, const std::string& exeDir);

}  // namespace ptu
