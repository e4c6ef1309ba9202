// A recording platform with a virtual clock, for tests below the UI. Every
// effect is appended to `events` as one short text, in call order, so a test
// can assert the exact sequence of waits, tones, pump passes and requests.
#pragma once

#include "platform/platform.h"

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace ptu::test {

struct ScriptedReply {
    bool ok = true;
    int error = 0;
    std::vector<uint8_t> data;  // what the driver writes back (the returned count is its size)
};

// A loader with one library, whose entry points are the test's own
// functions. Every call is recorded in `calls` ("load NAME", "symbol NAME",
// "unload").
class FakeLibrary : public Library {
public:
    bool present = true;                   // whether the library loads at all
    std::map<std::string, void*> symbols;  // the entry points it offers
    std::vector<std::string> calls;
    int loaded = 0;                        // modules loaded and not yet unloaded

    LibHandle load(const std::string& name) override;
    void* symbol(LibHandle h, const std::string& name) override;
    void unload(LibHandle h) override;

private:
    int module_ = 0;  // its address serves as the module handle
};

class FakePlatform : public Platform {
public:
    // Virtual time in milliseconds; now() is its seconds since a fixed epoch.
    long long clock_ms = 0;
    long epoch = 1800000000;

    std::vector<std::string> events;

    // Device behaviour: which devices open, and the replies in order. When the
    // queue is empty `handler` answers, else an empty successful reply.
    bool portgate_present = true;
    bool vptu_present = false;
    std::deque<ScriptedReply> replies;
    std::function<ScriptedReply(uint32_t code, const std::vector<uint8_t>& in, uint32_t outLen)> handler;
    std::vector<std::vector<uint8_t>> sent;  // input bytes of every request
    int box_answer = IDOK;

    void sleep(int ms) override;
    long now() override { return epoch + long(clock_ms / 1000); }
    long long clockMs() override { return clock_ms; }
    void beep(int freq, int ms) override;
    void messageBeep() override { events.push_back("msgbeep"); }
    void pump() override { events.push_back("pump"); }
    int messageBox(const std::string& text, const std::string& caption, int flags) override;
    int lastError() override { return last_; }
    void setLastError(int e) override { last_ = e; }
    DevHandle openDevice(Device d) override;
    bool request(DevHandle h, uint32_t code, uint8_t* buf, uint32_t inLen, uint32_t outLen,
                 uint32_t& returned) override;
    void closeDevice(DevHandle h) override;
    int runShell(const std::string& command) override
    {
        events.push_back("shell " + command);
        return 0;
    }
    void progressText(const std::string& text, Colour colour) override;
    void progressBar(bool visible, int position, int step) override;
    void progressStep() override { events.push_back("progress step"); }
    FakeLibrary lib;
    Library& library() override { return lib; }
    void progressShow() override { events.push_back("progress show"); }
    void progressRepaint() override { events.push_back("progress repaint"); }
    void progressHide() override { events.push_back("progress hide"); }
    void progressCaption(const std::string& caption) override { events.push_back("progress caption " + caption); }
    void holdMouse(bool on) override { events.push_back(on ? "mouse held" : "mouse released"); }
    void centreMouse() override { events.push_back("mouse centred"); }
    // The file the next file dialogs answer with, in order ("" = cancelled).
    std::deque<std::string> files;
    std::string chooseFile(const FileChoice& c) override
    {
        events.push_back(std::string(c.save ? "save dialog " : "open dialog ") + c.title +
                         (c.folder.empty() ? "" : " in " + c.folder) + (c.name.empty() ? "" : " named " + c.name));
        if (files.empty()) return {};
        std::string f = files.front();
        files.pop_front();
        return f;
    }
    std::string history;  // the history folder; none unless a test sets it
    std::string historyFolder() override { return history; }
    int program_status = 0;
    int runProgram(const std::string& path, const std::vector<std::string>& argv) override
    {
        std::string e = "run " + path;
        for (const auto& a : argv) e += " " + a;
        events.push_back(e);
        return program_status;
    }
    void warning(const std::string& line) override { events.push_back("warning " + line); }
    std::string problem, device;  // what deviceProblem() and deviceName() say
    std::string deviceProblem() override { return problem; }
    std::string deviceName() override { return device; }

    // A signal that arrives once `interrupt_after` requests have been sent.
    int interrupt_after = -1;
    int interrupt_signal = 2;
    int interruption() override
    {
        return interrupt_after >= 0 && int(sent.size()) >= interrupt_after ? interrupt_signal : 0;
    }

    // Events that match a prefix, in order.
    std::vector<std::string> only(const std::string& prefix) const;
    int count(const std::string& event) const;

private:
    int last_ = 0;
    int next_handle_ = 3;
};

}  // namespace ptu::test
