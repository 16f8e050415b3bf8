#pragma once

#include <QString>

// The application's title, made from its executable's file name: the name
// without its folder, cut at its first ".", every character after the first
// in lower case ("Glyph.Tool.exe" gives "Glyph", "ABC.exe" gives "Abc").
QString ApplicationTitle(const QString& executablePath);
