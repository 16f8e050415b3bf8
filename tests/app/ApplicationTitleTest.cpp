#include "app/ApplicationTitle.h"

#include <gtest/gtest.h>

namespace {

// The first character keeps its case; only the rest is lowered.
TEST(ApplicationTitle, IsTheExecutableNameCutAtItsFirstDot) {
    const std::pair<const char*, const char*> cases[] = {
        {"Glyph.Tool.exe", "Glyph"},
        {"ABC.exe", "Abc"},
        {"fonteditor", "fonteditor"},
        {"/usr/local/bin/fonteditor", "fonteditor"},
        {"/opt/My.Dir/FONTEDITOR", "Fonteditor"},
        {"/home/x/build/FontEditor.bin", "Fonteditor"},
        {"éDITEUR", "éditeur"},
        {"x", "x"},
        {".hidden", ""},
        {"", ""},
    };
    for (auto [path, title] : cases) EXPECT_EQ(ApplicationTitle(path), QString(title)) << path;
}

}  // namespace
