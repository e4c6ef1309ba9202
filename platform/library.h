// Loading a shared library at run time and looking up its entry points by
// name: the stand-in for LoadLibrary, GetProcAddress and FreeLibrary. The
// program loads only the USB keyboard library this way.
#pragma once

#include <string>
#include <utility>

namespace ptu {

using LibHandle = void*;

// The file name the program asks for when it loads the USB keyboard library.
inline constexpr char kHidpadLibrary[] = "libhidpad.so";

class Library {
public:
    virtual ~Library() = default;

    // Loads `name`; returns the module handle, or null when it cannot be
    // loaded. Every call sets error() (0 on success).
    virtual LibHandle load(const std::string& name) = 0;
    // The address of the entry point `name` in a loaded module, or null.
    virtual void* symbol(LibHandle h, const std::string& name) = 0;
    virtual void unload(LibHandle h) = 0;

    // The error number of the last load or lookup, 0 when it succeeded.
    int error() const { return error_; }

protected:
    int error_ = 0;
};

// A loader that finds nothing: every load fails with ENOENT.
class NoLibrary : public Library {
public:
    LibHandle load(const std::string& name) override;
    void* symbol(LibHandle h, const std::string& name) override;
    void unload(LibHandle) override {}
};

// The dynamic loader. The USB keyboard library's name is replaced by
// $HIDPAD_LIBRARY when that is set; a name without a slash is looked up
// beside the executable (in `exeDir`) first, then in `exeDir`/../lib/ptu
// (where an installed program keeps its private libraries), then where the
// dynamic loader searches.
class DlLibrary : public Library {
public:
    explicit DlLibrary(std::string exeDir = {}) : exeDir_(std::move(exeDir)) {}
    void setExeDir(std::string dir) { exeDir_ = std::move(dir); }
    // The USB keyboard library's file, in place of $HIDPAD_LIBRARY and the
    // lookup ("" for those again).
    void setHidpadFile(std::string file) { hidpadFile_ = std::move(file); }

    // The path load(name) hands to the dynamic loader.
    std::string path(const std::string& name) const;

    LibHandle load(const std::string& name) override;
    void* symbol(LibHandle h, const std::string& name) override;
    void unload(LibHandle h) override;

    // The dynamic loader's text for the last failure, empty after a success.
    const std::string& errorText() const { return errorText_; }

private:
    std::string exeDir_;
    std::string hidpadFile_;
    std::string errorText_;
};

}  // namespace ptu
