// The seam between the program and everything that is not pure computation:
// waits, tones, the message pump, message boxes, the clock, the progress box
// and the keyboard driver device. The program binds a real implementation;
// tests bind a recording fake with a virtual clock.
#pragma once

#include "platform/library.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace ptu {

// Message box buttons and icons, and the answers, with the values the
// program's callers use everywhere.
enum MsgBox : int {
    MB_OK = 0x0,
    MB_OKCANCEL = 0x1,
    MB_YESNOCANCEL = 0x3,
    MB_YESNO = 0x4,
    MB_ICONSTOP = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONEXCLAMATION = 0x30,
    MB_ICONINFORMATION = 0x40,
};
enum MsgAnswer : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

// The two driver devices, tried in this order.
enum class Device { portgate, vptu };

using DevHandle = int;
constexpr DevHandle kNoDevice = -1;

// Colours of the progress box's comment label (0x00BBGGRR like the original).
using Colour = uint32_t;
// Given as the colour, the label keeps the colour it has.
constexpr Colour kKeepColour = 0xFFFFFFFFu;

class Platform {
public:
    virtual ~Platform() = default;

    // Time.
    virtual void sleep(int ms) = 0;
    virtual long now() = 0;  // calendar time in seconds
    // A steady clock in milliseconds, for timing the driver's replies.
    virtual long long clockMs() { return now() * 1000LL; }

    // Sound: a blocking tone, and the system's exclamation sound.
    virtual void beep(int freq, int ms) = 0;
    virtual void messageBeep() = 0;

    // One pass of the window system's message pump.
    virtual void pump() = 0;

    // A modal message box; returns one of MsgAnswer.
    virtual int messageBox(const std::string& text, const std::string& caption, int flags) = 0;

    // A modal box: `text`, then a scrolled list of `lines` that fits the
    // screen, then `question`, with the buttons of `flags` as messageBox;
    // returns one of MsgAnswer. The default shows it all as one message box.
    virtual int listBox(const std::string& text, const std::vector<std::string>& lines,
                        const std::string& question, const std::string& caption, int flags)
    {
        std::string all = text + "\n";
        for (const std::string& l : lines) all += "  " + l + "\n";
        return messageBox(all + "\n" + question, caption, flags);
    }

    // The thread's last error (errno on Linux).
    virtual int lastError() = 0;
    virtual void setLastError(int e) = 0;

    // The driver device: one handle per operation.
    virtual DevHandle openDevice(Device d) = 0;
    // One request on buf: inLen bytes go out, at most outLen bytes come back
    // into buf. Returns the request's success; `returned` is the reply length.
    // A request not answered within its deadline (driver::deadlineMs)
    // fails, and the handle is of no further use.
    virtual bool request(DevHandle h, uint32_t code, uint8_t* buf, uint32_t inLen,
                         uint32_t outLen, uint32_t& returned) = 0;
    virtual void closeDevice(DevHandle h) = 0;

    // Runs a command through the shell and waits for it; the result is the
    // command's exit status, or -1 when it could not be run.
    virtual int runShell(const std::string& command) = 0;

    // Progress box operations used while keyboard work runs. The defaults do
    // nothing so that a platform without a progress box still works.
    // The comment label's text and background (kKeepColour: unchanged).
    virtual void progressText(const std::string& /*text*/, Colour /*colour*/) {}
    // The bar (0..100): visibility, position and the step progressStep adds.
    virtual void progressBar(bool /*visible*/, int /*position*/, int /*step*/) {}
    virtual void progressStep() {}
    // Shows the box modelessly, brings it to the front with the focus and
    // paints it at once.
    virtual void progressShow() {}
    // Paints the box at once, without waiting for the message pump.
    virtual void progressRepaint() {}
    virtual void progressHide() {}
    // The box's window title (the model decision names the keyboard there).
    virtual void progressCaption(const std::string& /*caption*/) {}

    // While the keyboard is detected the mouse must not disturb it: `on`
    // puts the pointer at the centre of the screen and swallows every mouse
    // event until it is called again with false.
    virtual void holdMouse(bool /*on*/) {}
    // Puts the pointer at the centre of the screen (over a chooser).
    virtual void centreMouse() {}

    // The operating system's version number, for the log only: major in the
    // low byte, minor in the next.
    virtual unsigned long versionNumber() { return 0; }

    // A file dialog: the chosen file's path, or "" when it was cancelled.
    // `filter` is a list of "description (*.ext)" entries separated by ";;";
    // the dialog shows each description alone. A name in a folder that does
    // not exist is refused: the dialog stays open and says so.
    struct FileChoice {
        bool save;
        std::string title;
        std::string filter;
        std::string defaultSuffix;  // added to a name typed without one
        std::string folder = {};    // where the dialog opens ("" the current folder)
        std::string name = {};      // the file name filled in
    };
    virtual std::string chooseFile(const FileChoice& /*choice*/) { return {}; }

    // Runs a program (no shell) with exactly the argument vector `argv`, its
    // first element standing in the program-name place, and waits for it.
    // Returns its exit status, or -1 when it could not be started (errno in
    // lastError()).
    virtual int runProgram(const std::string& /*path*/, const std::vector<std::string>& /*argv*/) { return -1; }

    // Where copies of every image read from or written to a keyboard are
    // kept; "" keeps none.
    virtual std::string historyFolder() { return {}; }

    // A line for whoever started the program (a script reads standard
    // error), for things that are not worth a message box.
    virtual void warning(const std::string& line) { std::fprintf(stderr, "ptu: %s\n", line.c_str()); }

    // The signal (SIGINT, SIGTERM, SIGHUP) that asked the run to stop, or 0.
    // Long keyboard work looks at it between requests.
    virtual int interruption() { return 0; }

    // Why the driver devices could not be opened the last time, for a
    // person; empty when nothing is known.
    virtual std::string deviceProblem() { return {}; }
    // Where the first driver device is reached (a socket's path), for a
    // person; empty when nothing is known.
    virtual std::string deviceName() { return {}; }

    // Run-time loading of shared libraries (the USB keyboard library). The
    // default loader finds nothing.
    virtual Library& library();
};

}  // namespace ptu
