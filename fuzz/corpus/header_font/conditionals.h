/* Two sizes in one file, chosen as a compiler would */
#ifndef SMALL
#define SMALL 1
#endif
#include <MD_MAX72xx.h> // the /* form
#if 0
This table's old copy
MD_MAX72XX::fontType_t Old[] PROGMEM = {'F', 1, 65, 65, 8, 1, 0xFF};
#endif
#if SMALL && !defined(LARGE)
MD_MAX72XX::fontType_t Font[] PROGMEM = {'F', 1, 0x30, 0x31, 8,
  2, 0x3E, 0x41, /* '0' */
#ifdef EXTRA
  0x22,
#endif
  1, 0x7F,       // '1'
};
#elifdef LARGE
MD_MAX72XX::fontType_t Font[] PROGMEM = {'F', 1, 0x30, 0x30, 8, 3, 0x3E, 0x41, 0x3E};
#else
#error pick a size
#endif /* SMALL */
