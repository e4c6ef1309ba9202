// The batch options of the command line and their file names. The file name
// after "-r", "-w", "-R" or "-W" is an operand: the switch scan steps over
// it, so "-R 2024-demo.bin" is a read into that file and never demo mode.
// For "-R" and "-W" the name is the rest of the line; for "-r" and "-w" it
// is the blank-delimited word, or the text between double quotes. What
// begins with "-" is the next switch, not a name ("-r -?" shows the help).
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace ptu {

// Whether "-<c>" is a batch option that takes a file name.
constexpr bool takesFileName(char c) { return c == 'r' || c == 'w' || c == 'R' || c == 'W'; }

// The file name of the batch option whose "-" stands at `at`.
struct Operand {
    size_t from = 0;   // where the operand starts (an opening quote included)
    size_t begin = 0;  // the name, without the quotes around it
    size_t end = 0;
    size_t next = 0;   // where the switch scan goes on
    // The name holds a double quote (the command line cannot tell where
    // such a name ends, so it is never taken).
    bool hasQuote = false;
};
Operand fileOperand(const std::string& text, size_t at);

// The command line with every file name after a batch option blanked out by
// a character that is neither "-" nor a blank: what remains is what the
// switch scan reads.
std::string withoutFileNames(const std::string& text);

// The option a batch transfer acts on and its file name.
struct FileOption {
    char option = 0;  // 'R', 'W' (block) or 'r', 'w' (single request)
    std::string name;
    bool hasQuote = false;  // see Operand
    bool reads() const { return option == 'R' || option == 'r'; }
};

// rwkf16's reading of its text: the second character is the option, the
// file name follows after blanks and runs to the end (a name wrapped in
// double quotes loses them).
std::optional<FileOption> blockOption(const std::string& text);

// rwkf's reading: the first "-r" that starts a word outside double quotes
// and outside another option's file name, else the first such "-w"; the
// name follows after blanks, up to the next blank, or between double quotes.
std::optional<FileOption> singleOption(const std::string& text);

}  // namespace ptu
