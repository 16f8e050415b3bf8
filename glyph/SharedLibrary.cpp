#include "glyph/SharedLibrary.h"

#include <dlfcn.h>

#include <stdexcept>

namespace glyph {
namespace {

std::string LastError() {
    const char* reason = dlerror();
    return reason != nullptr ? reason : "unknown reason";
}

}  // namespace

SharedLibrary::SharedLibrary(const char* soname)
    : soname_(soname), handle_(dlopen(soname, RTLD_NOW | RTLD_LOCAL)) {
    if (!handle_) throw std::runtime_error("cannot load " + soname_ + ": " + LastError());
}

void* SharedLibrary::Symbol(const char* name) const {
    dlerror();
    void* symbol = dlsym(handle_.get(), name);
    if (symbol == nullptr)
        throw std::runtime_error(soname_ + " has no " + name + ": " + LastError());
    return symbol;
}

void SharedLibrary::Unload::operator()(void* handle) const {
    dlclose(handle);
}

}  // namespace glyph
