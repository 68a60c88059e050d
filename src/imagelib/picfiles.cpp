// Loading and saving pictures by format code. PCX, IFF, Targa, GIF and bitmaps (apart
// from reading 16- and 32-bit bitmaps) are the program's own codecs (codec_*.cpp); JPEG,
// PNG, TIFF and WebP are read and written through Qt's image readers and writers. Every
// decoder checks the picture size before it allocates, and every file is recognised by
// its content, never by its name.

#include "picfiles.h"

#include "codec_bmp.h"
#include "codec_checks.h"
#include "codec_gif.h"
#include "codec_iff.h"
#include "codec_pcx.h"
#include "codec_tga.h"
#include "codec_util.h"
#include "model/picturefile.h"
#include "model/regularfile.h"
#include "model/savefile.h"

#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QScreen>

#include <array>
#include <atomic>
#include <cmath>
#include <cstring>
#include <limits>
#include <mutex>

namespace pw {

namespace {

// 100 megapixels: a picture of 20 x 20 cm printed at 1270 dpi, far more than any page
// needs, and 300 MB as a 24-bit picture.
constexpr qint64 kDefaultPixelLimit = 100'000'000;
constexpr qint64 kMostFileBytes = qint64(1) << 32;
constexpr qint64 kMostDibBytes = qint64(1) << 31; // newdib's own limit

std::atomic<qint64> g_pixelLimit{kDefaultPixelLimit};
std::atomic<int> g_jpegQuality{75};
std::atomic<int> g_screenBpp{0};
// Raised on one thread while it reads back the program's own page pictures, which may be
// larger than any catalogue picture; 0 when not raised.
thread_local qint64 t_pixelLimitOverride = 0;

class RaisedPixelLimit {
public:
    explicit RaisedPixelLimit(qint64 pixels) : m_was(t_pixelLimitOverride) { t_pixelLimitOverride = pixels; }
    ~RaisedPixelLimit() { t_pixelLimitOverride = m_was; }
    RaisedPixelLimit(const RaisedPixelLimit&) = delete;
    RaisedPixelLimit& operator=(const RaisedPixelLimit&) = delete;

private:
    qint64 m_was;
};

struct FileType {
    int code;
    const char* extension;
    const char* description;
    const char* otherExtensions; // also offered when opening
};

// In format-code order: code = index + 3.
constexpr std::array<FileType, 13> kFileTypes = {{
    {kFormatBmp, "bmp", "Windows-Bitmap", ""},
    {kFormatDib, "dib", "Windows-Bitmap", ""},
    {kFormatGif, "gif", "GIF-Bild", ""},
    {kFormatIff, "iff", "IFF-Bild", ""},
    {kFormatJif, "jif", "JPEG-Bild", ""},
    {kFormatJpg, "jpg", "JPEG-Bild", "jpeg"},
    {kFormatLbm, "lbm", "IFF-Bild", ""},
    {kFormatPcx, "pcx", "PCX-Bild", ""},
    {kFormatRle, "rle", "Windows-Bitmap, RLE-komprimiert", ""},
    {kFormatTga, "tga", "Targa-Bild", ""},
    {kFormatTif, "tif", "TIFF-Bild", "tiff"},
    {kFormatPng, "png", "PNG-Bild", ""},
    {kFormatWebp, "webp", "WebP-Bild", ""},
}};

constexpr bool inCodeOrder() {
    for (std::size_t i = 0; i < kFileTypes.size(); ++i) {
        if (kFileTypes[i].code != int(i) + 3)
            return false;
    }
    return true;
}
static_assert(inCodeOrder(), "the filters must list the formats in code order");

enum class Kind { None, Bmp, Gif, Iff, Jpeg, Pcx, Tga, Tiff, Png, Webp };

Kind kindOf(int format) {
    switch (format) {
    case kFormatBmp:
    case kFormatDib:
    case kFormatRle:
        return Kind::Bmp;
    case kFormatGif:
        return Kind::Gif;
    case kFormatIff:
    case kFormatLbm:
        return Kind::Iff;
    case kFormatJif:
    case kFormatJpg:
        return Kind::Jpeg;
    case kFormatPcx:
        return Kind::Pcx;
    case kFormatTga:
        return Kind::Tga;
    case kFormatTif:
        return Kind::Tiff;
    case kFormatPng:
        return Kind::Png;
    case kFormatWebp:
        return Kind::Webp;
    default:
        return Kind::None;
    }
}

// ---- Qt images to dibs ----

bool imageToDib(dib& d, QImage image) {
    switch (image.format()) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
    case QImage::Format_Indexed8:
        return dibFromImage(d, image, image.format() == QImage::Format_Indexed8 ? 8 : 1);
    case QImage::Format_Grayscale8:
    case QImage::Format_Grayscale16: {
        const QImage gray = image.convertToFormat(QImage::Format_Grayscale8);
        if (gray.isNull())
            return false;
        // The grey bytes read as palette indices into a grey ramp, without a copy.
        QImage indexed(gray.constBits(), gray.width(), gray.height(), gray.bytesPerLine(),
                       QImage::Format_Indexed8);
        QList<QRgb> ramp(256);
        for (int i = 0; i < 256; ++i)
            ramp[i] = qRgb(i, i, i);
        indexed.setColorTable(ramp);
        return dibFromImage(d, indexed, 8);
    }
    default:
        break;
    }
    return dibFromImage(d, image, 0);
}

// Qt's limit for one image buffer, in megabytes: the largest 24-bit picture newdib can
// hold, decoded at four bytes per pixel.
int qtAllocationLimitMb() {
    const qint64 pixels = std::min(codec::pixelLimit(), kMostDibBytes / 3);
    return int(std::min<qint64>(pixels * 4 / (1 << 20) + 1, std::numeric_limits<int>::max()));
}

// Gives Qt's readers qtAllocationLimitMb. The limit is one setting for the whole process,
// read by every reader: it is set only when it changes, so pictures decoding on several
// threads at once do not write it under each other's readers.
void applyQtAllocationLimit() {
    static std::mutex guard;
    static int applied = -1;
    const int limit = qtAllocationLimitMb();
    const std::lock_guard lock(guard);
    if (applied != limit) {
        QImageReader::setAllocationLimit(limit);
        applied = limit;
    }
}

// The size to ask a JPEG decoder for so that both sides stay at least `atLeast` pixels:
// invalid (decode in full) unless that is at most half the picture's size each way.
//
// The decoder scales by m/8 (m from 1 to 8) while it decodes, choosing the smallest m
// that reaches the size asked for, and smooths the rest of the way down in a pass of its
// own. Where its own m/8 size is at most a quarter larger than the size needed, that size
// is asked for instead: the pass costs a fifth of the decoding, the few pixels more cost
// nothing, and drawing takes them down as it scales the picture anyway. Further above
// (the small pictures of coarse pages) the smoothing stays, as drawing does not smooth.
QSize reducedSize(QSize size, int atLeast) {
    if (atLeast <= 0 || !size.isValid() || size.isEmpty())
        return {};
    const double f = std::max(double(atLeast) / size.width(), double(atLeast) / size.height());
    if (f > 0.5)
        return {};
    const QSize needed(std::max(1, int(std::ceil(size.width() * f))),
                       std::max(1, int(std::ceil(size.height() * f))));
    const auto eighths = [&](QSize asked) {
        return int(std::ceil(
            8 / std::min(double(size.width()) / asked.width(), double(size.height()) / asked.height())));
    };
    const int m = eighths(needed);
    const QSize own(int(std::ceil(size.width() * m / 8.0)), int(std::ceil(size.height() * m / 8.0)));
    if (m >= 1 && m < 8 && eighths(own) == m && own.width() * 4 <= needed.width() * 5)
        return own;
    return needed;
}

bool decodeWithQt(dib& d, QByteArrayView data, const char* format, int atLeast, QSize* fullSize) {
    QByteArray bytes = QByteArray::fromRawData(data.data(), data.size());
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return false;
    QImageReader reader(&buffer, format);
    reader.setDecideFormatFromContent(false);
    reader.setAutoTransform(true); // photographs taken upright on their side
    applyQtAllocationLimit();
    const QSize size = reader.size();
    if (size.isValid() && !codec::sizeAllowed(size.width(), size.height()))
        return false;
    // JPEG decoders scale by 1/2, 1/4 or 1/8 while they decode, which is far quicker than
    // decoding in full; the picture's own size is still the one reported.
    QSize scaled;
    bool turned = false;
    if (std::strcmp(format, "jpeg") == 0) {
        scaled = reducedSize(size, atLeast);
        if (scaled.isValid()) {
            turned = reader.transformation() & QImageIOHandler::TransformationRotate90;
            reader.setScaledSize(scaled);
        }
    }
    QImage image;
    if (!reader.read(&image) || image.isNull() || !codec::sizeAllowed(image.width(), image.height()))
        return false;
    QSize full = image.size();
    if (scaled.isValid()) {
        if (image.size() != (turned ? scaled.transposed() : scaled))
            return false;
        full = turned ? size.transposed() : size;
    }
    if (!imageToDib(d, std::move(image)))
        return false;
    if (fullSize)
        *fullSize = full;
    return true;
}

// atLeast > 0 lets a JPEG decode smaller (see reducedSize); fullSize receives the size
// the picture has in full when it is given.
bool decodeAs(dib& d, QByteArrayView data, Kind kind, int atLeast = 0, QSize* fullSize = nullptr) {
    switch (kind) {
    case Kind::Bmp: {
        codec::BmpHeader header;
        if (!codec::readBmpHeader(data, header))
            return false;
        // Run-length and palette files are decoded here: Qt leaves the pixels that the
        // run-length coding skips over undefined, widens 4-bit files to 8 bits and may
        // reorder a two-colour table. Qt reads 16- and 32-bit files.
        if (header.compression == 1 || header.compression == 2)
            return codec::readBmpRle(d, data, header);
        if (header.compression == 0 && header.bits != 16 && header.bits != 32)
            return codec::readBmpPlain(d, data, header);
        return decodeWithQt(d, data, "bmp", 0, fullSize);
    }
    case Kind::Gif:
        return codec::readGif(d, data);
    case Kind::Iff:
        return codec::readIff(d, data);
    case Kind::Jpeg:
        return codec::jpegReachesEnd(data) && decodeWithQt(d, data, "jpeg", atLeast, fullSize);
    case Kind::Pcx:
        return codec::readPcx(d, data);
    case Kind::Tga:
        return codec::readTga(d, data);
    case Kind::Tiff:
        return codec::tiffComplete(data) && decodeWithQt(d, data, "tiff", 0, fullSize);
    case Kind::Png:
        return codec::pngReachesEnd(data) && decodeWithQt(d, data, "png", 0, fullSize);
    case Kind::Webp:
        return codec::webpComplete(data) && decodeWithQt(d, data, "webp", 0, fullSize);
    case Kind::None:
        break;
    }
    return false;
}

bool decodeByContent(dib& d, QByteArrayView data, int atLeast = 0, QSize* fullSize = nullptr) {
    struct Probe {
        bool (*matches)(QByteArrayView);
        Kind kind;
    };
    static constexpr std::array<Probe, 8> probes = {{
        {codec::looksLikePcx, Kind::Pcx},
        {codec::looksLikeIff, Kind::Iff},
        {codec::looksLikeBmp, Kind::Bmp},
        {codec::looksLikeGif, Kind::Gif},
        {codec::looksLikeJpeg, Kind::Jpeg},
        {codec::looksLikePng, Kind::Png},
        {codec::looksLikeTiff, Kind::Tiff},
        {codec::looksLikeWebp, Kind::Webp},
    }};
    for (const Probe& probe : probes) {
        if (probe.matches(data) && decodeAs(d, data, probe.kind, atLeast, fullSize))
            return true;
    }
    // Targa has no signature: its reader accepts only a header whose every field is
    // valid, so it comes last.
    return decodeAs(d, data, Kind::Tga);
}

// ---- Encoding through Qt ----

QByteArray encodeWithQt(const QImage& image, const char* format, int quality, int compression) {
    if (image.isNull())
        return {};
    QByteArray out;
    QBuffer buffer(&out);
    if (!buffer.open(QIODevice::WriteOnly))
        return {};
    QImageWriter writer(&buffer, format);
    if (quality >= 0)
        writer.setQuality(quality);
    if (compression >= 0)
        writer.setCompression(compression);
    if (!writer.write(image))
        return {};
    buffer.close();
    return out;
}

// A two-colour palette of black and white, in either order.
bool blackAndWhite(const dib& d) {
    const auto level = [&d](int i) -> int {
        const PALETTEENTRY p = codec::paletteAt(d, i);
        return p.red == p.green && p.green == p.blue && (p.red == 0 || p.red == 255) ? p.red : -1;
    };
    return level(0) >= 0 && level(1) >= 0 && level(0) != level(1);
}

QString filterEntry(const QString& description, const QStringList& patterns) {
    const QString joined = patterns.join(u';');
    return description + QStringLiteral(" (") + joined + QStringLiteral(")|") + joined;
}

QString normalisedPath(const QString& path) {
    QString p = path;
    p.replace(u'\\', u'/');
    return p;
}

} // namespace

namespace codec {

qint64 pixelLimit() {
    if (t_pixelLimitOverride > 0)
        return t_pixelLimitOverride;
    return g_pixelLimit.load(std::memory_order_relaxed);
}

} // namespace codec

void setDecodePixelLimit(qint64 pixels) {
    g_pixelLimit.store(pixels > 0 ? pixels : kDefaultPixelLimit, std::memory_order_relaxed);
}

bool decodeDib(dib& d, QByteArrayView data, int format) {
    freedib(d);
    const bool ok = format == kFormatByContent ? decodeByContent(d, data) : decodeAs(d, data, kindOf(format));
    if (!ok || !d.poi) {
        freedib(d);
        return false;
    }
    return true;
}

QByteArray encodeDib(const dib& d, int format) {
    if (!d.poi || !d.pmi)
        return {};
    switch (kindOf(format)) {
    case Kind::Bmp:
        // An .rle file is run-length coded when the depth allows it (RLE8 for 8-bit, RLE4
        // for 4-bit pictures); 1- and 24-bit pictures are written as ordinary bitmaps
        // under the .rle name rather than reduced to another depth.
        return codec::writeBmp(d, format == kFormatRle);
    case Kind::Gif:
        return codec::writeGif(d);
    case Kind::Iff:
        return codec::writeIff(d);
    case Kind::Jpeg:
        return encodeWithQt(dibToImage(d), "jpeg", g_jpegQuality.load(std::memory_order_relaxed), -1);
    case Kind::Pcx:
        return codec::writePcx(d);
    case Kind::Tga:
        return codec::writeTga(d);
    case Kind::Tiff: {
        // Qt writes two-colour TIFF files as black and white; other two-colour palettes go
        // out as 8-bit palette files so that their colours survive.
        QImage image = dibToImage(d);
        if (dibbitcount(d) == 1 && !blackAndWhite(d))
            image = image.convertToFormat(QImage::Format_Indexed8);
        return encodeWithQt(image, "tiff", -1, 1); // LZW
    }
    case Kind::Png:
        return encodeWithQt(dibToImage(d), "png", -1, -1);
    case Kind::Webp:
        return encodeWithQt(dibToImage(d), "webp", -1, -1);
    case Kind::None:
        break;
    }
    return {};
}

namespace {

// Reads a picture file into memory: regular files only, at most kMostFileBytes.
PictureFileProblem readPictureFile(const QString& path, QByteArray& data) {
    RegularFile file;
    const PictureFileProblem problem = file.open(normalisedPath(path));
    if (problem != PictureFileProblem::None)
        return problem;
    if (file.size() > kMostFileBytes)
        return PictureFileProblem::Unreadable;
    bool ok = true;
    data = file.readAt(0, file.size(), &ok);
    return ok ? PictureFileProblem::None : PictureFileProblem::Missing;
}

} // namespace

void OpenDib(dib& d, const QString& path, int format) {
    freedib(d);
    QByteArray data;
    if (readPictureFile(path, data) == PictureFileProblem::None)
        decodeDib(d, data, format);
}

PictureLoadResult loadPictureForDrawing(dib& d, const QString& path, int atLeast) {
    freedib(d);
    PictureLoadResult result;
    QByteArray data;
    result.problem = readPictureFile(path, data);
    if (result.problem != PictureFileProblem::None)
        return result;
    QSize full; // set only by the decoders that may decode smaller
    if (!decodeByContent(d, data, atLeast, &full) || !d.poi) {
        freedib(d);
        result.problem = PictureFileProblem::Unreadable;
        return result;
    }
    result.fullSize = full.isValid() ? full : QSize(dibwidth(d), dibheight(d));
    return result;
}

namespace {

// The ending every complete PNG file has: an empty IEND chunk with its checksum.
constexpr char kPngEnd[] = "\0\0\0\0IEND\xAE\x42\x60\x82";

int be16At(QByteArrayView d, qsizetype at) {
    return (quint8(d[at]) << 8) | quint8(d[at + 1]);
}

// Whether an Exif block (an APP1 segment's body) turns the picture by a quarter: its
// orientation is 5 to 8, which Qt's reader applies by swapping the sides.
bool exifTurnsSideways(QByteArrayView exif) {
    if (exif.size() < 14 || exif.first(6) != QByteArrayView("Exif\0\0", 6))
        return false;
    const QByteArrayView tiff = exif.sliced(6);
    const bool little = tiff.first(2) == QByteArrayView("II");
    if (!little && tiff.first(2) != QByteArrayView("MM"))
        return false;
    const auto u16 = [&](qsizetype at) -> int {
        return little ? quint8(tiff[at]) | (quint8(tiff[at + 1]) << 8) : be16At(tiff, at);
    };
    const auto u32 = [&](qsizetype at) -> qint64 {
        return little ? qint64(u16(at)) | (qint64(u16(at + 2)) << 16) : (qint64(u16(at)) << 16) | u16(at + 2);
    };
    const qint64 ifd = u32(4);
    if (ifd < 8 || ifd + 2 > tiff.size())
        return false;
    const int entries = u16(ifd);
    for (int i = 0; i < entries && ifd + 2 + 12 * (i + 1) <= tiff.size(); ++i) {
        const qint64 entry = ifd + 2 + 12 * i;
        if (u16(entry) == 0x0112 && u16(entry + 2) == 3) {
            const int orientation = u16(entry + 8);
            return orientation >= 5 && orientation <= 8;
        }
    }
    return false;
}

// The size a JPEG's frame header gives, turned as its Exif orientation turns it; invalid
// when `head`, the file's first bytes, does not reach the frame header or holds anything
// unusual before it (the file is then measured by Qt's reader).
QSize jpegFrameSize(QByteArrayView head) {
    qsizetype pos = 2;
    bool sideways = false;
    while (pos + 4 <= head.size()) {
        if (quint8(head[pos]) != 0xFF)
            return {};
        const quint8 marker = quint8(head[pos + 1]);
        if (marker == 0xFF) { // fill byte
            ++pos;
            continue;
        }
        const int length = be16At(head, pos + 2);
        const qsizetype body = pos + 4;
        if (length < 2 || marker == 0xDA || marker == 0xD9 || marker == 0xD8 || marker < 0xC0 ||
            (marker >= 0xD0 && marker <= 0xD7))
            return {};
        const bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (body + 5 > head.size())
                return {};
            const int height = be16At(head, body + 1);
            const int width = be16At(head, body + 3);
            if (width == 0 || height == 0)
                return {}; // the height comes later in the file
            return sideways ? QSize(height, width) : QSize(width, height);
        }
        if (body + length - 2 > head.size())
            return {};
        if (marker == 0xE1 && exifTurnsSideways(head.sliced(body, length - 2)))
            sideways = true;
        pos = body + length - 2;
    }
    return {};
}

// The size Qt's reader gives from a file's first bytes, turned as it turns the picture;
// invalid when they do not hold it.
QSize qtHeaderSize(const QByteArray& head, const char* format) {
    QByteArray bytes = head;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return {};
    QImageReader reader(&buffer, format);
    reader.setDecideFormatFromContent(false);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (!size.isValid())
        return {};
    return (reader.transformation() & QImageIOHandler::TransformationRotate90) ? size.transposed() : size;
}

// The size from the header of an open JPEG or PNG file; invalid when the file is another
// kind, does not end as its kind ends, or its header cannot be read.
QSize headerSize(const RegularFile& file) {
    // Most photos state their size in their first kilobytes; a long Exif block (with a
    // thumbnail) may push it up to 64 KB further.
    constexpr qint64 kFirstRead = 4 * 1024;
    constexpr qint64 kLongestHead = 72 * 1024;
    QByteArray head = file.readAt(0, kFirstRead);
    const bool jpeg = codec::looksLikeJpeg(head);
    if (!jpeg && !codec::looksLikePng(head))
        return {};
    // The end marker, or IEND, is the file's last bytes in all but unusual files (such
    // as a JPEG with bytes after its end), which are decoded instead.
    const qint64 tail = jpeg ? 2 : qint64(sizeof kPngEnd) - 1;
    if (file.size() < tail + 16)
        return {};
    const QByteArray end = file.readAt(file.size() - tail, tail);
    if (end != (jpeg ? QByteArray("\xFF\xD9") : QByteArray(kPngEnd, tail)))
        return {};
    const auto fromHead = [&] { return jpeg ? jpegFrameSize(head) : qtHeaderSize(head, "png"); };
    QSize size = fromHead();
    if (!size.isValid() && file.size() > head.size()) {
        head = file.readAt(0, kLongestHead);
        size = fromHead();
    }
    if (!size.isValid() && jpeg)
        size = qtHeaderSize(head, "jpeg");
    return size;
}

} // namespace

PictureLoadResult readPictureSize(const QString& path, int atLeast) {
    PictureLoadResult result;
    {
        RegularFile file;
        result.problem = file.open(normalisedPath(path));
        if (result.problem != PictureFileProblem::None)
            return result;
        if (file.size() > kMostFileBytes) {
            result.problem = PictureFileProblem::Unreadable;
            return result;
        }
        const QSize size = headerSize(file);
        if (size.isValid()) {
            if (!codec::sizeAllowed(size.width(), size.height()))
                result.problem = PictureFileProblem::Unreadable;
            else
                result.fullSize = size;
            return result;
        }
    }
    dib decoded;
    return loadPictureForDrawing(decoded, path, atLeast);
}

void LoadDib(dib& d, const QString& path) {
    OpenDib(d, path, kFormatByContent);
}

void setImageResolution(QImage& image, int dpi) {
    if (dpi <= 0)
        return;
    const int perMeter = int(std::lround(dpi / 0.0254));
    image.setDotsPerMeterX(perMeter);
    image.setDotsPerMeterY(perMeter);
}

bool SavePageImage(const QImage& page, int dpi, const QString& path, int format) {
    const Kind kind = kindOf(format);
    const bool byQt = kind == Kind::Jpeg || kind == Kind::Png || kind == Kind::Tiff || kind == Kind::Webp;
    if (!byQt || page.format() != QImage::Format_RGB32 || page.isNull()) {
        dib picture;
        if (!dibFromImage(picture, page))
            return false;
        setDibResolution(picture, dpi);
        return SaveDib(picture, path, format);
    }
    QImage image = page; // shared: copied only when the resolution has to be set
    if (dpi > 0 && image.dotsPerMeterX() != int(std::lround(dpi / 0.0254)))
        setImageResolution(image, dpi);
    // The same writers and settings as encodeDib gives the picture's image.
    QByteArray data;
    switch (kind) {
    case Kind::Jpeg:
        data = encodeWithQt(image, "jpeg", g_jpegQuality.load(std::memory_order_relaxed), -1);
        break;
    case Kind::Tiff:
        data = encodeWithQt(image, "tiff", -1, 1);
        break;
    default:
        data = encodeWithQt(image, kind == Kind::Png ? "png" : "webp", -1, -1);
        break;
    }
    return !data.isEmpty() && WriteFileAtomically(normalisedPath(path), data);
}

bool SaveDib(const dib& d, const QString& path, int format) {
    const QByteArray data = encodeDib(d, format);
    if (data.isEmpty())
        return false;
    return WriteFileAtomically(normalisedPath(path), data);
}

QString FormatExtension(int format) {
    for (const FileType& type : kFileTypes) {
        if (type.code == format)
            return QLatin1String(type.extension);
    }
    return {};
}

int FormatForExtension(const QString& extension) {
    for (const FileType& type : kFileTypes) {
        if (extension.compare(QLatin1String(type.extension), Qt::CaseInsensitive) == 0 ||
            (*type.otherExtensions &&
             extension.compare(QLatin1String(type.otherExtensions), Qt::CaseInsensitive) == 0))
            return type.code;
    }
    return kFormatByContent;
}

bool SaveTemporaryDib(const dib& d, const QString& path) {
    const QByteArray header = codec::bmpPlainHeader(d);
    if (header.isEmpty())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const qint64 pixels = qint64(d.bytew) * dibheight(d);
    const bool ok = file.write(header) == header.size() &&
                    file.write(reinterpret_cast<const char*>(d.poi), pixels) == pixels && file.flush();
    file.close();
    if (!ok)
        QFile::remove(path);
    return ok;
}

void OpenTemporaryDib(dib& d, const QString& path) {
    freedib(d);
    // A page picture is as large as the page at the export's resolution; only newdib's
    // own limit applies to it.
    const RaisedPixelLimit raised(kMostDibBytes);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMostFileBytes)
        return;
    if (const uchar* mapped = file.map(0, file.size())) {
        decodeDib(d, QByteArrayView(mapped, file.size()), kFormatBmp);
        file.unmap(const_cast<uchar*>(mapped));
        return;
    }
    decodeDib(d, file.readAll(), kFormatBmp);
}

void SetJPEGQual(int quality) {
    g_jpegQuality.store(std::clamp(quality, 0, 100), std::memory_order_relaxed);
}

QString GetDIBOpenFilter() {
    QStringList all;
    QStringList entries;
    for (const FileType& type : kFileTypes) {
        QStringList patterns{QStringLiteral("*.") + QLatin1String(type.extension)};
        if (*type.otherExtensions)
            patterns << QStringLiteral("*.") + QLatin1String(type.otherExtensions);
        all << patterns;
        entries << filterEntry(QString::fromUtf8(type.description), patterns);
    }
    entries.prepend(filterEntry(QStringLiteral("Alle Bilder"), all));
    return entries.join(u'|');
}

QString GetDIBSaveFilter() {
    QStringList entries;
    for (const FileType& type : kFileTypes)
        entries << filterEntry(QString::fromUtf8(type.description),
                               {QStringLiteral("*.") + QLatin1String(type.extension)});
    return entries.join(u'|');
}

int screenbpp() {
    const int forced = g_screenBpp.load(std::memory_order_relaxed);
    if (forced > 0)
        return forced;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            return screen->depth();
    }
    return 24;
}

void setScreenBppOverride(int bpp) {
    g_screenBpp.store(std::max(bpp, 0), std::memory_order_relaxed);
}

} // namespace pw
