#include "LibraryProgram.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace testing_glyphtool {

namespace fs = std::filesystem;

std::string RunWithLibrary(const Scratch& scratch, const std::string& header,
                           const std::string& libraryName, const char* library, const char* main,
                           const std::string& defines, const std::string& argument) {
    fs::create_directories(scratch / "include");
    WriteBytes(scratch / "include" / libraryName, library);
    WriteBytes(scratch / "font.h", header);
    WriteBytes(scratch / "main.cpp", main);
    const std::string dir = scratch.path().string();
    const std::string build = std::string(CXX_COMPILER) +
                              " -std=c++11 -Wall -Wextra -Werror -Wno-narrowing -I" + dir +
                              "/include " + defines + " " + dir + "/main.cpp -o " + dir + "/main";
    EXPECT_EQ(std::system(build.c_str()), 0) << header;
    EXPECT_EQ(std::system((dir + "/main '" + argument + "' > " + dir + "/out.txt").c_str()), 0);
    return ReadBytes(scratch / "out.txt");
}

}  // namespace testing_glyphtool
