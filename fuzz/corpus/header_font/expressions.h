#define W 3
#define COL(x) (x)
#if defined(W) && W * 2 > 5 || !defined X
MD_MAX72XX::fontType_t F[] PROGMEM = {'F', 1, 0x41, 0x42, 8, W, 0x41 + 1, (uint8_t)~0x80, 'GF' >> 8,
#elif W << 1 == 6 ? 1 : 0 / 0
#error unreachable
#else
MD_MAX72XX::fontType_t F[] PROGMEM = {'F', 1, 0x41, 0x41, 8,
#endif
  2, 0x7F, 0b1010};
