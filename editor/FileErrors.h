#pragma once

#include "glyph/Errors.h"

// Errors of the file commands; each message names the file's full path and
// the operating system's reason.
class EFOpenError : public glyph::Exception {
    using Exception::Exception;
};
class EFCreateError : public glyph::Exception {
    using Exception::Exception;
};
class EReadError : public glyph::Exception {
    using Exception::Exception;
};
class EWriteError : public glyph::Exception {
    using Exception::Exception;
};
