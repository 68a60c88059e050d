// GIF reading and writing with giflib's record-level calls. The reader never lets giflib
// read the whole file into its own image list: it checks the size of the first image
// against what the data can hold and decodes that image line by line into the picture.
// The image is taken at its own size, not placed on the (possibly much larger) logical
// screen, so a tiny file cannot ask for a huge blank canvas.

#include "codec_gif.h"

#include "codec_util.h"

#include <gif_lib.h>

#include <QHash>

#include <array>
#include <cstring>
#include <vector>

namespace pw::codec {

namespace {

struct Source {
    QByteArrayView data;
    qsizetype pos = 0;
};

int readFromView(GifFileType* gif, GifByteType* out, int n) {
    auto* src = static_cast<Source*>(gif->UserData);
    const qsizetype take = std::clamp<qsizetype>(src->data.size() - src->pos, 0, std::max(n, 0));
    if (take > 0)
        std::memcpy(out, src->data.data() + src->pos, std::size_t(take));
    src->pos += take;
    return int(take);
}

int writeToArray(GifFileType* gif, const GifByteType* bytes, int n) {
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(bytes), n);
    return n;
}

struct DecoderClose {
    void operator()(GifFileType* gif) const {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};
struct EncoderClose {
    void operator()(GifFileType* gif) const {
        int error = 0;
        EGifCloseFile(gif, &error);
    }
};
struct MapFree {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

// Each LZW code has at least two bits and stands for at most 4096 pixels.
constexpr qint64 kMostPixelsPerByte = 4096 * 4;

// Rows in the order an interlaced image sends them: every 8th from 0, every 8th from 4,
// every 4th from 2, every 2nd from 1.
std::vector<int> rowOrder(int height, bool interlaced) {
    std::vector<int> order;
    order.reserve(std::size_t(height));
    if (!interlaced) {
        for (int y = 0; y < height; ++y)
            order.push_back(y);
        return order;
    }
    constexpr std::array<std::array<int, 2>, 4> passes = {{{0, 8}, {4, 8}, {2, 4}, {1, 2}}};
    for (const auto& pass : passes) {
        for (int y = pass[0]; y < height; y += pass[1])
            order.push_back(y);
    }
    return order;
}

// ---- Colour reduction for 24-bit pictures with more than 256 colours ----

constexpr int kLevels = 32; // five bits per component
constexpr int kBins = kLevels * kLevels * kLevels;

int binOf(int r, int g, int b) {
    return (r >> 3) * kLevels * kLevels + (g >> 3) * kLevels + (b >> 3);
}

struct Box {
    std::array<int, 3> lo{};
    std::array<int, 3> hi{};
    quint64 pixels = 0;
};

class MedianCut {
public:
    explicit MedianCut(const dib& d) : count_(kBins), sum_(std::size_t(kBins) * 3) {
        for (int y = 0; y < dibheight(d); ++y) {
            const quint8* row = rowOf(d, y);
            for (int x = 0; x < dibwidth(d); ++x) {
                const int r = row[3 * x + 2];
                const int g = row[3 * x + 1];
                const int b = row[3 * x];
                const auto bin = std::size_t(binOf(r, g, b));
                ++count_[bin];
                sum_[3 * bin] += quint64(r);
                sum_[3 * bin + 1] += quint64(g);
                sum_[3 * bin + 2] += quint64(b);
            }
        }
    }

    // Splits the colour space into at most `colors` boxes and returns each box's mean
    // colour; lookup() then gives the box of a colour.
    std::vector<std::array<quint8, 3>> palette(int colors) {
        Box all;
        all.hi = {kLevels - 1, kLevels - 1, kLevels - 1};
        std::vector<Box> boxes{shrink(all)};
        while (int(boxes.size()) < colors) {
            int best = -1;
            quint64 bestScore = 0;
            for (int i = 0; i < int(boxes.size()); ++i) {
                const Box& b = boxes[std::size_t(i)];
                const int extent = std::max({b.hi[0] - b.lo[0], b.hi[1] - b.lo[1], b.hi[2] - b.lo[2]});
                const quint64 score = b.pixels * quint64(extent);
                if (extent > 0 && score > bestScore) {
                    best = i;
                    bestScore = score;
                }
            }
            if (best < 0)
                break;
            auto [low, high] = split(boxes[std::size_t(best)]);
            boxes[std::size_t(best)] = low;
            boxes.push_back(high);
        }
        lookup_.assign(kBins, 0);
        std::vector<std::array<quint8, 3>> result;
        for (const Box& box : boxes) {
            std::array<quint64, 3> sum{};
            forEachBin(box, [&](int bin) {
                lookup_[std::size_t(bin)] = quint8(result.size());
                for (int c = 0; c < 3; ++c)
                    sum[std::size_t(c)] += sum_[3 * std::size_t(bin) + std::size_t(c)];
            });
            const quint64 n = std::max<quint64>(box.pixels, 1);
            result.push_back(
                {quint8((sum[0] + n / 2) / n), quint8((sum[1] + n / 2) / n), quint8((sum[2] + n / 2) / n)});
        }
        return result;
    }

    quint8 lookup(int r, int g, int b) const { return lookup_[std::size_t(binOf(r, g, b))]; }

private:
    template <typename F> static void forEachBin(const Box& box, F f) {
        for (int r = box.lo[0]; r <= box.hi[0]; ++r)
            for (int g = box.lo[1]; g <= box.hi[1]; ++g)
                for (int b = box.lo[2]; b <= box.hi[2]; ++b)
                    f((r * kLevels + g) * kLevels + b);
    }

    // The box narrowed to the bins that hold pixels.
    Box shrink(const Box& box) const {
        Box out;
        out.lo = {kLevels, kLevels, kLevels};
        out.hi = {-1, -1, -1};
        forEachBin(box, [&](int bin) {
            const quint64 n = count_[std::size_t(bin)];
            if (n == 0)
                return;
            const std::array<int, 3> at = {bin / (kLevels * kLevels), (bin / kLevels) % kLevels,
                                           bin % kLevels};
            for (std::size_t c = 0; c < 3; ++c) {
                out.lo[c] = std::min(out.lo[c], at[c]);
                out.hi[c] = std::max(out.hi[c], at[c]);
            }
            out.pixels += n;
        });
        if (out.pixels == 0)
            return box;
        return out;
    }

    // Cuts the box across its longest side where half of its pixels lie on each side.
    std::pair<Box, Box> split(const Box& box) const {
        std::size_t axis = 0;
        for (std::size_t c = 1; c < 3; ++c) {
            if (box.hi[c] - box.lo[c] > box.hi[axis] - box.lo[axis])
                axis = c;
        }
        std::array<quint64, kLevels> slice{};
        forEachBin(box, [&](int bin) {
            const std::array<int, 3> at = {bin / (kLevels * kLevels), (bin / kLevels) % kLevels,
                                           bin % kLevels};
            slice[std::size_t(at[axis])] += count_[std::size_t(bin)];
        });
        int cut = box.lo[axis];
        quint64 below = slice[std::size_t(cut)];
        while (cut + 1 < box.hi[axis] && below * 2 < box.pixels) {
            ++cut;
            below += slice[std::size_t(cut)];
        }
        Box low = box;
        Box high = box;
        low.hi[axis] = cut;
        high.lo[axis] = cut + 1;
        return {shrink(low), shrink(high)};
    }

    std::vector<quint64> count_;
    std::vector<quint64> sum_;
    std::vector<quint8> lookup_;
};

} // namespace

bool looksLikeGif(QByteArrayView data) {
    return data.startsWith("GIF87a") || data.startsWith("GIF89a");
}

bool readGif(dib& d, QByteArrayView data) {
    freedib(d);
    if (!looksLikeGif(data))
        return false;
    Source source{data};
    int error = 0;
    std::unique_ptr<GifFileType, DecoderClose> gif(DGifOpen(&source, readFromView, &error));
    if (!gif)
        return false;
    int transparent = -1;
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif.get(), &type) == GIF_ERROR)
            return false;
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif.get(), &code, &block) == GIF_ERROR)
                return false;
            if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4)
                transparent = (block[1] & 1) ? block[4] : -1;
            while (block) {
                if (DGifGetExtensionNext(gif.get(), &block) == GIF_ERROR)
                    return false;
            }
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE)
            return false; // the end of the file, or something that is not GIF
        break;
    }
    if (DGifGetImageDesc(gif.get()) == GIF_ERROR)
        return false;
    const GifImageDesc& desc = gif->Image;
    const int w = desc.Width;
    const int h = desc.Height;
    if (!sizeAllowed(w, h) || qint64(w) > kMostPixelsPerByte * data.size() / h)
        return false;

    BITMAPINFO info;
    const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
    if (map && map->Colors) {
        const int n = std::clamp(map->ColorCount, 0, 256);
        for (int i = 0; i < n; ++i)
            setColor(info, i, map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue);
    } else {
        for (int i = 0; i < 256; ++i)
            setColor(info, i, i, i, i);
    }
    if (transparent >= 0)
        setColor(info, transparent, 255, 255, 255);
    if (!newdib(d, w, h, 8, &info, 256))
        return false;
    for (int y : rowOrder(h, desc.Interlace)) {
        if (DGifGetLine(gif.get(), rowOf(d, y), w) == GIF_ERROR) {
            freedib(d);
            return false;
        }
    }
    return true;
}

QByteArray writeGif(const dib& d) {
    const int w = dibwidth(d);
    const int h = dibheight(d);
    const int depth = dibbitcount(d);
    if (!d.poi || w > 65535 || h > 65535)
        return {};

    // The palette and every pixel's index into it, top row first.
    std::vector<GifColorType> colors;
    std::vector<quint8> indices(std::size_t(w) * std::size_t(h));
    if (depth <= 8) {
        for (int i = 0; i < paletteSize(d); ++i) {
            const PALETTEENTRY p = paletteAt(d, i);
            colors.push_back({p.red, p.green, p.blue});
        }
        for (int y = 0; y < h; ++y) {
            const quint8* row = rowOf(d, y);
            for (int x = 0; x < w; ++x)
                indices[std::size_t(y) * std::size_t(w) + std::size_t(x)] = quint8(indexAt(row, x, depth));
        }
    } else {
        // Exactly the picture's colours when there are at most 256 of them.
        QHash<quint32, quint8> exact;
        bool tooMany = false;
        for (int y = 0; y < h && !tooMany; ++y) {
            const quint8* row = rowOf(d, y);
            for (int x = 0; x < w; ++x) {
                const quint32 c = quint32(row[3 * x + 2]) << 16 | quint32(row[3 * x + 1]) << 8 | row[3 * x];
                auto it = exact.constFind(c);
                if (it == exact.cend()) {
                    if (exact.size() == 256) {
                        tooMany = true;
                        break;
                    }
                    it = exact.insert(c, quint8(exact.size()));
                    colors.push_back({row[3 * x + 2], row[3 * x + 1], row[3 * x]});
                }
                indices[std::size_t(y) * std::size_t(w) + std::size_t(x)] = *it;
            }
        }
        if (tooMany) {
            MedianCut cut(d);
            colors.clear();
            for (const auto& c : cut.palette(256))
                colors.push_back({c[0], c[1], c[2]});
            for (int y = 0; y < h; ++y) {
                const quint8* row = rowOf(d, y);
                for (int x = 0; x < w; ++x)
                    indices[std::size_t(y) * std::size_t(w) + std::size_t(x)] =
                        cut.lookup(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
            }
        }
    }
    int tableSize = 2;
    while (tableSize < int(colors.size()))
        tableSize *= 2;
    colors.resize(std::size_t(tableSize), GifColorType{0, 0, 0});
    std::unique_ptr<ColorMapObject, MapFree> map(GifMakeMapObject(tableSize, colors.data()));
    if (!map)
        return {};

    QByteArray out;
    int error = 0;
    std::unique_ptr<GifFileType, EncoderClose> gif(EGifOpen(&out, writeToArray, &error));
    if (!gif)
        return {};
    if (EGifPutScreenDesc(gif.get(), w, h, 8, 0, map.get()) == GIF_ERROR ||
        EGifPutImageDesc(gif.get(), 0, 0, w, h, false, nullptr) == GIF_ERROR)
        return {};
    for (int y = 0; y < h; ++y) {
        if (EGifPutLine(gif.get(), indices.data() + std::size_t(y) * std::size_t(w), w) == GIF_ERROR)
            return {};
    }
    if (EGifCloseFile(gif.release(), &error) == GIF_ERROR)
        return {};
    return out;
}

} // namespace pw::codec
