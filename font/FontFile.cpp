#include "font/FontFile.h"

#include "font/Failure.h"
#include "font/FontFolder.h"
#include "glyph/FileHead.h"

namespace font {

FontFile OpenFontFile(const std::filesystem::path& path) {
    FontFile file{path, Display(path), {}, true};
    glyph::FileHead head = glyph::ReadFileHead(path.string(), MaxFontFileBytes);
    switch (head.status) {
        case glyph::FileHeadStatus::Ok:
            break;
        case glyph::FileHeadStatus::IsDirectory:
        case glyph::FileHeadStatus::NotRegularFile:
            throw Failure(file.name + ": not a regular file");
        case glyph::FileHeadStatus::CannotOpen:
            throw Failure(file.name + ": cannot be opened: " + glyph::SystemErrorText(head.error));
        case glyph::FileHeadStatus::CannotRead:
            throw Failure(file.name + ": cannot be read: " + glyph::SystemErrorText(head.error));
    }
    file.whole = head.size <= head.bytes.size();
    file.bytes = std::move(head.bytes);
    return file;
}

}  // namespace font
