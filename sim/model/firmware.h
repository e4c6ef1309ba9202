// The firmware of the emulated keyboard: its memory, its identification and
// configuration registers, and how it answers one driver request. No sockets
// here; the kbdsim service feeds requests in and sends the answers back.
#pragma once

#include "sim/model/faults.h"
#include "sim/model/functions.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kbdsim {

// Bytes that frame the keyboard's answers.
constexpr uint8_t kAck = 0xFA;
constexpr uint8_t kNak = 0xFE;
constexpr uint8_t kEndMark = 0xC0;
constexpr uint8_t kBadEndMark = 0xC1;
constexpr uint8_t kFrameMark = 0xD6;
constexpr uint8_t kSelfTestOk = 0x55;  // the controller's answer to "8042"

struct Registers {
    uint8_t r2a = 0xA4;  // six pages, 8192 bytes, layout variant 4
    uint8_t r2e = 0x01;
    uint8_t r29 = 0x9E;
    uint8_t r28 = 0xE8;
    uint8_t r27 = 4;
};

// Memory size the keyboard has for an identification byte.
size_t memorySizeFor(uint8_t r2a);

// One data byte as a nibble pair: (0xD0 | high nibble, lowBase | low nibble).
void appendNibblePair(std::vector<uint8_t>& out, uint8_t byte, uint8_t lowBase = 0xD0);

// What goes back for one request. drop: close the connection, no reply.
// hold: no reply ever; the connection stays open until the caller closes it.
struct Answer {
    bool drop = false;
    bool hold = false;
    bool success = false;
    uint32_t error = 0;  // errno value of a failed request
    std::vector<uint8_t> data;
};

struct Config {
    Registers regs;
    // Registers given explicitly: a signed image in the memory file does not
    // override them at start (a write always does).
    bool pinR27 = false, pinR28 = false, pinR29 = false;
    // High four bits of the second byte of every nibble pair.
    uint8_t lowNibbleBase = 0xD0;
    FaultPlan faults;
};

class Firmware {
public:
    explicit Firmware(const Config& cfg);

    // Keeps the memory in a file from now on: loads it (created zero-filled
    // when missing, padded or cut when of another size) and saves it after
    // every write. Returns false with a message when the file cannot be used;
    // notes (e.g. a resize) are appended to notes.
    bool attachFile(const std::string& path, std::vector<std::string>& notes, std::string& error);

    // Answers one request. The reply never holds more than outLen bytes; a
    // write whose echo would not fit fails without storing anything.
    Answer answer(uint32_t code, const std::vector<uint8_t>& in, uint32_t outLen);

    const std::vector<uint8_t>& memory() const { return mem_; }
    const Registers& registers() const { return regs_; }
    FaultPlan& faults() { return faults_; }
    uint64_t requests() const { return served_; }

private:
    Answer info(bool withoutFrame) const;
    Answer read() const;
    Answer write(const std::vector<uint8_t>& in);
    Answer blockRead(const std::vector<uint8_t>& in);
    Answer blockWrite(const std::vector<uint8_t>& in);
    Answer storeAndEcho(size_t addr, const uint8_t* data, size_t n);

    // Takes r29, r28, r27 from the image tail when it carries the signature.
    void adoptTail(bool keep27, bool keep28, bool keep29);
    bool persist(uint32_t& error);

    Registers regs_;
    bool pinR27_, pinR28_, pinR29_;
    uint8_t lowBase_;
    std::vector<uint8_t> mem_;
    std::string path_;
    FaultPlan faults_;
    uint64_t served_ = 0;
};

}  // namespace kbdsim
