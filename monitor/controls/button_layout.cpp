#include "monitor/controls/button_layout.h"

ButtonKind ClassifyButton(uint32_t style) {
    if ((style & 0xFFFF) == 0) return ButtonKind::Push;
    if (style & 3) return ButtonKind::Toggle;
    if (style & 4) return ButtonKind::RadioStyle;
    return ButtonKind::None;
}

ButtonLayout LayOutButton(const Box& client, int bitmapWidth, int bitmapHeight) {
    ButtonLayout l;
    if (bitmapWidth > 0 && bitmapHeight > 0) {
        int top = (client.bottom - client.top - bitmapHeight) / 2;
        l.bitmap = {2, top, 2 + bitmapWidth, top + bitmapHeight};
    }
    l.caption = {l.bitmap.right + 6, 0, client.right - 6, client.bottom};
    return l;
}

Box FocusBox(const Box& item, int inset) {
    Box b{item.left + inset, item.top + inset, item.right - inset, item.bottom - inset};
    if (b.Empty()) b = {item.left + 3, item.top + 3, item.right - 3, item.bottom - 3};
    return b;
}
