#include "platform/library.h"

#include "platform/platform.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

namespace ptu {

Library& Platform::library()
{
    static NoLibrary none;
    return none;
}

LibHandle NoLibrary::load(const std::string&)
{
    error_ = ENOENT;
    return nullptr;
}

void* NoLibrary::symbol(LibHandle, const std::string&)
{
    error_ = ENOENT;
    return nullptr;
}

std::string DlLibrary::path(const std::string& name) const
{
    std::string file = name;
    if (name == kHidpadLibrary && !hidpadFile_.empty()) return hidpadFile_;
    if (name == kHidpadLibrary) {
        if (const char* e = std::getenv("HIDPAD_LIBRARY"); e && *e) file = e;
    }
    if (file.find('/') == std::string::npos && !exeDir_.empty()) {
        const std::filesystem::path exe(exeDir_);
        for (const auto& there : {exe / file, (exe / ".." / "lib" / "ptu" / file).lexically_normal()}) {
            if (::access(there.c_str(), F_OK) == 0) return there.string();
        }
    }
    return file;
}

LibHandle DlLibrary::load(const std::string& name)
{
    errno = 0;
    LibHandle h = ::dlopen(path(name).c_str(), RTLD_NOW | RTLD_LOCAL);
    if (h) {
        error_ = 0;
        errorText_.clear();
    } else {
        error_ = errno ? errno : ENOENT;
        const char* t = ::dlerror();
        errorText_ = t ? t : "";
    }
    return h;
}

void* DlLibrary::symbol(LibHandle h, const std::string& name)
{
    if (!h) {
        error_ = EBADF;
        return nullptr;
    }
    ::dlerror();
    void* p = ::dlsym(h, name.c_str());
    if (const char* t = ::dlerror()) {
        error_ = ENOENT;
        errorText_ = t;
        return nullptr;
    }
    error_ = 0;
    errorText_.clear();
    return p;
}

void DlLibrary::unload(LibHandle h)
{
    if (h) ::dlclose(h);
}

}  // namespace ptu
