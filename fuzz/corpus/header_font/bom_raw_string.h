#define W 1
const uint8_t F[] = {'F', 1, 65, 65, 8, W, 0x7F}; const char* s = R"(a " b)"; inline namespace v1 { const int x = 'GFX1'; }
