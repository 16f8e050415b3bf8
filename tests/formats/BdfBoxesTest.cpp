#include "formats/bitmapimport/BdfBoxes.h"

#include <gtest/gtest.h>

#include <string>

#include "font/Failure.h"
#include "font/FontLimits.h"

namespace {

std::span<const std::uint8_t> Bytes(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// A BDF text of `count` glyphs of the box `bbx`, 8 lines before the first.
std::string Font(int count, const std::string& bbx, const std::string& size = "SIZE 7 75 75") {
    std::string text = "STARTFONT 2.1\nFONT t\n" + size + "\nFONTBOUNDINGBOX 5 7 0 -1\n" +
                       "STARTPROPERTIES 0\nENDPROPERTIES\nCHARS " + std::to_string(count) + "\n";
    for (int i = 0; i < count; ++i)
        text += "STARTCHAR g" + std::to_string(i) + "\nENCODING " + std::to_string(i) + "\nBBX " +
                bbx + "\nBITMAP\nENDCHAR\n";
    return text + "ENDFONT\n";
}

std::string FailureOf(const std::string& text) {
    try {
        font::CheckBdfBoxes(text, "f.bdf");
    } catch (const font::Failure& failure) {
        return failure.what();
    }
    return "";
}

TEST(BdfBoxesTest, TellsABdfFontByItsStart) {
    EXPECT_TRUE(font::IsBdf(Bytes("STARTFONT 2.1\n")));
    EXPECT_TRUE(font::IsBdf(Bytes("COMMENT made by hand\r\n\nSTARTFONT 2.1\r\n")));
    EXPECT_FALSE(font::IsBdf(Bytes("STARTFONTS\n")));
    EXPECT_FALSE(font::IsBdf(Bytes("/* STARTFONT */\n")));
    EXPECT_FALSE(font::IsBdf(Bytes("COMMENT only\n")));
}

TEST(BdfBoxesTest, RefusesBoxesFarBeyondTheCellsBeforeTheyAreAllocated) {
    EXPECT_EQ(FailureOf(Font(3, "5 7 0 -1")), "");
    EXPECT_EQ(FailureOf(Font(1, "256 256 0 0")), "");
    EXPECT_EQ(FailureOf(Font(30000, "65535 7 0 0")),
              "f.bdf: glyph g0 (line 10) has a box of 65535 x 7 pixels, far beyond the 16 x 7 "
              "cells; not read");
    EXPECT_EQ(FailureOf(Font(2, "7 99999999999 0 0")),
              "f.bdf: glyph g0 (line 10) has a box of 7 x 4294967296 pixels, far beyond the 16 x "
              "7 cells; not read");
    // 256 x 256 at one bit is 8 KiB: the glyph past the limit names itself.
    const int fitting = static_cast<int>(font::MaxBdfBitmapBytes / 8192);
    EXPECT_EQ(FailureOf(Font(fitting, "256 256 0 0")), "");
    EXPECT_EQ(FailureOf(Font(fitting + 1, "256 256 0 0")),
              "f.bdf: its glyph boxes ask for more than 32 MiB of bitmaps by glyph g" +
                  std::to_string(fitting) + " (line " + std::to_string(10 + 5 * fitting) +
                  "); not read");
    // Eight bits a pixel take eight times the bytes.
    EXPECT_NE(FailureOf(Font(fitting / 8 + 1, "256 256 0 0", "SIZE 7 75 75 8")), "");
}

}  // namespace
