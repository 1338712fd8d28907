// screen.cpp: pictures of the screen, bitmaps of the program's resources, and
// 24-bit BMP files for people to look at.
#include "e2e.h"

#include <cstdio>
#include <map>

namespace {

// The bits of a bitmap as 32-bit pixels, rows from the top.
picture pixels_of(HDC dc, HBITMAP bitmap, int width, int height) {
    picture image;
    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<size_t>(width) * height);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), image.pixels.data(), &info, DIB_RGB_COLORS);
    for (unsigned &pixel : image.pixels)
        pixel &= 0xFFFFFF;
    return image;
}

// A bitmap like the screen's to draw on, selected into a memory DC.
struct canvas {
    HDC screen, memory;
    HBITMAP bitmap;
    HGDIOBJ old;
    int width, height;
};

canvas open_canvas(int width, int height) {
    canvas c;
    c.screen = GetDC(nullptr);
    c.memory = CreateCompatibleDC(c.screen);
    c.bitmap = CreateCompatibleBitmap(c.screen, width, height);
    c.old = SelectObject(c.memory, c.bitmap);
    c.width = width;
    c.height = height;
    return c;
}

// What was drawn; releases the canvas.
picture close_canvas(canvas &c) {
    SelectObject(c.memory, c.old);
    picture image = pixels_of(c.memory, c.bitmap, c.width, c.height);
    DeleteObject(c.bitmap);
    DeleteDC(c.memory);
    ReleaseDC(nullptr, c.screen);
    return image;
}

} // namespace

picture capture_screen(const RECT &area) {
    canvas c = open_canvas(area.right - area.left, area.bottom - area.top);
    BitBlt(c.memory, 0, 0, c.width, c.height, c.screen, area.left, area.top, SRCCOPY);
    return close_canvas(c);
}

picture capture_until(const RECT &area, const std::function<bool(const picture &)> &shows,
                      DWORD timeout_ms) {
    DWORD begin = GetTickCount();
    for (;;) {
        picture shot = capture_screen(area);
        if (shows(shot) || GetTickCount() - begin >= timeout_ms)
            return shot;
        Sleep(20);
    }
}

bool save_bmp(const picture &image, const std::string &path) {
    int row_size = (image.width * 3 + 3) & ~3;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(row_size * image.height);
    info.biSize = sizeof info;
    info.biWidth = image.width;
    info.biHeight = image.height; // rows from the bottom
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    std::string bytes(reinterpret_cast<const char *>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char *>(&info), sizeof info);
    for (int y = image.height - 1; y >= 0; y--) {
        std::string row(static_cast<size_t>(row_size), '\0');
        for (int x = 0; x < image.width; x++) {
            unsigned pixel = image.pixels[static_cast<size_t>(y) * image.width + x];
            row[x * 3] = static_cast<char>(pixel & 0xFF);
            row[x * 3 + 1] = static_cast<char>((pixel >> 8) & 0xFF);
            row[x * 3 + 2] = static_cast<char>((pixel >> 16) & 0xFF);
        }
        bytes += row;
    }
    return write_file(path, bytes);
}

picture resource_bitmap(const std::string &module_path, const char *name) {
    picture image;
    HMODULE module = LoadLibraryExA(module_path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HBITMAP bitmap =
        module ? static_cast<HBITMAP>(LoadImageA(module, name, IMAGE_BITMAP, 0, 0, 0)) : nullptr;
    if (!check(bitmap != nullptr, "no bitmap resource %s in %s", name, module_path.c_str())) {
        if (module)
            FreeLibrary(module);
        return image;
    }
    BITMAP size = {};
    GetObjectA(bitmap, sizeof size, &size);
    HDC screen = GetDC(nullptr);
    image = pixels_of(screen, bitmap, size.bmWidth, size.bmHeight);
    ReleaseDC(nullptr, screen);
    DeleteObject(bitmap);
    FreeLibrary(module);
    return image;
}

picture system_icon(LPCSTR id, int width, int height, unsigned background) {
    canvas c = open_canvas(width, height);
    HBRUSH brush =
        CreateSolidBrush(RGB(background >> 16, background >> 8 & 0xFF, background & 0xFF));
    RECT all = {0, 0, width, height};
    FillRect(c.memory, &all, brush);
    DeleteObject(brush);
    DrawIconEx(c.memory, 0, 0, LoadIconA(nullptr, id), width, height, 0, nullptr, DI_NORMAL);
    return close_canvas(c);
}

int mismatched_pixels(const picture &expected, const picture &shot, std::string &first) {
    if (expected.width != shot.width || expected.height != shot.height) {
        first = "sizes differ";
        return -1;
    }
    std::map<unsigned, unsigned> forward, backward;
    int count = 0;
    for (size_t i = 0; i < expected.pixels.size(); i++) {
        unsigned want = expected.pixels[i], got = shot.pixels[i];
        bool fits = forward.emplace(want, got).first->second == got;
        fits = backward.emplace(got, want).first->second == want && fits;
        if (fits)
            continue;
        if (count++ == 0) {
            char text[128];
            std::snprintf(text, sizeof text, "pixel (%d, %d) is %06X where the bitmap has %06X",
                          static_cast<int>(i % expected.width),
                          static_cast<int>(i / expected.width), got, want);
            first = text;
        }
    }
    return count;
}
