// How an owner-draw bitmap button classifies its style and lays out its bitmap and caption.
// UI-free.
#pragma once
#include <cstdint>

enum class ButtonKind { None = 0, Push = 1, Toggle = 2, RadioStyle = 4 };

// The kind from the button's window style as the dialog template gave it.
ButtonKind ClassifyButton(uint32_t style);
// The style that makes the button owner-drawn.
inline uint32_t OwnerDrawStyle(uint32_t style) { return style | 0xB; }

struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool Empty() const { return right <= left || bottom <= top; }
};

struct ButtonLayout {
    Box bitmap;   // where the bitmap goes; empty without one
    Box caption;  // where the caption is centred
};

// `bitmapWidth`/`bitmapHeight` are 0 when the button has no bitmap.
ButtonLayout LayOutButton(const Box& client, int bitmapWidth, int bitmapHeight);

// The focus rectangle: the item inset by `inset` on each side; a button too low for that
// inset gets the usual 3-pixel inset instead, so the rectangle never turns inside out.
Box FocusBox(const Box& item, int inset);
