#pragma once

// The picture layer: the dib record exchanged by every picture routine, loading and saving
// by format code, pixel access, halftoning and drawing (PaintDib).
//
// A dib holds a bitmap header with colour table and the pixel rows, bottom row first, each
// row padded to a multiple of 4 bytes. Depths are 1, 4, 8 (palette pictures) and 24 bits
// (blue, green, red per pixel). A dib owns its blocks; freedib releases them. A record
// whose poi is null holds no picture (a failed load leaves it so).

#include <QString>

#include <array>
#include <cstdint>
#include <memory>

class QImage;

namespace pw {

class Canvas;

struct RGBQUAD {
    quint8 rgbBlue = 0;
    quint8 rgbGreen = 0;
    quint8 rgbRed = 0;
    quint8 rgbReserved = 0;
    bool operator==(const RGBQUAD&) const = default;
};

struct BITMAPINFOHEADER {
    qint32 biWidth = 0;
    qint32 biHeight = 0; // > 0: rows bottom-up
    quint16 biBitCount = 0;
    quint32 biClrUsed = 0;      // colour-table entries in use (palette pictures)
    qint32 biXPelsPerMeter = 0; // resolution the picture was made for; 0: not known
    qint32 biYPelsPerMeter = 0;
};

struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    std::array<RGBQUAD, 256> bmiColors{};
};

// A palette as the program reads it: red, green, blue, flags.
struct PALETTEENTRY {
    quint8 red = 0;
    quint8 green = 0;
    quint8 blue = 0;
    quint8 flags = 0;
};

struct LPAL {
    quint16 ver = 0x300;
    quint16 num = 0;
    std::array<PALETTEENTRY, 256> rgb0{};
};

struct dib {
    std::unique_ptr<BITMAPINFO> pmi; // header and colour table; null when empty
    std::unique_ptr<quint8[]> poih;  // the pixel block
    quint8* poi = nullptr;           // pixel rows, bottom row first; null = no picture
    qint32 bytew = 0;                // bytes per row, a multiple of 4
    bool ispal = false;              // a palette picture (1, 4 or 8 bits)
    LPAL pal;                        // the colour table for palette pictures
    // The picture file the pixels were decoded from, for writers that can embed the file as
    // it is (a JPEG in a vector PDF). Set by the layout's loader; cleared by the routines
    // that change pixels in place, and empty for pictures made in memory. The pixels are the
    // file's own only while the picture also has the file's full size (sourceWidth x
    // sourceHeight): a decoder that scaled while decoding gives fewer.
    QString sourceFile;
    qint32 sourceWidth = 0;
    qint32 sourceHeight = 0;

    dib() = default;
    dib(dib&&) noexcept = default;
    dib& operator=(dib&&) noexcept = default;
    dib(const dib&) = delete;
    dib& operator=(const dib&) = delete;
};

// Bytes per row of a picture: width * bits rounded up to whole 32-bit words.
qint64 dibRowBytes(qint64 width, int bits);

// Creates a picture with every pixel byte 0. The first `colors` colour-table entries come
// from `info` when it is given (and fill pal for palette pictures). Fails (poih and poi
// null, false) for a size that is not positive, a depth other than 1/4/8/24, or a block
// of 2^31 bytes or more.
bool newdib(dib& d, int width, int height, int bits, const BITMAPINFO* info, int colors);
// Releases a picture; the record is empty afterwards. deldib is the same.
void freedib(dib& d);
void deldib(dib& d);

// Records that the picture was drawn at `dpi` dots per inch (both directions). Writers of
// formats that carry a resolution (BMP, PCX, JPEG, PNG, TIFF) store it; dibToImage hands
// it on as the image's dots per metre. An empty picture is left alone.
void setDibResolution(dib& d, int dpi);

int dibwidth(const dib& d);
int dibheight(const dib& d);
int dibbitcount(const dib& d);

// Colour in the low 24 bits as 0x00BBGGRR; y = 0 is the top row of the picture. For 1-bit
// pictures the raw bit (0 or 1). Outside the picture: 0.
quint32 getpixel(const dib& d, int x, int y);
// For palette pictures the colour is the palette index (1-bit: 0 or not 0).
void setpixel(dib& d, int x, int y, quint32 color);

// Format codes: the 1-based index in the save filter + 2.
enum DibFormat : int {
    kFormatByContent = 0,
    kFormatBmp = 3,
    kFormatDib = 4,
    kFormatGif = 5,
    kFormatIff = 6,
    kFormatJif = 7,
    kFormatJpg = 8,
    kFormatLbm = 9,
    kFormatPcx = 10,
    kFormatRle = 11,
    kFormatTga = 12,
    kFormatTif = 13,
    kFormatPng = 14,
    kFormatWebp = 15,
};

// Loads a picture. Code 0 recognises the format by the file's content. A path written with
// "\" separators is opened with "/". Only regular files are read: a folder, device or FIFO
// fails like a missing file, and opening never waits. On any failure d is left empty (poi
// null).
void OpenDib(dib& d, const QString& path, int format);
void LoadDib(dib& d, const QString& path);
// Saves a picture in the given format; true on success. JPEG uses the quality last set.
bool SaveDib(const dib& d, const QString& path, int format);
void SetJPEGQual(int quality);
QString GetDIBOpenFilter();
QString GetDIBSaveFilter();

// Bits per pixel of the screen; tests and the command-line tool may override it.
int screenbpp();
void setScreenBppOverride(int bpp); // 0: ask the screen

// A copy reduced to a 6x6x6 colour cube with ordered dithering (8 bits), for palette
// screens; the XY form scales it to width x height first.
void DIBHalftoneDIB(dib& out, const dib& src);
void DIBHalftoneDIBXY(dib& out, const dib& src, int width, int height);

// A colour channel laid with opacity alpha (0..255) onto white paper, as every picture
// with transparency is shown.
constexpr int BlendOnWhite(int value, int alpha) {
    return (value * alpha + 255 * (255 - alpha) + 127) / 255;
}

// Conversion to and from Qt images. A 1-bit picture becomes Format_Mono, 4- and 8-bit
// ones Format_Indexed8, 24-bit ones Format_RGB32. dibFromImage keeps palette images as
// palette pictures (bits 1, 4 or 8 as given, widened where the palette needs more) and
// lays transparency onto white, in the pixels as in the colour table. A recorded
// resolution goes into the image's dots per metre.
QImage dibToImage(const dib& d);
bool dibFromImage(dib& d, const QImage& image, int paletteBits = 0);

} // namespace pw
