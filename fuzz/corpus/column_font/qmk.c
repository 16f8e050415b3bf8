// OLED_FONT_WIDTH 6
static const unsigned char font[] = {
  0,0,0,0,0,0, 0x7E,0x11,0x11,0x11,0x7E,0, 1,2,3,4,5,6, 7,8,9,10,11,12, 0,0,0,0,0,0,
};
