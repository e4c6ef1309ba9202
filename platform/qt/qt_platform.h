// The real platform with the window system: Qt's message pump, message boxes
// and exclamation sound on top of the POSIX platform. Without a display
// (offscreen) boxes and progress texts are mirrored to standard error, one
// line each, so a script sees them.
#pragma once

#include "platform/posix_platform.h"

#include <functional>
#include <memory>

class QObject;

namespace ptu {

class QtPlatform : public PosixPlatform {
public:
    explicit QtPlatform(bool headless);
    ~QtPlatform() override;

    void pump() override;
    void messageBeep() override;
    int messageBox(const std::string& text, const std::string& caption, int flags) override;
    int listBox(const std::string& text, const std::vector<std::string>& lines, const std::string& question,
                const std::string& caption, int flags) override;
    void progressText(const std::string& text, Colour colour) override;
    void progressBar(bool visible, int position, int step) override;
    void progressStep() override;
    void progressShow() override;
    void progressRepaint() override;
    void progressHide() override;
    void progressCaption(const std::string& caption) override;
    void holdMouse(bool on) override;
    void centreMouse() override;
    std::string chooseFile(const FileChoice& choice) override;

    bool headless() const { return headless_; }

    // The progress box the window layer shows; unset, progress goes nowhere
    // (or to standard error when headless).
    std::function<void(const std::string&, Colour)> onProgressText;
    std::function<void(bool, int, int)> onProgressBar;
    std::function<void()> onProgressStep;
    std::function<void()> onProgressShow;
    std::function<void()> onProgressRepaint;
    std::function<void()> onProgressHide;
    std::function<void(const std::string&)> onProgressCaption;

private:
    bool headless_;
    std::unique_ptr<QObject> mouseSwallower_;
};

// Whether a display is named (DISPLAY or WAYLAND_DISPLAY set).
bool haveDisplay();

// Whether the named display can be opened: a stale DISPLAY (an ssh session
// gone, sudo, cron) counts as none.
bool displayUsable();

// Whether a window manager runs on the X display of $DISPLAY (one that
// frames windows with a title bar of its own).
bool windowManagerRunning();

}  // namespace ptu
