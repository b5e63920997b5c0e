#include "ui/state_pictures.h"

namespace tessoral::ui {

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kLightGrey = 0xFFEFEFEF;
constexpr uint32_t kTransparent = 0x00000000;

struct Colours {
    uint32_t outline, screen_left, screen_right;
};

constexpr Colours kColours[kStatePictureCount] = {
    {0xFF0F7409, 0xFF4DEC40, 0xFF29BD18},  // online
    {0xFF9C0000, 0xFFFD8886, 0xFFFE3330},  // offline
    {0xFF6B7409, 0xFFE1EC40, 0xFFB7BD18},  // not yet known
};

uint32_t Blend(uint32_t from, uint32_t to, int step, int steps) {
    uint32_t out = 0xFF000000;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int a = static_cast<int>((from >> shift) & 0xFF);
        const int b = static_cast<int>((to >> shift) & 0xFF);
        const int c = a + (b - a) * step / steps;
        out |= static_cast<uint32_t>(c) << shift;
    }
    return out;
}

}  // namespace

StatePicture DrawStatePicture(int index) {
    const Colours& colours = kColours[index];
    constexpr int w = kStatePictureWidth;
    constexpr int h = kStatePictureHeight;
    constexpr int kDividerRow = 9;  // the tenth row parts the screen from the foot
    StatePicture pixels{};
    auto at = [&](int x, int y) -> uint32_t& { return pixels[static_cast<size_t>(y * w + x)]; };

    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const bool edge_x = x == 0 || x == w - 1;
            const bool edge_y = y == 0 || y == h - 1 || y == kDividerRow;
            uint32_t colour;
            if (edge_x && edge_y) {
                colour = kTransparent;  // rounded corners, open ends of the divider
            } else if (edge_x || edge_y) {
                colour = colours.outline;
            } else if (y < kDividerRow) {
                // The screen's frame: a bevel of white top and left, light
                // grey bottom and right, around the shaded screen.
                if (y == 1 || x == 1) {
                    colour = kWhite;
                } else if (y == kDividerRow - 1 || x == w - 2) {
                    colour = kLightGrey;
                } else {
                    colour = Blend(colours.screen_left, colours.screen_right, x - 2, 7);
                }
            } else if (y == kDividerRow + 1) {
                // The foot's upper row: white, a mark right of centre, grey end.
                if (x == 7 || x == 8) {
                    colour = colours.outline;
                } else if (x == w - 2) {
                    colour = kLightGrey;
                } else {
                    colour = kWhite;
                }
            } else {
                colour = kLightGrey;
            }
            at(x, y) = colour;
        }
    }
    return pixels;
}

}  // namespace tessoral::ui
