#include "vectorpdf.h"

#include "model/error.h"
#include "output/PDFWriterCanvas.h"
#include "output/zlibstream.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFontMetrics>
#include <QImage>
#include <QSaveFile>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>

namespace pw {

namespace {

// Content streams are small and written once: the hardest level. Pictures at zlib's default.
constexpr int kContentLevel = 9;
constexpr int kPictureLevel = 6;
// Pictures are kept at up to this resolution at their placed size.
constexpr double kPictureDpi = 300;
// A picture is reduced only when it has this many times the pixels the resolution needs.
constexpr double kReduceAbove = 1.5;
// Colour components and positions are written to this many decimals.
constexpr double kColourSteps = 10000;
constexpr double kPositionSteps = 1000;

QByteArray num(double v, double steps = kPositionSteps) {
    return PdfNumber(std::round(v * steps) / steps).toLatin1();
}
QByteArray num(qint64 v) {
    return QByteArray::number(v);
}
QByteArray ref(int object) {
    return num(qint64(object)) + " 0 R";
}
QByteArray hex4(quint32 v) {
    return QByteArray::number(v, 16).rightJustified(4, '0').toUpper();
}

// A JPEG file's pixel size and colour components, from its frame header; false for any
// other data.
bool jpegFrame(const QByteArray& data, int& width, int& height, int& components) {
    const auto byte = [&](qsizetype at) { return at < data.size() ? int(quint8(data[at])) : -1; };
    if (byte(0) != 0xFF || byte(1) != 0xD8)
        return false;
    qsizetype at = 2;
    while (at + 4 <= data.size()) {
        if (byte(at) != 0xFF)
            return false;
        const int marker = byte(at + 1);
        if (marker == 0xFF) { // fill byte
            ++at;
            continue;
        }
        const int length = (byte(at + 2) << 8) | byte(at + 3);
        const bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (at + 10 > data.size())
                return false;
            height = (byte(at + 5) << 8) | byte(at + 6);
            width = (byte(at + 7) << 8) | byte(at + 8);
            components = byte(at + 9);
            return width > 0 && height > 0;
        }
        if (marker == 0xD9 || marker == 0xDA || length < 2)
            return false;
        at += 2 + length;
    }
    return false;
}

} // namespace

// ---- The document

VectorPdfDocument::VectorPdfDocument(const QString& file, const VectorPdfOptions& options)
    : m_fileName(file), m_options(options), m_cmyk(options.programFolder) {
    auto saveFile = std::make_unique<QSaveFile>(file);
    if (!saveFile->open(QIODevice::WriteOnly))
        throw Error(49, file);
    m_file = std::move(saveFile);
    m_offsets.push_back(0); // object 0 is the head of the free list
    write("%PDF-1.7\n%\xE2\xE3\xCF\xD3\n");
    newObject(); // 1: the catalog
    m_pagesObject = newObject();
    m_resourcesObject = newObject();
}

VectorPdfDocument::~VectorPdfDocument() {
    abort();
}

void VectorPdfDocument::abort() {
    if (m_finished || !m_file)
        return;
    if (auto* saveFile = dynamic_cast<QSaveFile*>(m_file.get()))
        saveFile->cancelWriting();
    m_file.reset();
}

int VectorPdfDocument::newObject() {
    m_offsets.push_back(0);
    return int(m_offsets.size() - 1);
}

void VectorPdfDocument::write(const QByteArray& bytes) {
    if (!m_file || m_file->write(bytes) != bytes.size())
        throw Error(49, m_fileName);
    m_written += bytes.size();
}

void VectorPdfDocument::beginObject(int number) {
    m_offsets[std::size_t(number)] = m_written;
    write(num(qint64(number)) + " 0 obj\n");
}

void VectorPdfDocument::writeStreamObject(int number, const QByteArray& dictionary, const QByteArray& data) {
    beginObject(number);
    write("<< " + dictionary + " /Length " + num(qint64(data.size())) + " >>\nstream\n");
    write(data);
    write("\nendstream\nendobj\n");
}

int VectorPdfDocument::pageObject(int index) {
    auto it = m_pageObjects.find(index);
    if (it == m_pageObjects.end())
        it = m_pageObjects.emplace(index, newObject()).first;
    return it->second;
}

void VectorPdfDocument::beginPage(int widthPt, int heightPt, int pixelWidth, int pixelHeight) {
    if (m_inPage)
        endPage();
    m_pages.push_back(Page{widthPt, heightPt, 0, {}});
    m_scaleX = double(widthPt) / std::max(1, pixelWidth);
    m_scaleY = double(heightPt) / std::max(1, pixelHeight);
    m_content.clear();
    // Pixels of the raster page, y downwards, onto the page in points.
    m_content +=
        "q " + num(m_scaleX, 1e9) + " 0 0 " + num(-m_scaleY, 1e9) + " 0 " + num(qint64(heightPt)) + " cm\n";
    m_inPage = true;
}

void VectorPdfDocument::endPage() {
    if (!m_inPage)
        return;
    m_content += "Q\n";
    Page& page = m_pages.back();
    page.contentObject = newObject();
    writeStreamObject(page.contentObject, "/Filter /FlateDecode", zlibCompressed(m_content, kContentLevel));
    m_content.clear();
    m_inPage = false;
}

void VectorPdfDocument::addLink(const QRect& area, int target) {
    if (!m_inPage || area.isEmpty())
        return;
    const double top = m_pages.back().height;
    const QRectF points(area.left() * m_scaleX, top - (area.top() + area.height()) * m_scaleY,
                        area.width() * m_scaleX, area.height() * m_scaleY);
    m_pages.back().links.emplace_back(points, target);
}

QByteArray VectorPdfDocument::fillColour(quint32 color) const {
    const QColor c = ToQColor(color);
    if (m_options.cmyk) {
        const auto k = m_cmyk.convert(quint8(c.red()), quint8(c.green()), quint8(c.blue()));
        return num(k[0] / 255.0, kColourSteps) + ' ' + num(k[1] / 255.0, kColourSteps) + ' ' +
               num(k[2] / 255.0, kColourSteps) + ' ' + num(k[3] / 255.0, kColourSteps) + " k";
    }
    return num(c.red() / 255.0, kColourSteps) + ' ' + num(c.green() / 255.0, kColourSteps) + ' ' +
           num(c.blue() / 255.0, kColourSteps) + " rg";
}

QByteArray VectorPdfDocument::strokeColour(quint32 color) const {
    QByteArray op = fillColour(color);
    op[op.size() - 1] = m_options.cmyk ? 'K' : 'G';
    if (!m_options.cmyk)
        op[op.size() - 2] = 'R';
    return op;
}

QByteArray VectorPdfDocument::fontName(const QRawFont& font, PdfFontProgram** program) {
    const QString key = font.familyName() + u'\n' + font.styleName() + u'\n' +
                        QString::number(font.weight()) + u'\n' + QString::number(int(font.style()));
    auto it = m_fontIndex.find(key);
    if (it == m_fontIndex.end()) {
        m_fonts.push_back(
            FontEntry{"F" + num(qint64(m_fonts.size() + 1)), std::make_unique<PdfFontProgram>(font)});
        it = m_fontIndex.emplace(key, m_fonts.size() - 1).first;
    }
    FontEntry& entry = m_fonts[it->second];
    if (program)
        *program = entry.program.get();
    return entry.name;
}

QByteArray VectorPdfDocument::pictureName(const dib& picture, double placedWidthPt, double placedHeightPt) {
    const int w = dibwidth(picture);
    const int h = dibheight(picture);
    QByteArray key;
    if (!picture.sourceFile.isEmpty()) {
        key = "file\n" + picture.sourceFile.toUtf8() + '\n' + num(qint64(w)) + 'x' + num(qint64(h));
    } else {
        QCryptographicHash hash(QCryptographicHash::Md5);
        const int bits = dibbitcount(picture);
        hash.addData(num(qint64(w)) + 'x' + num(qint64(h)) + 'x' + num(qint64(bits)));
        if (bits <= 8 && picture.pmi)
            hash.addData(QByteArrayView(reinterpret_cast<const char*>(picture.pmi->bmiColors.data()),
                                        qsizetype(sizeof(RGBQUAD)) * (1 << bits)));
        hash.addData(
            QByteArrayView(reinterpret_cast<const char*>(picture.poi), qsizetype(picture.bytew) * h));
        key = "pixels\n" + hash.result();
    }
    const double needW = placedWidthPt / 72 * kPictureDpi;
    const double needH = placedHeightPt / 72 * kPictureDpi;
    std::vector<PictureEntry>& stored = m_pictures[key];
    for (const PictureEntry& e : stored) {
        // A reduced copy serves a placement that needs at most a third more pixels.
        if (!e.reduced || (e.width * 4 >= needW * 3 && e.height * 4 >= needH * 3))
            return e.name;
    }
    PictureEntry entry;
    entry.name = "Im" + num(qint64(++m_pictureObjects));
    writePicture(entry, picture, needW, needH);
    stored.push_back(entry);
    return entry.name;
}

void VectorPdfDocument::writePicture(PictureEntry& entry, const dib& picture, double needW, double needH) {
    const int w = dibwidth(picture);
    const int h = dibheight(picture);
    entry.object = newObject();
    entry.width = w;
    entry.height = h;
    entry.reduced = w > kReduceAbove * needW && h > kReduceAbove * needH;
    const QByteArray common = "/Type /XObject /Subtype /Image /BitsPerComponent 8 ";

    // A JPEG file drawn as it is goes in as its own bytes.
    if (!entry.reduced && !picture.sourceFile.isEmpty() && picture.sourceWidth == w &&
        picture.sourceHeight == h) {
        QFile file(picture.sourceFile);
        QByteArray data;
        if (file.open(QIODevice::ReadOnly))
            data = file.readAll();
        int jw = 0;
        int jh = 0;
        int components = 0;
        if (jpegFrame(data, jw, jh, components) && jw == w && jh == h &&
            (components == 1 || (components == 3 && !m_options.cmyk))) {
            writeStreamObject(entry.object,
                              common + "/Width " + num(qint64(w)) + " /Height " + num(qint64(h)) +
                                  (components == 1 ? " /ColorSpace /DeviceGray" : " /ColorSpace /DeviceRGB") +
                                  " /Filter /DCTDecode",
                              data);
            return;
        }
    }

    QImage image = dibToImage(picture);
    if (entry.reduced) {
        const double scale = std::max(needW / w, needH / h);
        entry.width = std::max(1, int(std::lround(w * scale)));
        entry.height = std::max(1, int(std::lround(h * scale)));
        image = image.scaled(entry.width, entry.height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    image = image.convertToFormat(QImage::Format_RGB888);
    const int iw = image.width();
    const int ih = image.height();
    bool grey = true;
    for (int y = 0; y < ih && grey; ++y) {
        const uchar* row = image.constScanLine(y);
        for (int x = 0; x < iw; ++x, row += 3) {
            if (row[0] != row[1] || row[1] != row[2]) {
                grey = false;
                break;
            }
        }
    }
    const int channels = grey ? 1 : (m_options.cmyk ? 4 : 3);
    const qsizetype rowBytes = qsizetype(iw) * channels;
    QByteArray rows(rowBytes * ih, Qt::Uninitialized);
    std::vector<quint8> bgr(std::size_t(iw) * 3);
    for (int y = 0; y < ih; ++y) {
        const uchar* in = image.constScanLine(y);
        auto* out = reinterpret_cast<quint8*>(rows.data() + rowBytes * y);
        if (grey) {
            for (int x = 0; x < iw; ++x)
                out[x] = in[3 * x];
        } else if (channels == 3) {
            std::copy(in, in + rowBytes, out);
        } else {
            for (int x = 0; x < iw; ++x) {
                bgr[std::size_t(3 * x)] = in[3 * x + 2];
                bgr[std::size_t(3 * x + 1)] = in[3 * x + 1];
                bgr[std::size_t(3 * x + 2)] = in[3 * x];
            }
            m_cmyk.convertBgrRow(bgr.data(), out, iw);
        }
    }
    const QByteArray space = grey ? "/DeviceGray" : (channels == 4 ? "/DeviceCMYK" : "/DeviceRGB");
    writeStreamObject(entry.object,
                      common + "/Width " + num(qint64(iw)) + " /Height " + num(qint64(ih)) + " /ColorSpace " +
                          space + " /Filter /FlateDecode /DecodeParms << /Predictor 12 /Colors " +
                          num(qint64(channels)) + " /BitsPerComponent 8 /Columns " + num(qint64(iw)) + " >>",
                      [&] {
                          QByteArray filtered((rowBytes + 1) * ih, Qt::Uninitialized);
                          upFilterRows(reinterpret_cast<const quint8*>(rows.constData()), rowBytes, ih,
                                       reinterpret_cast<quint8*>(filtered.data()));
                          return zlibCompressed(filtered, kPictureLevel);
                      }());
}

QByteArray VectorPdfDocument::textString(const QString& s) const {
    QByteArray out = "<FEFF";
    for (QChar c : s)
        out += hex4(c.unicode());
    return out + '>';
}

void VectorPdfDocument::writeFonts() {
    for (FontEntry& entry : m_fonts) {
        PdfFontProgram& font = *entry.program;
        if (font.empty())
            continue;
        const QByteArray program = font.subsetProgram();
        const QByteArray name = "/" + font.subsetName().toLatin1();
        const int fileObject = newObject();
        if (font.isCff())
            writeStreamObject(fileObject, "/Subtype /OpenType /Filter /FlateDecode",
                              zlibCompressed(program, kContentLevel));
        else
            writeStreamObject(fileObject, "/Length1 " + num(qint64(program.size())) + " /Filter /FlateDecode",
                              zlibCompressed(program, kContentLevel));
        const int descriptor = newObject();
        beginObject(descriptor);
        write("<< /Type /FontDescriptor /FontName " + name + " /Flags " + num(qint64(font.flags())) +
              " /FontBBox " + font.boundingBox().toLatin1() + " /ItalicAngle " + num(font.italicAngle()) +
              " /Ascent " + num(qint64(font.ascent())) + " /Descent " + num(qint64(font.descent())) +
              " /CapHeight " + num(qint64(font.capHeight())) + " /StemV 80 " +
              (font.isCff() ? "/FontFile3 " : "/FontFile2 ") + ref(fileObject) + " >>\nendobj\n");
        const int cidFont = newObject();
        beginObject(cidFont);
        write("<< /Type /Font /Subtype " + QByteArray(font.isCff() ? "/CIDFontType0" : "/CIDFontType2") +
              " /BaseFont " + name +
              " /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >> /FontDescriptor " +
              ref(descriptor) + " /DW 1000 /W " + font.widthArray().toLatin1() +
              (font.isCff() ? "" : " /CIDToGIDMap /Identity") + " >>\nendobj\n");
        const int toUnicode = newObject();
        writeStreamObject(toUnicode, "/Filter /FlateDecode",
                          zlibCompressed(font.toUnicodeMap(), kContentLevel));
        entry.program.reset(); // the tables are not needed any more
        const int type0 = newObject();
        beginObject(type0);
        write("<< /Type /Font /Subtype /Type0 /BaseFont " + name +
              " /Encoding /Identity-H /DescendantFonts [" + ref(cidFont) + "] /ToUnicode " + ref(toUnicode) +
              " >>\nendobj\n");
        entry.object = type0;
    }
}

int VectorPdfDocument::writeOutline(const std::vector<PdfBookmark>& entries, int parent, int* count) {
    std::vector<int> objects;
    for (std::size_t i = 0; i < entries.size(); ++i)
        objects.push_back(newObject());
    *count = int(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const PdfBookmark& b = entries[i];
        int children = 0;
        const int first = b.children.empty() ? 0 : writeOutline(b.children, objects[i], &children);
        QByteArray item = "<< /Title " + textString(b.title) + " /Parent " + ref(parent);
        if (i > 0)
            item += " /Prev " + ref(objects[i - 1]);
        if (i + 1 < entries.size())
            item += " /Next " + ref(objects[i + 1]);
        if (first) {
            // Closed: the count of the children it would show, negative.
            item += " /First " + ref(first) + " /Last " + ref(first + children - 1) + " /Count " +
                    num(qint64(-children));
        }
        item += " /Dest [" + ref(pageObject(b.page)) + " /Fit] >>\nendobj\n";
        beginObject(objects[i]);
        write(item);
    }
    return objects.empty() ? 0 : objects.front();
}

void VectorPdfDocument::finish() {
    if (m_finished)
        return;
    endPage();
    if (m_pages.empty()) { // a document has at least one page
        beginPage(595, 842, 595, 842);
        endPage();
    }
    writeFonts();

    beginObject(m_resourcesObject);
    QByteArray resources = "<< /ProcSet [/PDF /Text /ImageB /ImageC] /Font <<";
    for (const FontEntry& f : m_fonts) {
        if (f.object)
            resources += " /" + f.name + ' ' + ref(f.object);
    }
    resources += " >> /XObject <<";
    std::vector<std::pair<int, QByteArray>> pictures;
    for (const auto& [key, list] : m_pictures) {
        for (const PictureEntry& e : list)
            pictures.emplace_back(e.object, e.name);
    }
    std::sort(pictures.begin(), pictures.end());
    for (const auto& [object, name] : pictures)
        resources += " /" + name + ' ' + ref(object);
    write(resources + " >> >>\nendobj\n");

    const int count = int(m_pages.size());
    for (int i = 0; i < count; ++i)
        pageObject(i);
    for (int i = 0; i < count; ++i) {
        const Page& page = m_pages[std::size_t(i)];
        QByteArray annotations;
        for (const auto& [area, target] : page.links) {
            if (target < 0 || target >= count)
                continue;
            const int annotation = newObject();
            beginObject(annotation);
            write("<< /Type /Annot /Subtype /Link /Rect [" + num(area.left()) + ' ' + num(area.top()) + ' ' +
                  num(area.right()) + ' ' + num(area.bottom()) + "] /Border [0 0 0] /Dest [" +
                  ref(pageObject(target)) + " /Fit] >>\nendobj\n");
            annotations += (annotations.isEmpty() ? "" : " ") + ref(annotation);
        }
        beginObject(pageObject(i));
        write("<< /Type /Page /Parent " + ref(m_pagesObject) + " /MediaBox [0 0 " + num(qint64(page.width)) +
              ' ' + num(qint64(page.height)) + "] /Resources " + ref(m_resourcesObject) + " /Contents " +
              ref(page.contentObject) +
              (annotations.isEmpty() ? QByteArray() : " /Annots [" + annotations + "]") + " >>\nendobj\n");
    }
    beginObject(m_pagesObject);
    QByteArray kids;
    for (int i = 0; i < count; ++i)
        kids += (i ? " " : "") + ref(pageObject(i));
    write("<< /Type /Pages /Kids [" + kids + "] /Count " + num(qint64(count)) + " >>\nendobj\n");

    // Bookmarks that point past the last page are left out.
    std::function<void(std::vector<PdfBookmark>&)> prune = [&](std::vector<PdfBookmark>& list) {
        list.erase(std::remove_if(list.begin(), list.end(),
                                  [&](const PdfBookmark& b) { return b.page < 0 || b.page >= count; }),
                   list.end());
        for (PdfBookmark& b : list)
            prune(b.children);
    };
    prune(m_bookmarks);
    int outlines = 0;
    if (!m_bookmarks.empty()) {
        outlines = newObject();
        int top = 0;
        const int first = writeOutline(m_bookmarks, outlines, &top);
        beginObject(outlines);
        write("<< /Type /Outlines /First " + ref(first) + " /Last " + ref(first + top - 1) + " /Count " +
              num(qint64(top)) + " >>\nendobj\n");
    }

    QByteArray labels = "/PageLabels << /Nums [";
    if (m_firstNumber >= 1) {
        labels += "0 << /S /D /St " + num(qint64(m_firstNumber)) + " >>";
    } else {
        // Numbers below 1 cannot be counted by a label range: each such page gets its own.
        for (int i = 0; i < count && m_firstNumber + i < 1; ++i)
            labels += (i ? " " : "") + num(qint64(i)) + " << /P (" + num(qint64(m_firstNumber + i)) + ") >>";
        if (1 - m_firstNumber < count)
            labels += ' ' + num(qint64(1 - m_firstNumber)) + " << /S /D /St 1 >>";
    }
    labels += "] >>";

    beginObject(1);
    write("<< /Type /Catalog /Pages " + ref(m_pagesObject) +
          (outlines ? " /Outlines " + ref(outlines) + " /PageMode /UseOutlines" : QByteArray()) + ' ' +
          labels + " >>\nendobj\n");
    const int info = newObject();
    beginObject(info);
    write("<< /Title " + textString(m_options.title) + " /Creator " + textString(m_options.creator) +
          " /Producer " + textString(m_options.creator) + " >>\nendobj\n");

    const qint64 xref = m_written;
    QByteArray table = "xref\n0 " + num(qint64(m_offsets.size())) + "\n0000000000 65535 f \n";
    for (std::size_t i = 1; i < m_offsets.size(); ++i)
        table += QByteArray::number(m_offsets[i]).rightJustified(10, '0') + " 00000 n \n";
    write(table);
    write("trailer\n<< /Size " + num(qint64(m_offsets.size())) + " /Root 1 0 R /Info " + ref(info) +
          " >>\nstartxref\n" + num(xref) + "\n%%EOF\n");
    auto* saveFile = dynamic_cast<QSaveFile*>(m_file.get());
    if (saveFile && !saveFile->commit())
        throw Error(49, m_fileName);
    m_file.reset();
    m_finished = true;
}

// ---- The canvas

namespace {

bool sameFont(const FontSpec& a, const FontSpec& b) {
    return a.Size == b.Size && a.PixelsPerInch == b.PixelsPerInch && a.Style == b.Style && a.Name == b.Name;
}

// Synthetic bold: the outline stroked with this share of the font size, as the renderer
// widens a regular face; synthetic italic: this slant.
constexpr double kBoldStroke = 1.0 / 24;
constexpr double kSlant = 0.2;

} // namespace

VectorPdfCanvas::VectorPdfCanvas(VectorPdfDocument& document)
    : m_doc(document), m_measure(std::make_unique<PainterCanvas>(nullptr)) {}

VectorPdfCanvas::~VectorPdfCanvas() = default;

VectorPdfCanvas::TextFont& VectorPdfCanvas::textFont() {
    if (m_last && sameFont(font, m_last->spec))
        return *m_last;
    for (const auto& f : m_fonts) {
        if (sameFont(font, f->spec)) {
            m_last = f.get();
            return *m_last;
        }
    }
    auto f = std::make_unique<TextFont>();
    f->spec = font;
    f->font = MakeQFont(font);
    const QFontMetrics metrics(f->font);
    f->ascent = metrics.ascent();
    f->height = metrics.ascent() + metrics.descent();
    f->underlinePos = metrics.underlinePos();
    f->strikeOutPos = metrics.strikeOutPos();
    f->lineWidth = std::max(1, metrics.lineWidth());
    f->primary = QRawFont::fromFont(f->font);
    // The document's program for the font file tells whether the renderer makes the face up.
    PdfFontProgram* file = nullptr;
    m_doc.fontName(f->primary, &file);
    f->syntheticBold = f->font.bold() && !file->isBold();
    f->syntheticItalic = f->font.italic() && !file->isItalic();
    f->programs.push_back(f->primary);
    m_fonts.push_back(std::move(f));
    m_last = m_fonts.back().get();
    return *m_last;
}

VectorPdfCanvas::Glyph VectorPdfCanvas::glyphFor(TextFont& f, char32_t c, const QString& text) {
    const auto known = f.glyphs.constFind(c);
    if (known != f.glyphs.constEnd())
        return *known;
    Glyph g;
    if (c >= 32 && !(c >= 0x7F && c < 0xA0)) {
        const QList<quint32> own = f.primary.glyphIndexesForString(text);
        if (!own.isEmpty() && own.front() != 0) {
            g = Glyph{0, own.front()};
        } else {
            // The font the renderer falls back to for this character.
            QTextLayout layout(text, f.font);
            layout.beginLayout();
            layout.createLine();
            layout.endLayout();
            const QList<QGlyphRun> runs = layout.glyphRuns();
            if (!runs.isEmpty() && !runs.front().glyphIndexes().isEmpty() &&
                runs.front().glyphIndexes().front()) {
                const QRawFont raw = runs.front().rawFont();
                int index = -1;
                for (std::size_t i = 0; i < f.programs.size(); ++i) {
                    if (f.programs[i].familyName() == raw.familyName() &&
                        f.programs[i].styleName() == raw.styleName())
                        index = int(i);
                }
                if (index < 0) {
                    f.programs.push_back(raw);
                    index = int(f.programs.size() - 1);
                }
                g = Glyph{index, runs.front().glyphIndexes().front()};
            }
        }
    }
    f.glyphs.insert(c, g);
    return g;
}

int VectorPdfCanvas::TextWidth(const QString& text) {
    m_measure->font = font;
    return m_measure->TextWidth(text);
}

int VectorPdfCanvas::TextHeight(const QString& text) {
    m_measure->font = font;
    return m_measure->TextHeight(text);
}

void VectorPdfCanvas::fill(double x1, double y1, double x2, double y2, quint32 color) {
    if (x2 <= x1 || y2 <= y1)
        return;
    m_doc.content() += m_doc.fillColour(color) + ' ' + num(x1) + ' ' + num(y1) + ' ' + num(x2 - x1) + ' ' +
                       num(y2 - y1) + " re f\n";
}

void VectorPdfCanvas::TextOut(int x, int y, const QString& text) {
    const int w = TextWidth(text);
    m_penX = x + w;
    m_penY = y;
    if (!m_doc.inPage())
        return;
    TextFont& f = textFont();
    if (brush.style == BrushStyle::Solid)
        fill(x, y, x + w, y + f.height, brush.color);

    struct Placed {
        Glyph glyph;
        int at;
        QString text;
    };
    std::vector<Placed> placed;
    int at = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        QString one(text[i]);
        char32_t c = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            one += text[i + 1];
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        const Glyph g = glyphFor(f, c, one);
        if (g.font >= 0)
            placed.push_back(Placed{g, at, one});
        at += m_measure->TextWidth(one);
    }
    const int base = y + f.ascent;
    QByteArray& out = m_doc.content();
    if (!placed.empty()) {
        const double size = f.font.pixelSize();
        const bool bold = f.syntheticBold;
        const bool italic = f.syntheticItalic;
        out += "BT\n" + m_doc.fillColour(font.Color) + '\n';
        if (bold)
            out += "2 Tr " + num(size * kBoldStroke) + " w " + m_doc.strokeColour(font.Color) + '\n';
        int current = -1;
        PdfFontProgram* program = nullptr;
        double pos = 0; // where the text position is, in pixels from the start of the text
        for (const Placed& p : placed) {
            if (p.glyph.font != current) {
                if (current >= 0)
                    out += "] TJ\n";
                current = p.glyph.font;
                out += '/' + m_doc.fontName(f.programs[std::size_t(current)], &program) + ' ' + num(size) +
                       " Tf 1 0 " + num(italic ? kSlant : 0.0) + " -1 " + num(double(x + p.at)) + ' ' +
                       num(qint64(base)) + " Tm [";
                pos = p.at;
            } else if (std::abs(pos - p.at) > 1e-6) {
                // Moves the glyph to where the renderer puts it (positive numbers go left).
                out += num((pos - p.at) * 1000 / size) + ' ';
                pos = p.at;
            }
            out += '<' + hex4(p.glyph.glyph) + "> ";
            program->use(p.glyph.glyph, p.text);
            pos += program->advance(p.glyph.glyph) * size / 1000;
        }
        out += "] TJ\nET\n";
        if (bold)
            out += "0 Tr\n";
    }
    if (font.Style & FontSpec::Underline)
        fill(x, base + f.underlinePos, x + w, base + f.underlinePos + f.lineWidth, font.Color);
    if (font.Style & FontSpec::StrikeOut)
        fill(x, base - f.strikeOutPos, x + w, base - f.strikeOutPos + f.lineWidth, font.Color);
}

void VectorPdfCanvas::strokeSetup(int width, PenEnds ends) {
    const char* cap = ends == PenEnds::Flat ? "0" : ends == PenEnds::Square ? "2" : "1";
    m_doc.content() += m_doc.strokeColour(pen.color) + ' ' + num(qint64(width)) + " w " + cap + " J 0 j\n";
}

void VectorPdfCanvas::LineTo(int x, int y) {
    const int x0 = m_penX;
    const int y0 = m_penY;
    m_penX = x;
    m_penY = y;
    if (!m_doc.inPage() || pen.style == PenStyle::Clear || (x0 == x && y0 == y))
        return;
    if (pen.width <= 1) {
        // The pixels of a one-pixel line, the end point left out.
        if (PixelSpan span; straightLinePixels(x0, y0, x, y, span)) {
            fill(span.x1, span.y1, span.x2, span.y2, pen.color);
            return;
        }
        strokeSetup(1, PenEnds::Flat);
        m_doc.content() +=
            num(x0 + 0.5) + ' ' + num(y0 + 0.5) + " m " + num(x + 0.5) + ' ' + num(y + 0.5) + " l S\n";
        return;
    }
    strokeSetup(pen.width, pen.ends);
    m_doc.content() +=
        num(qint64(x0)) + ' ' + num(qint64(y0)) + " m " + num(qint64(x)) + ' ' + num(qint64(y)) + " l S\n";
}

void VectorPdfCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    if (!m_doc.inPage())
        return;
    // The pixels the raster page fills.
    for (const ColouredSpan& s : rectangleSpans(x1, y1, x2, y2, pen, brush))
        fill(s.span.x1, s.span.y1, s.span.x2, s.span.y2, s.color);
}

void VectorPdfCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    if (!m_doc.inPage() || pen.style == PenStyle::Clear || x2 == x1 || y2 == y1)
        return;
    const double cx = (x1 + x2) / 2.0;
    const double cy = (y1 + y2) / 2.0;
    const double a = std::abs(x2 - x1) / 2.0;
    const double b = std::abs(y2 - y1) / 2.0;
    auto paramAngle = [&](int px, int py) { return std::atan2((cy - py) * a, (px - cx) * b); };
    const double start = paramAngle(x3, y3);
    double span = paramAngle(x4, y4) - start;
    while (span <= 0)
        span += 2 * std::numbers::pi; // counter-clockwise; equal rays give the whole ellipse
    // The raster arc runs through the centres of its pixels, half a pixel inside the box.
    const double ra = a - 0.5;
    const double rb = b - 0.5;
    const double ox = std::min(x1, x2) + a;
    const double oy = std::min(y1, y2) + b;
    const auto point = [&](double t) { return QPointF(ox + ra * std::cos(t), oy - rb * std::sin(t)); };
    const auto slope = [&](double t) { return QPointF(-ra * std::sin(t), -rb * std::cos(t)); };
    const int pieces = std::max(1, int(std::ceil(span / (std::numbers::pi / 2))));
    const double step = span / pieces;
    const double k = 4.0 / 3.0 * std::tan(step / 4);
    strokeSetup(std::max(1, pen.width), PenEnds::Flat);
    QByteArray& out = m_doc.content();
    const QPointF p0 = point(start);
    out += num(p0.x()) + ' ' + num(p0.y()) + " m\n";
    for (int i = 0; i < pieces; ++i) {
        const double t0 = start + i * step;
        const double t1 = t0 + step;
        const QPointF c1 = point(t0) + k * slope(t0);
        const QPointF c2 = point(t1) - k * slope(t1);
        const QPointF e = point(t1);
        out += num(c1.x()) + ' ' + num(c1.y()) + ' ' + num(c2.x()) + ' ' + num(c2.y()) + ' ' + num(e.x()) +
               ' ' + num(e.y()) + " c\n";
    }
    out += "S\n";
}

bool VectorPdfCanvas::placePicture(int x, int y, int dstW, int dstH, const dib& picture, int srcX, int srcY,
                                   int srcW, int srcH) {
    if (!m_doc.inPage())
        return true;
    const int w = dibwidth(picture);
    const int h = dibheight(picture);
    if (dstW <= 0 || dstH <= 0 || srcW <= 0 || srcH <= 0 || w <= 0 || h <= 0)
        return true;
    // The whole picture is placed so that the source rectangle (counted from the bottom
    // row) lands on the destination, clipped to it.
    const double kx = double(dstW) / srcW;
    const double ky = double(dstH) / srcH;
    const int srcTop = h - srcY - srcH;
    const double left = x - srcX * kx;
    const double top = y - srcTop * ky;
    const double width = w * kx;
    const double height = h * ky;
    const bool whole = srcX == 0 && srcTop == 0 && srcW == w && srcH == h;
    const QByteArray name = m_doc.pictureName(picture, dstW * m_doc.pointsPerPixelX() * w / srcW,
                                              dstH * m_doc.pointsPerPixelY() * h / srcH);
    QByteArray& out = m_doc.content();
    out += "q ";
    if (!whole)
        out += num(qint64(x)) + ' ' + num(qint64(y)) + ' ' + num(qint64(dstW)) + ' ' + num(qint64(dstH)) +
               " re W n ";
    out += num(width) + " 0 0 " + num(-height) + ' ' + num(left) + ' ' + num(top + height) + " cm /" + name +
           " Do Q\n";
    return true;
}

} // namespace pw
