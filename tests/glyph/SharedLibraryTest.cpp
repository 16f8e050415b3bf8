#include "glyph/SharedLibrary.h"

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

namespace glyph {
namespace {

std::string ErrorOf(void (*attempt)()) {
    try {
        attempt();
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    return "";
}

TEST(SharedLibrary, BindsAFunctionThatWorks) {
    const SharedLibrary c("libc.so.6");
    decltype(&std::strlen) length = nullptr;
    c.Bind("strlen", length);
    ASSERT_NE(length, nullptr);
    EXPECT_EQ(length("seven c"), 7u);
}

TEST(SharedLibrary, SaysWhatCannotBeLoaded) {
    EXPECT_NE(ErrorOf([] {
                  SharedLibrary("libno-such-library.so.9");
              }).find("cannot load libno-such-library.so.9"),
              std::string::npos);
    const std::string missing = ErrorOf([] {
        const SharedLibrary c("libc.so.6");
        void (*function)() = nullptr;
        c.Bind("no_such_function_here", function);
    });
    EXPECT_NE(missing.find("libc.so.6 has no no_such_function_here"), std::string::npos) << missing;
}

}  // namespace
}  // namespace glyph
