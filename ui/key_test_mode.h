// Keyboard > Test Keys: the window takes every key and matches each burst
// of strokes against the programmed keys of the page shown. A tested key
// gets a mark on its panel; the status bar names what arrived and keeps the
// count; the bar above the status bar says how to end the test and saves
// its report.
#pragma once

#include "keydata/key_tester.h"
#include "keydata/state.h"
#include "platform/platform.h"
#include "ui/key_capture.h"

#include <QTimer>

#include <functional>
#include <memory>
#include <string>

class QFrame;
class QLabel;
class QPushButton;

namespace ptu {

class TForm1;

class KeyTestMode : public QObject {
public:
    // Starts the test of the page shown; `end` is called (later, from the
    // event loop) when the user ends it with Done or Escape held.
    KeyTestMode(TForm1& form, State& st, Platform& pf, std::function<void()> end);
    // Ends it: the marks go, the keys reach the window again.
    ~KeyTestMode() override;

    // The page shown changed: the test starts over on it.
    void pageShown();
    const KeyTester& tester() const { return *tester_; }
    QPushButton* doneButton() const { return done_; }
    QPushButton* saveButton() const { return save_; }
    // At the end of a test with something to report (and no report saved
    // since): asks whether to save one, and saves it.
    void offerReport();
    // Writes the report to `path`; false with the reason in `why`.
    bool saveReport(const std::string& path, std::string& why) const;

private:
    void stroke(uint32_t keycode, bool press, const QKeyEvent& e);
    void endBurst();
    void restart();
    void say(const std::string& what);
    void chooseReportFile();
    void startCapture();

    TForm1& form_;
    State& st_;
    Platform& pf_;
    int page_ = 0;
    std::unique_ptr<KeyTester> tester_;
    std::string codes_;    // the burst so far
    std::string noCode_;   // keys of the burst without a code of the keyboard
    QTimer burstEnd_;
    QFrame* bar_ = nullptr;
    QLabel* barText_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* done_ = nullptr;
    std::function<void()> end_;
    bool reported_ = true;  // the report holds every burst so far
    std::unique_ptr<KeyCapture> capture_;
};

}  // namespace ptu
