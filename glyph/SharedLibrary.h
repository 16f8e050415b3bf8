#pragma once

#include <memory>
#include <string>

namespace glyph {

// A shared library loaded while the program runs, for the libraries only some
// runs need: loading every library a program links at each start costs a
// short run more than its work. Unloaded when this goes.
class SharedLibrary {
  public:
    // Raises std::runtime_error naming `soname` when it cannot be loaded.
    explicit SharedLibrary(const char* soname);

    // Sets `function` to the library's function `name`; raises
    // std::runtime_error when the library has none.
    template <typename Function>
    void Bind(const char* name, Function& function) const {
        function = reinterpret_cast<Function>(Symbol(name));
    }

  private:
    void* Symbol(const char* name) const;

    struct Unload {
        void operator()(void* handle) const;
    };
    std::string soname_;
    std::unique_ptr<void, Unload> handle_;
};

}  // namespace glyph
