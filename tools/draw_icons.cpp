// Draws Tessoral's icons and writes them as Windows .ico files.
//
//     draw_icons OUTDIR      writes OUTDIR/tessoral.ico and OUTDIR/padlock.ico
//
// Every picture is described here as a handful of shapes. Each pixel is split
// into SUB x SUB samples; a sample takes the colour of the front-most shape
// that covers it, and the pixel is the (alpha-weighted) mean of its samples,
// which gives smooth anti-aliased edges. All geometry and shading is integer
// arithmetic, so the files come out byte for byte the same on every machine
// and with every compiler setting; the committed res/*.ico are checked
// against this program by the test Resources.IconsMatchGenerator.

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

// ---------------------------------------------------------------------------
// Sampling grid

constexpr int SUB = 16;       // samples per pixel along each axis
constexpr int UNIT = 2 * SUB; // coordinate units per pixel; sample centres are odd

// Pixel position (may be a multiple of 1/32) in coordinate units.
constexpr int px(double pixels) { return static_cast<int>(pixels * UNIT); }

struct Rgba {
    int r = 0, g = 0, b = 0, a = 0; // 0..255, straight (not premultiplied) alpha
};

constexpr Rgba rgb(std::uint32_t hex, int alpha = 255)
{
    return Rgba{static_cast<int>((hex >> 16) & 0xFF), static_cast<int>((hex >> 8) & 0xFF),
                static_cast<int>(hex & 0xFF), alpha};
}

constexpr Rgba transparent{};

std::int64_t clampI(std::int64_t v, std::int64_t lo, std::int64_t hi) { return v < lo ? lo : (v > hi ? hi : v); }

// Linear blend from a (t = 0) to b (t = n); t is clamped to 0..n.
Rgba mix(Rgba a, Rgba b, std::int64_t t, std::int64_t n)
{
    t = clampI(t, 0, n);
    auto ch = [&](int x, int y) { return static_cast<int>((x * (n - t) + y * t + n / 2) / n); };
    return Rgba{ch(a.r, b.r), ch(a.g, b.g), ch(a.b, b.b), ch(a.a, b.a)};
}

// Three-stop blend: a at 0, b at n/2, c at n.
Rgba mix3(Rgba a, Rgba b, Rgba c, std::int64_t t, std::int64_t n)
{
    t = clampI(t, 0, n);
    return 2 * t < n ? mix(a, b, 2 * t, n) : mix(b, c, 2 * t - n, n);
}

// Paints `over` with opacity alpha/255 on top of `under` (both opaque here).
Rgba tint(Rgba under, Rgba over, int alpha)
{
    Rgba out = mix(under, over, alpha, 255);
    out.a = under.a;
    return out;
}

std::int64_t isqrt(std::int64_t v)
{
    if (v <= 0)
        return 0;
    std::int64_t r = 0;
    std::int64_t bit = std::int64_t{1} << 62;
    while (bit > v)
        bit >>= 2;
    while (bit != 0) {
        if (v >= r + bit) {
            v -= r + bit;
            r = (r >> 1) + bit;
        } else {
            r >>= 1;
        }
        bit >>= 2;
    }
    return r;
}

// ---------------------------------------------------------------------------
// Shapes (all coordinates in units)

struct Box {
    int x0, y0, x1, y1;
    Box inset(int d) const { return Box{x0 + d, y0 + d, x1 - d, y1 - d}; }
    Box inset(int dx, int dtop, int dbottom) const { return Box{x0 + dx, y0 + dtop, x1 - dx, y1 - dbottom}; }
    int w() const { return x1 - x0; }
    int h() const { return y1 - y0; }
};

bool inRoundRect(int x, int y, const Box& b, int radius)
{
    if (x < b.x0 || x >= b.x1 || y < b.y0 || y >= b.y1)
        return false;
    const std::int64_t cx = clampI(x, b.x0 + radius, b.x1 - radius);
    const std::int64_t cy = clampI(y, b.y0 + radius, b.y1 - radius);
    const std::int64_t dx = x - cx, dy = y - cy;
    return dx * dx + dy * dy <= std::int64_t{radius} * radius;
}

bool inEllipse(int x, int y, int cx, int cy, int rx, int ry)
{
    const std::int64_t dx = x - cx, dy = y - cy;
    const std::int64_t rx2 = std::int64_t{rx} * rx, ry2 = std::int64_t{ry} * ry;
    return dx * dx * ry2 + dy * dy * rx2 <= rx2 * ry2;
}

bool inCircle(int x, int y, int cx, int cy, int r) { return inEllipse(x, y, cx, cy, r, r); }

// Within halfWidth of the segment a-b (round caps).
bool nearSegment(int x, int y, int ax, int ay, int bx, int by, int halfWidth)
{
    const std::int64_t vx = bx - ax, vy = by - ay;
    const std::int64_t wx = x - ax, wy = y - ay;
    const std::int64_t len2 = vx * vx + vy * vy;
    const std::int64_t t = wx * vx + wy * vy;
    const std::int64_t hw2 = std::int64_t{halfWidth} * halfWidth;
    if (t <= 0)
        return wx * wx + wy * wy <= hw2;
    if (t >= len2) {
        const std::int64_t ex = x - bx, ey = y - by;
        return ex * ex + ey * ey <= hw2;
    }
    const std::int64_t cross = wx * vy - wy * vx;
    return cross * cross <= hw2 * len2;
}

// ---------------------------------------------------------------------------
// Rendering and .ico output

struct Image {
    int width = 0, height = 0;
    std::vector<Rgba> pixels; // top-down, row-major
};

template <typename Scene>
Image render(int width, int height, Scene scene)
{
    Image img{width, height, std::vector<Rgba>(static_cast<std::size_t>(width) * height)};
    for (int py = 0; py < height; ++py) {
        for (int pxl = 0; pxl < width; ++pxl) {
            std::int64_t sr = 0, sg = 0, sb = 0, sa = 0;
            for (int sy = 0; sy < SUB; ++sy) {
                for (int sx = 0; sx < SUB; ++sx) {
                    const Rgba c = scene(pxl * UNIT + 2 * sx + 1, py * UNIT + 2 * sy + 1);
                    sr += std::int64_t{c.r} * c.a;
                    sg += std::int64_t{c.g} * c.a;
                    sb += std::int64_t{c.b} * c.a;
                    sa += c.a;
                }
            }
            Rgba& out = img.pixels[static_cast<std::size_t>(py) * width + pxl];
            constexpr std::int64_t samples = SUB * SUB;
            out.a = static_cast<int>((sa + samples / 2) / samples);
            if (out.a == 0) {
                out = transparent;
            } else {
                out.r = static_cast<int>((sr + sa / 2) / sa);
                out.g = static_cast<int>((sg + sa / 2) / sa);
                out.b = static_cast<int>((sb + sa / 2) / sa);
            }
        }
    }
    return img;
}

void put16(std::vector<std::uint8_t>& out, unsigned v)
{
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// One 32-bit image: ICONDIR, one ICONDIRENTRY, then a BITMAPINFOHEADER DIB
// (height doubled) with the BGRA rows bottom-up and the 1-bit AND mask.
std::vector<std::uint8_t> encodeIco(const Image& img)
{
    const auto w = static_cast<std::uint32_t>(img.width);
    const auto h = static_cast<std::uint32_t>(img.height);
    const std::uint32_t xorBytes = w * h * 4;
    const std::uint32_t maskStride = ((w + 31) / 32) * 4;
    const std::uint32_t maskBytes = maskStride * h;
    const std::uint32_t dibBytes = 40 + xorBytes + maskBytes;
    const std::uint32_t imageOffset = 6 + 16;

    std::vector<std::uint8_t> out;
    // ICONDIR
    put16(out, 0); // reserved
    put16(out, 1); // type: icon
    put16(out, 1); // one image
    // ICONDIRENTRY
    out.push_back(static_cast<std::uint8_t>(w >= 256 ? 0 : w));
    out.push_back(static_cast<std::uint8_t>(h >= 256 ? 0 : h));
    out.push_back(0); // colour count: not paletted
    out.push_back(0); // reserved
    put16(out, 1);    // planes
    put16(out, 32);   // bits per pixel
    put32(out, dibBytes);
    put32(out, imageOffset);
    // BITMAPINFOHEADER
    put32(out, 40);
    put32(out, w);
    put32(out, h * 2); // XOR bitmap and AND mask together
    put16(out, 1);     // planes
    put16(out, 32);    // bits per pixel
    put32(out, 0);     // BI_RGB
    put32(out, xorBytes + maskBytes);
    put32(out, 0); // x pixels per metre
    put32(out, 0); // y pixels per metre
    put32(out, 0); // colours used
    put32(out, 0); // important colours
    // XOR bitmap, bottom row first
    for (int y = img.height - 1; y >= 0; --y) {
        for (int x = 0; x < img.width; ++x) {
            const Rgba& p = img.pixels[static_cast<std::size_t>(y) * img.width + x];
            out.push_back(static_cast<std::uint8_t>(p.b));
            out.push_back(static_cast<std::uint8_t>(p.g));
            out.push_back(static_cast<std::uint8_t>(p.r));
            out.push_back(static_cast<std::uint8_t>(p.a));
        }
    }
    // AND mask, bottom row first: a set bit marks a fully transparent pixel
    for (int y = img.height - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(maskStride, 0);
        for (int x = 0; x < img.width; ++x) {
            if (img.pixels[static_cast<std::size_t>(y) * img.width + x].a == 0)
                row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    f.close();
    return static_cast<bool>(f);
}

// ---------------------------------------------------------------------------
// The program icon: three networked monitors in a diagonal cascade

const Rgba kOutline = rgb(0x1E2A38);
const Rgba kBezelTop = rgb(0xF3F6F9);
const Rgba kBezelBottom = rgb(0xAEB9C5);
const Rgba kScreenRim = rgb(0x24476E);
const Rgba kScreenLight = rgb(0xB8E4FF);
const Rgba kScreenMid = rgb(0x3C97E6);
const Rgba kScreenDark = rgb(0x15489A);
const Rgba kStandLight = rgb(0x9AA6B2);
const Rgba kStandDark = rgb(0x5D6A78);
const Rgba kCableOutline = rgb(0x8A3C00);
const Rgba kCableLight = rgb(0xFFC266);
const Rgba kCableMid = rgb(0xF5891F);
const Rgba kCableDark = rgb(0xD2640A);

struct Monitor {
    Box frame;  // outer edge of the dark outline
    int neckW;  // width of the neck, outline included
    int neckH;  // from the frame's bottom edge to the foot
    int footW;  // foot width, outline included
    int footH;
};

// Paints the monitor over c if the sample (x, y) falls on it.
void paintMonitor(Rgba& c, int x, int y, const Monitor& m)
{
    const int cx = (m.frame.x0 + m.frame.x1) / 2;
    const int line = px(1);

    // Foot: a flat rounded slab under the neck.
    const Box foot{cx - m.footW / 2, m.frame.y1 + m.neckH, cx + m.footW / 2, m.frame.y1 + m.neckH + m.footH};
    if (inRoundRect(x, y, foot, m.footH / 2)) {
        c = kOutline;
        if (inRoundRect(x, y, foot.inset(line), m.footH / 2 - line))
            c = mix(kStandLight, kStandDark, y - foot.y0, foot.h());
    }
    // Neck, overlapping the foot and the frame by a pixel so the outlines join.
    const Box neck{cx - m.neckW / 2, m.frame.y1 - line, cx + m.neckW / 2, foot.y0 + line};
    if (inRoundRect(x, y, neck, 0)) {
        c = kOutline;
        if (inRoundRect(x, y, Box{neck.x0 + line, neck.y0, neck.x1 - line, neck.y1 - line}, 0))
            c = mix(kStandDark, kStandLight, x - neck.x0, neck.w());
    }
    // Frame and bezel.
    if (!inRoundRect(x, y, m.frame, px(2.5)))
        return;
    c = kOutline;
    const Box bezel = m.frame.inset(line);
    if (!inRoundRect(x, y, bezel, px(1.5)))
        return;
    c = mix(kBezelTop, kBezelBottom, y - bezel.y0, bezel.h());
    // Screen, with its own thin dark rim.
    const Box rim = bezel.inset(px(1), px(1), px(2));
    if (!inRoundRect(x, y, rim, px(0.5)))
        return;
    c = kScreenRim;
    const Box screen = rim.inset(px(1) / 2 + px(1) / 4);
    if (!inRoundRect(x, y, screen, 0))
        return;
    // Diagonal shading from a light upper left to a deep lower right.
    const std::int64_t u = x - screen.x0, v = y - screen.y0;
    const std::int64_t sw = screen.w(), sh = screen.h();
    c = mix3(kScreenLight, kScreenMid, kScreenDark, u * sh + v * sw * 2, sw * sh * 3);
    // A soft reflection across the upper left of the glass.
    if (u * sh * 10 + v * sw * 18 < sw * sh * 11)
        c = tint(c, rgb(0xFFFFFF), 70);
}

// An orange cable along the axis-aligned segments a-b and b-e (an elbow with a
// rounded corner), painted only where nothing has been drawn yet so that it
// runs behind whatever is already there.
void paintCable(Rgba& c, int x, int y, int ax, int ay, int bx, int by, int ex, int ey)
{
    if (c.a != 0)
        return;
    const int half = px(2); // outline included
    const int core = px(1);
    const bool onFirst = nearSegment(x, y, ax, ay, bx, by, half);
    const bool onSecond = nearSegment(x, y, bx, by, ex, ey, half);
    if (!onFirst && !onSecond)
        return;
    c = kCableOutline;
    // Offset across the cable, negative towards the upper left (the lit side).
    std::int64_t across = 0;
    bool inCore = false;
    if (nearSegment(x, y, ax, ay, bx, by, core)) {
        inCore = true;
        across = ay == by ? y - ay : x - ax;
    } else if (nearSegment(x, y, bx, by, ex, ey, core)) {
        inCore = true;
        across = by == ey ? y - by : x - bx;
    }
    if (inCore)
        c = mix3(kCableLight, kCableMid, kCableDark, across + core, 2 * core);
}

Rgba programIconScene(int x, int y)
{
    // Three monitors stepping down from the upper left to the lower right, each
    // 18 x 13 px plus its stand; a stand ends just clear of the next monitor.
    const int w = px(18), h = px(13), step = px(14);
    auto monitorAt = [&](int x0, int y0) {
        return Monitor{Box{x0, y0, x0 + w, y0 + h}, px(4), px(2), px(8), px(3)};
    };
    const Monitor back = monitorAt(px(1), px(1));
    const Monitor middle = monitorAt(px(1) + step, px(1) + step);
    const Monitor front = monitorAt(px(1) + 2 * step, px(1) + 2 * step);

    // Each cable leaves a monitor's right side and drops into the top of the
    // next one.
    auto cableFrom = [&](Rgba& c, const Monitor& from, const Monitor& to) {
        const int y0 = from.frame.y0 + px(7);
        const int xTurn = to.frame.x1 - px(5);
        paintCable(c, x, y, from.frame.x1 - px(1), y0, xTurn, y0, xTurn, to.frame.y0 + px(1));
    };

    Rgba c = transparent;
    paintMonitor(c, x, y, back);
    cableFrom(c, back, middle);
    paintMonitor(c, x, y, middle);
    cableFrom(c, middle, front);
    paintMonitor(c, x, y, front);
    return c;
}

// ---------------------------------------------------------------------------
// The padlock

const Rgba kLockOutline = rgb(0x6B4500);
const Rgba kGoldLight = rgb(0xFFE27A);
const Rgba kGoldMid = rgb(0xF2B632);
const Rgba kGoldDark = rgb(0xC27F0E);
const Rgba kSteelLight = rgb(0xF0F3F6);
const Rgba kSteelDark = rgb(0x7D8894);
const Rgba kShackleOutline = rgb(0x3C4650);
const Rgba kKeyhole = rgb(0x4A2F00);

Rgba padlockScene(int x, int y)
{
    Rgba c = transparent;

    // Shackle: a U of round steel, its legs going down into the body.
    const int cx = px(16), cy = px(12);
    const int radius = px(7.5);  // centre line of the bar
    const int half = px(2.5);    // half the bar's thickness, outline included
    const int legBottom = px(18);
    bool onBar = false;
    std::int64_t across = 0; // offset from the bar's centre line, positive outwards
    if (y <= cy) {
        const std::int64_t dx = x - cx, dy = y - cy;
        const std::int64_t d2 = dx * dx + dy * dy;
        const std::int64_t lo = radius - half, hi = radius + half;
        onBar = d2 >= lo * lo && d2 <= hi * hi;
        across = isqrt(d2) - radius;
    } else if (y < legBottom) {
        const int lx = x < cx ? cx - radius : cx + radius;
        onBar = x >= lx - half && x <= lx + half;
        across = x < cx ? lx - x : x - lx;
    }
    if (onBar) {
        c = kShackleOutline;
        const int inner = half - px(1);
        if (across >= -inner && across <= inner) {
            // Round bar: brightest just inside the centre line, darker towards the rims.
            c = mix3(kSteelDark, kSteelLight, kSteelDark, across + inner + inner / 3, 2 * inner);
        }
    }

    // Body.
    const Box body{px(4), px(14), px(28), px(31)};
    if (inRoundRect(x, y, body, px(3))) {
        c = kLockOutline;
        const Box face = body.inset(px(1));
        if (inRoundRect(x, y, face, px(2))) {
            c = mix3(kGoldLight, kGoldMid, kGoldDark, y - face.y0, face.h());
            // Light top edge and a darker band along the bottom give it some depth.
            if (y < face.y0 + px(1))
                c = tint(c, rgb(0xFFFFFF), 110);
            if (y >= face.y1 - px(2))
                c = tint(c, kGoldDark, 140);
            // Keyhole: a round head over a tapering slot.
            const int kx = px(16), ky = px(21);
            const bool head = inCircle(x, y, kx, ky, px(2.25));
            const std::int64_t slotTop = ky, slotBottom = px(27);
            bool slot = false;
            if (y >= slotTop && y < slotBottom) {
                // Half width grows from 1 px at the top to 1.75 px at the bottom.
                const std::int64_t hw = px(1) + (y - slotTop) * (px(1.75) - px(1)) / (slotBottom - slotTop);
                slot = x >= kx - hw && x <= kx + hw;
            }
            if (head || slot)
                c = kKeyhole;
        }
    }
    return c;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: draw_icons OUTDIR\n";
        return 2;
    }
    const std::string dir = argv[1];
    const Image program = render(48, 48, programIconScene);
    const Image padlock = render(32, 32, padlockScene);
    bool ok = writeFile(dir + "/tessoral.ico", encodeIco(program));
    ok = writeFile(dir + "/padlock.ico", encodeIco(padlock)) && ok;
    if (!ok) {
        std::cerr << "draw_icons: cannot write into " << dir << "\n";
        return 1;
    }
    return 0;
}
