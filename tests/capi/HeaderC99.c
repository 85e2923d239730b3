/* The public header compiled as a C99 program sees it: strict, pedantic, every warning an error. */
#include "tromel/tromel.h"

int tromel_header_c99_check(void);

int tromel_header_c99_check(void) {
    tromel_song_info info = {sizeof(tromel_song_info), 0, 0, 0, 0, 0, 0, {0}, {0}};
    return (int)info.struct_size + TROMEL_OK + TROMEL_CHANNELS + TROMEL_RATE_MIN;
}
