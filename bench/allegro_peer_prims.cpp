// The one translation unit that includes Allegro 4.
#include "bench/allegro_peer_prims.h"

#include <allegro.h>

struct AllegroPeerBitmap {
    BITMAP* bitmap;
};

bool AllegroPeerStart() { return install_allegro(SYSTEM_NONE, &errno, nullptr) == 0; }

AllegroPeerBitmap* AllegroPeerCreate(int width, int height) {
    BITMAP* bitmap = create_bitmap_ex(8, width, height);
    return bitmap ? new AllegroPeerBitmap{bitmap} : nullptr;
}

void AllegroPeerDestroy(AllegroPeerBitmap* peer) {
    if (!peer) return;
    destroy_bitmap(peer->bitmap);
    delete peer;
}

uint8_t* AllegroPeerRow(AllegroPeerBitmap* peer, int y) { return peer->bitmap->line[y]; }

void AllegroPeerVline(AllegroPeerBitmap* peer, int x, int y1, int y2, int colour) { vline(peer->bitmap, x, y1, y2, colour); }

void AllegroPeerClear(AllegroPeerBitmap* peer, int colour) { clear_to_color(peer->bitmap, colour); }
