#include "PDFWriterCanvas.h"

#include "compose/canvas.h"
#include "compose/units.h"
#include "imagelib/picfiles.h"
#include "model/error.h"
#include "output/ccitt.h"
#include "output/cmykconversion.h"
#include "output/zlibstream.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QImage>
#include <QRawFont>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTemporaryFile>

#include <libdeflate.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>

#include <unistd.h>

namespace pw {

namespace {

// Content streams are compressed as hard as zlib's level 9, pictures at its default level;
// the compressor's levels are on the same scale.
constexpr int kContentLevel = 9;
constexpr int kPictureLevel = 6;
// Pictures compressed at the same time in the background.
constexpr std::size_t kMostPreparing = 2;

const QString kNotWritten =
    QStringLiteral("Konnte ein Bild nicht in den temporären Ordner schreiben (voll oder schreibgeschützt?)");
const QString kNotReadBack = QStringLiteral("Konnte ein Bild aus dem temporären Ordner nicht zurücklesen");
const QString kOutOfMemory = QStringLiteral("Fehler: nicht genug Speicher für diese Operation!");

QByteArray zlibCompress(const char* data, qsizetype size, int level) {
    return zlibCompressed(QByteArrayView(data, size), level);
}

// One row of 32-bit pixels as red, green, blue bytes.
void pageRowToRgb(const QRgb* in, int width, quint8* out) {
    for (int x = 0; x < width; ++x) {
        const QRgb p = in[x];
        out[3 * x] = quint8(p >> 16);
        out[3 * x + 1] = quint8(p >> 8);
        out[3 * x + 2] = quint8(p);
    }
}

// A compressed picture stream into its temporary file, which exists: one that vanished is
// not made again. Throws pw::Error naming the file when it cannot be written.
void writeStreamFile(const QString& file, const QByteArray& compressed) {
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly | QIODevice::ExistingOnly) || f.write(compressed) != compressed.size() ||
        !f.flush())
        throw Error::text(kNotWritten, file);
    f.close();
    if (f.error() != QFileDevice::NoError)
        throw Error::text(kNotWritten, file);
}

// A picture's /DecodeParms for the "Up" predictor.
QString predictorParameters(int width, bool cmyk) {
    return QStringLiteral(" /DecodeParms << /Predictor 12 /Colors %1 /BitsPerComponent 8 /Columns %2 >>")
        .arg(cmyk ? 4 : 3)
        .arg(width);
}

QString number(qint64 v) {
    return QString::number(v);
}

quint16 be16(const QByteArray& t, int at) {
    return quint16((quint8(t[at]) << 8) | quint8(t[at + 1]));
}
qint16 bes16(const QByteArray& t, int at) {
    return qint16(be16(t, at));
}

} // namespace

struct TPDFCanvas::Worker {
    QByteArray pixels;     // the picture's bytes as the file holds them, before compression
    QByteArray filtered;   // the same with the row predictor
    QByteArray compressed; // the stream
    Compressor compressor = newCompressor(kPictureLevel);

    // Compresses `pixels` (rows of rowBytes) into `file`, which exists; returns the stream's
    // length. Throws pw::Error when the file cannot be written.
    qint64 prepare(qsizetype rowBytes, int rows, bool predictor, const QString& file) {
        const QByteArray* data = &pixels;
        if (predictor) {
            filtered.resize((rowBytes + 1) * rows);
            upFilterRows(reinterpret_cast<const quint8*>(pixels.constData()), rowBytes, rows,
                         reinterpret_cast<quint8*>(filtered.data()));
            data = &filtered;
        }
        zlibCompressInto(compressor.get(), data->constData(), data->size(), compressed);
        writeStreamFile(file, compressed);
        return compressed.size();
    }
};

// ---- Formatting

QString CommaToPoint(QString s) {
    return s.replace(QLatin1Char(','), QLatin1Char('.'));
}

QString PdfNumber(double v) {
    if (!std::isfinite(v) || v == 0)
        return QStringLiteral("0");
    char buf[400];
    // The exponent after rounding to 15 significant digits decides the decimals.
    auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, 14);
    const char* e = std::find(buf, r.ptr, 'e');
    int exponent = 0;
    std::from_chars(e + 1 + (e[1] == '+' ? 1 : 0), r.ptr, exponent);
    r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, std::max(0, 14 - exponent));
    std::string s(buf, r.ptr);
    if (s.find('.') != std::string::npos) {
        while (s.back() == '0')
            s.pop_back();
        if (s.back() == '.')
            s.pop_back();
    }
    if (s == "-0")
        s = "0";
    return CommaToPoint(QString::fromStdString(s));
}

QString EscapePDFString(const QString& s) {
    QString out;
    out.reserve(s.size());
    for (QChar c : s) {
        switch (c.unicode()) {
        case u'\\':
            out += QLatin1String("\\\\");
            break;
        case u'(':
            out += QLatin1String("\\(");
            break;
        case u')':
            out += QLatin1String("\\)");
            break;
        case u'\n':
            out += QLatin1String("\\n");
            break;
        case u'\r':
            out += QLatin1String("\\r");
            break;
        case u'\t':
            out += QLatin1String("\\t");
            break;
        case u'\b':
            out += QLatin1String("\\b");
            break;
        case u'\f':
            out += QLatin1String("\\f");
            break;
        default:
            if (c.unicode() < 32)
                out += QStringLiteral("\\%1").arg(c.unicode(), 3, 8, QLatin1Char('0'));
            else
                out += c;
        }
    }
    return out;
}

QString PDFFontName(const QString& name, quint8 style) {
    static const QString kDelimiters = QStringLiteral("#%()/<>[]{}");
    QString out;
    for (QChar c : name) {
        const char16_t u = c.unicode();
        if (u == 0)
            continue;
        if (u >= 33 && u <= 126 && !kDelimiters.contains(c))
            out += c;
        else
            out += QLatin1Char('#') + QStringLiteral("%1").arg(u, 2, 16, QLatin1Char('0')).toUpper();
    }
    const bool bold = style & FontSpec::Bold;
    const bool italic = style & FontSpec::Italic;
    if (bold && italic)
        out += QLatin1String(",BoldItalic");
    else if (italic)
        out += QLatin1String(",Italic");
    else if (bold)
        out += QLatin1String(",Bold");
    return out;
}

// ---- The writer

TPDFCanvas::TPDFCanvas(const QString& programFolder, Prompts* prompts)
    : m_prompts(prompts), m_mycanbit(std::make_unique<PainterCanvas>(nullptr)),
      m_cmyk(std::make_unique<CmykConversion>(programFolder)) {
    font = MakeDefaultFont("Microsoft Sans Serif", 8, false, 0);
    font.PixelsPerInch = 72;
}

bool TPDFCanvas::uselcms() const {
    return m_cmyk->usesProfile();
}

TPDFCanvas::~TPDFCanvas() {
    try {
        EndDoc();
    } catch (const Error&) {
        // A destructor cannot report; the caller that wanted to know called EndDoc.
    }
    releasePictures();
}

void TPDFCanvas::releasePictures() {
    removeTemporaryFiles();
    for (PictureEntry& e : m_images)
        freedib(e.picture);
    m_images.clear();
    m_workerFailure = nullptr;
}

QString TPDFCanvas::newTemporaryFile(const QString& prefix, const QString& suffix) {
    if (!m_tempFolder) {
        // A folder of our own (mode 0700): no other process can see, take or plant a name in it.
        auto folder = std::make_unique<QTemporaryDir>(
            QDir(QDir::tempPath()).filePath(QStringLiteral("pagewright-XXXXXX")));
        if (!folder->isValid())
            throw Error::format(QStringLiteral("Konnte keinen temporären Ordner anlegen: %1"),
                                {folder->errorString()}, QDir::tempPath());
        m_tempFolder = std::move(folder);
    }
    // Created exclusively (O_EXCL, mode 0600) at the moment the name is chosen.
    QTemporaryFile file(m_tempFolder->filePath(prefix + QStringLiteral("XXXXXX") + suffix));
    file.setAutoRemove(false);
    if (!file.open())
        throw Error::format(QStringLiteral("%2: %1"), {file.errorString()}, m_tempFolder->path())
            .causedBy(Error::text(kNotWritten));
    return file.fileName();
}

void TPDFCanvas::removeTemporaryFiles() {
    finishPreparing(); // a worker may still write its file
    m_tempFolder.reset();
}

void TPDFCanvas::throwWorkerFailure() {
    if (m_workerFailure)
        std::rethrow_exception(m_workerFailure);
}

void TPDFCanvas::discardOutput() {
    if (!m_f)
        return;
    // A QSaveFile is never closed by hand: dropping it after cancelWriting discards its file.
    if (auto* save = dynamic_cast<QSaveFile*>(m_f.get()))
        save->cancelWriting();
    else
        m_f->close();
    m_f.reset();
}

void TPDFCanvas::writeBytes(const char* data, qint64 size) {
    if (!m_f || m_f->write(data, size) != size)
        throw Error(49, m_fileName);
}

void TPDFCanvas::write(const QString& s) {
    const QByteArray bytes = toAnsi(s);
    if (m_instream)
        m_streambuf.append(bytes);
    else
        writeBytes(bytes.constData(), bytes.size());
}

void TPDFCanvas::writeln(const QString& s) {
    write(s);
    if (m_instream)
        m_streambuf.append('\n');
    else
        writeBytes("\n", 1);
}

qint64 TPDFCanvas::filePosition() {
    qint64 pos = m_f ? m_f->pos() : -1;
    if (pos < 0 && m_f)
        pos = m_f->pos();
    if (pos < 0) {
        if (m_prompts)
            m_prompts->message(QStringLiteral("Could not get file position"), QString(), Prompts::Icon::None);
        pos = 0;
    }
    return pos;
}

int TPDFCanvas::StartObj() {
    const int n = int(m_objs.size());
    m_objs.push_back({filePosition(), 0, false});
    writeln(number(n) + QStringLiteral(" 0 obj"));
    return n;
}

int TPDFCanvas::BeginObj() {
    const int n = StartObj();
    writeln(QStringLiteral("<<"));
    return n;
}

void TPDFCanvas::EndObj() {
    writeln(QStringLiteral(">>"));
    writeln(QStringLiteral("endobj"));
}

void TPDFCanvas::CloseObj() {
    writeln(QStringLiteral("endobj"));
}

bool TPDFCanvas::BeginDoc(const QString& fname) {
    if (m_isincreation)
        return false;
    // A regular file (or a new one) is replaced only when the document is complete; a
    // device or pipe cannot be replaced and is written directly.
    const QFileInfo target(fname);
    std::unique_ptr<QFileDevice> out;
    if (target.exists() && !target.isFile())
        out = std::make_unique<QFile>(fname);
    else
        out = std::make_unique<QSaveFile>(fname);
    if (!out->open(QIODevice::WriteOnly))
        return false;
    m_f = std::move(out);
    m_fileName = fname;
    m_cores = UsableCores();
    m_objs.clear();
    m_pageProps.clear();
    m_fontList.clear();
    releasePictures();
    writeln(QStringLiteral("%PDF-1.3"));
    m_objs.push_back({0, 65535, true});
    m_procobjsnr = StartObj();
    writeln(QStringLiteral("[/PDF /Text /ImageB /ImageC /ImageI]"));
    CloseObj();
    m_apages = 0;
    BeginPageStream();
    m_pageobjnr = 2;
    m_isincreation = true;
    return true;
}

void TPDFCanvas::BeginPageStream() {
    ++m_apages;
    const int n = StartObj();
    writeln(QStringLiteral("<< /Length %1 0 R /Filter /FlateDecode >>").arg(n + 1));
    writeln(QStringLiteral("stream"));
    m_startstream = filePosition();
    m_fontsetted = m_brushsetted = m_pensetted = false;
    m_streambuf.clear();
    m_instream = true;
}

void TPDFCanvas::EndPageStream() {
    const QByteArray compressed = zlibCompress(m_streambuf.constData(), m_streambuf.size(), kContentLevel);
    m_instream = false;
    m_streambuf = QByteArray();
    writeBytes(compressed.constData(), compressed.size());
    writeBytes("\n", 1);
    m_endstream = filePosition();
    writeln(QStringLiteral("endstream"));
    writeln(QStringLiteral("endobj"));
    StartObj();
    writeln(number(m_endstream - m_startstream));
    CloseObj();
    m_pageProps.push_back({PageWidth, PageHeight});
}

void TPDFCanvas::NewPage() {
    if (!m_isincreation)
        return;
    EndPageStream();
    BeginPageStream();
}

void TPDFCanvas::AbortDoc() {
    if (!m_isincreation)
        return;
    m_isincreation = false;
    m_instream = false;
    discardOutput();
    m_streambuf = QByteArray();
    m_objs.clear();
    m_pageProps.clear();
    m_fontList.clear();
    releasePictures();
}

void TPDFCanvas::EndDoc() {
    if (!m_isincreation)
        return;
    // Whatever happens below, the document is no longer open.
    m_isincreation = false;
    try {
        // A picture the worker could not prepare fails the document before anything more.
        finishPreparing();
        throwWorkerFailure();
        EndPageStream();
        m_fontobjnr = int(m_objs.size());
        for (const FontEntry& e : m_fontList)
            writeFontObject(e);

        const int pages = int(m_pageProps.size());
        m_parentnr = BeginObj();
        writeln(QStringLiteral("/Type /Pages"));
        writeln(QStringLiteral("/Count ") + number(pages));
        QString kids = QStringLiteral("/Kids [");
        for (int i = 0; i < pages; ++i)
            kids += number(m_parentnr + 1 + i) +
                    (i == pages - 1 ? QStringLiteral(" 0 R]") : QStringLiteral(" 0 R "));
        writeln(kids);
        EndObj();

        const int fonts = int(m_fontList.size());
        const int firstPicture = 3 * pages + 5 + fonts;
        QString pictures;
        for (int i = 0; i < int(m_images.size()); ++i)
            pictures += QStringLiteral("/Im%1 %2 0 R").arg(i).arg(firstPicture + i);
        QString fontResources;
        for (int n = 1; n <= fonts; ++n)
            fontResources += QStringLiteral("/F%1 %2 0 R").arg(n).arg(m_fontobjnr + n - 1);
        for (int i = 0; i < pages; ++i) {
            BeginObj();
            writeln(QStringLiteral("/Type /Page"));
            writeln(QStringLiteral("/Parent %1 0 R").arg(m_parentnr));
            writeln(QStringLiteral("/Resources <</XObject << ") + pictures + QStringLiteral(" >>"));
            writeln(QStringLiteral("/Font << ") + fontResources +
                    QStringLiteral(">> /ProcSet %1 0 R").arg(m_procobjsnr));
            writeln(QStringLiteral(">>"));
            writeln(QStringLiteral("/MediaBox [0 0 %1 %2]")
                        .arg(m_pageProps[std::size_t(i)].width - 1)
                        .arg(m_pageProps[std::size_t(i)].height - 1));
            writeln(QStringLiteral("/Contents %1 0 R").arg(2 + 2 * i));
            EndObj();
        }

        m_rootObjNr = BeginObj();
        writeln(QStringLiteral("/Type /Catalog"));
        writeln(QStringLiteral("/Pages %1 0 R").arg(m_parentnr));
        writeln(QStringLiteral("/Outlines %1 0 R").arg(m_rootObjNr + 1));
        EndObj();
        BeginObj();
        writeln(QStringLiteral("/Type /Outlines"));
        writeln(QStringLiteral("/Count 0"));
        EndObj();

        finishPreparing();
        for (PictureEntry& e : m_images)
            writePictureObject(e);
        m_pixelBuffer = QByteArray();

        const qint64 startxref = filePosition();
        writeln(QStringLiteral("xref"));
        writeln(QStringLiteral("0 ") + number(qint64(m_objs.size())));
        QByteArray table;
        table.reserve(qsizetype(m_objs.size()) * 20);
        for (const ObjectEntry& o : m_objs) {
            char line[32];
            std::snprintf(line, sizeof line, "%010lld %05d %s\n", static_cast<long long>(o.offset),
                          o.generation, o.free ? "f " : "n ");
            table.append(line, 20);
        }
        writeBytes(table.constData(), table.size());
        writeln(QStringLiteral("trailer"));
        writeln(QStringLiteral("<<"));
        writeln(QStringLiteral("/Size ") + number(qint64(m_objs.size())));
        writeln(QStringLiteral("/Root %1 0 R").arg(m_rootObjNr));
        writeln(QStringLiteral(">>"));
        writeln(QStringLiteral("startxref"));
        writeln(number(startxref));
        write(QStringLiteral("%%EOF"));
        // Everything on the disk before the file takes the target's place.
        if (!m_f->flush() || (::fsync(m_f->handle()) != 0 && errno != EINVAL))
            throw Error(49, m_fileName);
        if (auto* save = dynamic_cast<QSaveFile*>(m_f.get())) {
            if (!save->commit())
                throw Error(49, m_fileName);
        } else {
            m_f->close();
        }
        m_f.reset();
    } catch (...) {
        m_instream = false;
        discardOutput();
        m_objs.clear();
        m_pageProps.clear();
        m_fontList.clear();
        removeTemporaryFiles();
        throw;
    }
    m_objs.clear();
    m_pageProps.clear();
    m_fontList.clear();
    removeTemporaryFiles();
}

// ---- Drawing state

QString TPDFCanvas::rgb(quint32 color) const {
    return PdfNumber((color & 0xFF) / 255.0) + QLatin1Char(' ') + PdfNumber(((color >> 8) & 0xFF) / 255.0) +
           QLatin1Char(' ') + PdfNumber(((color >> 16) & 0xFF) / 255.0);
}

void TPDFCanvas::SetPen() {
    const bool changed =
        !m_pensetted || pen.style != m_open.style || pen.width != m_open.width || pen.color != m_open.color;
    if (!changed)
        return;
    m_noline = false;
    switch (pen.style) {
    case 0:
    case 6:
        writeln(QStringLiteral("[ ] 0 d"));
        break;
    case 1:
        writeln(QStringLiteral("[3] 0 d"));
        break;
    case 2:
        writeln(QStringLiteral("[1] 0 d"));
        break;
    case 3:
        writeln(QStringLiteral("[3 1 1 1] 0 d"));
        break;
    case 4:
        writeln(QStringLiteral("[3 1 1 1 1 1] 0 d"));
        break;
    case kPdfPenClear:
        m_noline = true;
        break;
    default:
        break;
    }
    if (!m_noline) {
        writeln(number(pen.width) + QStringLiteral(" w"));
        writeln(rgb(pen.color) + QStringLiteral(" RG"));
    }
    m_pensetted = true;
    m_open = pen;
}

void TPDFCanvas::SetBrush() {
    const bool changed = !m_brushsetted || brush.style != m_oBrush.style || brush.color != m_oBrush.color;
    if (!changed)
        return;
    m_nofill = brush.style == kPdfBrushClear;
    if (!m_nofill)
        writeln(rgb(brush.color) + QStringLiteral(" rg"));
    m_brushsetted = true;
    m_oBrush = brush;
}

int TPDFCanvas::GetFontNr(const QString& name, quint8 style) {
    for (std::size_t i = 0; i < m_fontList.size(); ++i) {
        if (m_fontList[i].name == name && m_fontList[i].style == style)
            return int(i) + 1;
    }
    m_fontList.push_back({name, style});
    return int(m_fontList.size());
}

void TPDFCanvas::SetFont() {
    if (!m_brushsetted || m_oBrush.color != font.Color) {
        writeln(rgb(font.Color) + QStringLiteral(" rg"));
        m_oBrush.color = font.Color;
    }
    const int n = GetFontNr(font.Name, font.Style);
    if (m_fontsetted && n == m_ofontnr && font.Size == m_ofontsize)
        return;
    writeln(QStringLiteral("/F%1 %2 Tf").arg(n).arg(font.Size));
    m_ofontnr = n;
    m_ofontsize = font.Size;
    m_fontsetted = true;
}

// ---- Vector and text operations

void TPDFCanvas::LineTo(int xp, int yp) {
    if (!m_isincreation)
        return;
    SetPen();
    if (!m_noline) {
        writeln(QStringLiteral("%1 %2 m").arg(penpos.x()).arg(PageHeight - penpos.y() - 1));
        writeln(QStringLiteral("%1 %2 l").arg(xp).arg(PageHeight - yp - 1));
        writeln(QStringLiteral("S"));
    }
    penpos = QPoint(xp, yp);
}

namespace {

// The device rectangle x1..x2-1, y1..y2-1 as a PDF rectangle: corner, width, height.
QString pdfRect(int x1, int y1, int x2, int y2, int pageHeight) {
    const int w = x2 - x1 >= 0 ? x2 - x1 - 1 : x2 - x1 + 1;
    const int h = y2 - y1 >= 0 ? y2 - y1 - 1 : y2 - y1 + 1;
    return QStringLiteral("%1 %2 %3 %4 re").arg(x1).arg(pageHeight - y2).arg(w).arg(h);
}

} // namespace

void TPDFCanvas::FillRect(int x1, int y1, int x2, int y2) {
    if (!m_isincreation || x1 == x2 || y1 == y2)
        return;
    SetBrush();
    if (!m_nofill) {
        writeln(pdfRect(x1, y1, x2, y2, PageHeight));
        writeln(QStringLiteral("f"));
    }
}

void TPDFCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    if (pen.style == kPdfPenClear) {
        FillRect(x1, y1, x2, y2);
        return;
    }
    if (!m_isincreation || x1 == x2 || y1 == y2)
        return;
    SetPen();
    SetBrush();
    if (!m_nofill) {
        writeln(pdfRect(x1, y1, x2, y2, PageHeight));
        writeln(QStringLiteral("B"));
    } else if (!m_noline) {
        MoveTo(x1, y1);
        LineTo(x2 - 1, y1);
        LineTo(x2 - 1, y2 - 1);
        LineTo(x1, y2 - 1);
        LineTo(x1, y1);
    }
}

int TPDFCanvas::TextWidth(const QString& text) {
    m_mycanbit->font = font;
    m_mycanbit->font.PixelsPerInch = 72;
    return m_mycanbit->TextWidth(text);
}

int TPDFCanvas::TextHeight(const QString& text) {
    m_mycanbit->font = font;
    m_mycanbit->font.PixelsPerInch = 72;
    return m_mycanbit->TextHeight(text);
}

void TPDFCanvas::TextOut(int x, int y, const QString& text) {
    if (!m_isincreation)
        return;
    const int h = TextHeight(text);
    writeln(QStringLiteral("BT"));
    SetFont();
    writeln(QStringLiteral("%1 %2  Td (").arg(x).arg(PageHeight - y - h - 1) + EscapePDFString(text) +
            QStringLiteral(") Tj"));
    writeln(QStringLiteral("ET"));
}

// ---- Fonts

void TPDFCanvas::writeFontObject(const FontEntry& entry) {
    FontSpec spec = MakeDefaultFont("Arial", 12, false, 0);
    spec.Name = entry.name;
    spec.Style = entry.style;
    spec.PixelsPerInch = 72;
    spec.Size = 12; // a 12-unit em
    const QFont qf = MakeQFont(spec);
    const QFontMetrics metrics(qf);
    const QRawFont raw = QRawFont::fromFont(qf);
    const double s = 1000.0 / 12;

    BeginObj();
    writeln(QStringLiteral("/Type /Font"));
    writeln(QStringLiteral("/Subtype /TrueType"));
    writeln(QStringLiteral("/Encoding /WinAnsiEncoding"));
    writeln(QStringLiteral("/BaseFont /") + PDFFontName(entry.name, entry.style));
    writeln(QStringLiteral("/FontDescriptor <</Type/FontDescriptor"));

    // The codes of the 8-bit code page the font has a glyph for (from the blank on).
    int first = -1;
    int last = -1;
    for (int code = 32; code < 256; ++code) {
        const char byte = char(code);
        const QString ch = fromAnsi(QByteArrayView(&byte, 1));
        if (raw.isValid() && raw.supportsCharacter(ch[0])) {
            first = first < 0 ? code : first;
            last = code;
        }
    }
    if (first < 0) {
        first = 32;
        last = 255;
    }

    const QByteArray head = raw.isValid() ? raw.fontTable("head") : QByteArray();
    const QByteArray os2 = raw.isValid() ? raw.fontTable("OS/2") : QByteArray();
    const QByteArray hhea = raw.isValid() ? raw.fontTable("hhea") : QByteArray();
    const QByteArray post = raw.isValid() ? raw.fontTable("post") : QByteArray();
    const bool outline = head.size() >= 54 && be16(head, 18) > 0 && (os2.size() >= 72 || hhea.size() >= 8);
    if (outline) {
        const double upem = be16(head, 18);
        // Design units at the 12-unit em, in whole units, then in thousandths of the em.
        auto scaled = [&](int units) { return Trunc(double(std::lround(units * 12.0 / upem)) * s); };
        const int ascent = os2.size() >= 72 ? bes16(os2, 68) : bes16(hhea, 4);
        const int descent = os2.size() >= 72 ? bes16(os2, 70) : bes16(hhea, 6);
        int italic = 0;
        if (post.size() >= 8) {
            const qint32 fixed = qint32((quint32(be16(post, 4)) << 16) | be16(post, 6));
            italic = int(fixed / 65536);
        }
        writeln(QStringLiteral("/FontBBox[%1 %2 %3 %4]")
                    .arg(scaled(bes16(head, 36)))
                    .arg(scaled(bes16(head, 38)))
                    .arg(scaled(bes16(head, 40)))
                    .arg(scaled(bes16(head, 42))));
        writeln(QStringLiteral("/Flags 4/Ascent %1/Descent %2/ItalicAngle %3>>")
                    .arg(scaled(ascent))
                    .arg(scaled(descent))
                    .arg(italic));
    } else {
        // Without outline metrics the descriptor comes from the plain text metrics.
        writeln(QStringLiteral("/FontBBox[0 0 %1 %2]")
                    .arg(Trunc(metrics.maxWidth() * s))
                    .arg(Trunc(metrics.height() * s)));
        writeln(QStringLiteral("/Flags 4/Ascent %1/Descent %2>>")
                    .arg(Trunc(metrics.ascent() * s))
                    .arg(Trunc(metrics.descent() * s)));
    }
    writeln(QStringLiteral("/FirstChar ") + number(first));
    writeln(QStringLiteral("/LastChar ") + number(last));
    QString widths = QStringLiteral("/Widths [");
    for (int code = first; code <= last; ++code) {
        const char byte = char(code);
        const int advance = metrics.horizontalAdvance(fromAnsi(QByteArrayView(&byte, 1)));
        widths += (outline ? PdfNumber(advance * s) : number(Trunc(advance * s))) + QLatin1Char(' ');
    }
    write(widths);
    writeln(QStringLiteral("]"));
    EndObj();
}

// ---- Pictures

QString TPDFCanvas::cmLine(int x1, int y1, int x2w, int y2w) const {
    const int a = x2w > 0 ? x2w - 1 : x2w + 1;
    const int d = y2w > 0 ? y2w - 1 : y2w + 1;
    return QStringLiteral("%1 0 0 %2 %3 %4 cm").arg(a).arg(d).arg(x1).arg(PageHeight - y1 - d - 1);
}

void TPDFCanvas::DrawDIB(int x1, int y1, int x2w, int y2w, const dib& di, int, int, int xx2w, int yy2w) {
    drawPicture(x1, y1, x2w, y2w, di, nullptr, xx2w, yy2w);
}

void TPDFCanvas::DrawDIB(int x1, int y1, int x2w, int y2w, dib&& di, int, int, int xx2w, int yy2w) {
    drawPicture(x1, y1, x2w, y2w, di, &di, xx2w, yy2w);
}

void TPDFCanvas::drawPicture(int x1, int y1, int x2w, int y2w, const dib& di, dib* owned, int xx2w,
                             int yy2w) {
    if (!m_isincreation)
        return;
    const dib* use = &di;
    dib converted;
    const int bits = dibbitcount(di);
    const int w = dibwidth(di);
    const int h = dibheight(di);
    // 4- and 8-bit pictures are stored as 24-bit ones, their palette looked up.
    if (di.poi && (bits == 4 || bits == 8) && newdib(converted, w, h, 24, nullptr, 0)) {
        for (int row = 0; row < h; ++row) {
            const quint8* src = di.poi + qint64(row) * di.bytew;
            quint8* dst = converted.poi + qint64(row) * converted.bytew;
            for (int x = 0; x < w; ++x, dst += 3) {
                const int index = bits == 8 ? src[x] : (x % 2 == 0 ? src[x / 2] >> 4 : src[x / 2] & 0x0F);
                const PALETTEENTRY& p = di.pal.rgb0[std::size_t(index)];
                dst[0] = p.blue;
                dst[1] = p.green;
                dst[2] = p.red;
            }
        }
        use = &converted;
    }
    const int useBits = dibbitcount(*use);
    if (!(useBits >= 24 || useBits == 1) || x2w == 0 || y2w == 0 || xx2w == 0 || yy2w == 0)
        return;
    writeln(QStringLiteral("q"));
    writeln(cmLine(x1, y1, x2w, y2w));
    writeln(QStringLiteral("/Im%1 Do").arg(m_images.size()));
    PictureEntry entry;
    if (usetempfileforimages) {
        dib job; // the picture the worker takes over
        if (compressInBackground && useBits == 24 && use->poi) {
            if (use == &converted)
                job = std::move(converted);
            else if (owned)
                job = std::move(*owned);
            else if (newdib(job, w, h, 24, nullptr, 0))
                std::memcpy(job.poi, use->poi, std::size_t(qint64(h) * use->bytew));
        }
        if (job.poi) {
            finishPreparing(kMostPreparing);
            throwWorkerFailure();
            entry.tempFile = newTemporaryFile(QStringLiteral("picture"), QStringLiteral(".zlib"));
            entry.prepared = true;
            entry.width = w;
            entry.height = h;
            entry.cmyk = compressasCMYK;
            entry.predictor = usePredictor;
            auto prepare = [this, picture = std::move(job), file = entry.tempFile, cmyk = entry.cmyk,
                            predictor = entry.predictor]() mutable -> qint64 {
                QByteArray data;
                pixelBytes(picture, cmyk, data);
                const int rows = dibheight(picture);
                freedib(picture);
                if (predictor) {
                    const qsizetype rowBytes = data.size() / std::max(rows, 1);
                    QByteArray filtered((rowBytes + 1) * rows, Qt::Uninitialized);
                    upFilterRows(reinterpret_cast<const quint8*>(data.constData()), rowBytes, rows,
                                 reinterpret_cast<quint8*>(filtered.data()));
                    data = std::move(filtered);
                }
                const QByteArray compressed = zlibCompress(data.constData(), data.size(), kPictureLevel);
                data = QByteArray();
                writeStreamFile(file, compressed);
                return compressed.size();
            };
            m_preparing.push_back({m_images.size(), std::async(std::launch::async, std::move(prepare))});
        } else if (use->poi) {
            throwWorkerFailure();
            entry.tempFile = newTemporaryFile(QStringLiteral("picture"), QStringLiteral(".bmp"));
            if (!SaveTemporaryDib(*use, entry.tempFile))
                throw Error::text(kNotWritten, entry.tempFile);
        }
    } else if (use->poi) {
        const int colors = useBits <= 8 ? (1 << useBits) : 0;
        if (newdib(entry.picture, w, h, useBits, use->pmi.get(), colors))
            std::memcpy(entry.picture.poi, use->poi, std::size_t(qint64(h) * use->bytew));
        else if (m_prompts)
            m_prompts->message(kOutOfMemory, QString(), Prompts::Icon::Error);
    }
    m_images.push_back(std::move(entry));
    writeln(QStringLiteral("Q"));
}

TPDFCanvas::Worker& TPDFCanvas::freeWorker(std::size_t workers) {
    finishPreparing(workers);
    throwWorkerFailure();
    for (const std::unique_ptr<Worker>& w : m_workers) {
        const bool busy = std::any_of(m_preparing.begin(), m_preparing.end(),
                                      [&](const Preparing& p) { return p.worker == w.get(); });
        if (!busy)
            return *w;
    }
    m_workers.push_back(std::make_unique<Worker>());
    return *m_workers.back();
}

void TPDFCanvas::DrawPageImage(int x1, int y1, int x2w, int y2w, const QImage& page) {
    if (!m_isincreation)
        return;
    if (!usetempfileforimages || page.format() != QImage::Format_RGB32) {
        dib picture;
        if (!page.isNull() && !dibFromImage(picture, page))
            throw Error::text(kOutOfMemory);
        DrawDIB(x1, y1, x2w, y2w, std::move(picture), 0, 0, page.width(), page.height());
        return;
    }
    const int w = page.width();
    const int h = page.height();
    if (page.isNull() || x2w == 0 || y2w == 0)
        return;
    // Overlap needs a second core; on one, the worker would only take turns with the caller.
    const bool background = compressInBackground && m_cores > 1;
    const std::size_t workers = background ? std::min<std::size_t>(std::size_t(m_cores), kMostPreparing) : 1;
    writeln(QStringLiteral("q"));
    writeln(cmLine(x1, y1, x2w, y2w));
    writeln(QStringLiteral("/Im%1 Do").arg(m_images.size()));
    PictureEntry entry;
    entry.tempFile = newTemporaryFile(QStringLiteral("picture"), QStringLiteral(".zlib"));
    entry.prepared = true;
    entry.width = w;
    entry.height = h;
    entry.cmyk = compressasCMYK;
    entry.predictor = usePredictor;
    Worker* worker = nullptr;
    const qsizetype rowBytes = qsizetype(w) * (entry.cmyk ? 4 : 3);
    try {
        worker = &freeWorker(workers);
        // One pass from the page's rows, top first, to the file's bytes.
        worker->pixels.resize(rowBytes * h);
        auto* out = reinterpret_cast<quint8*>(worker->pixels.data());
        for (int r = 0; r < h; ++r, out += rowBytes) {
            const auto* row = reinterpret_cast<const QRgb*>(page.constScanLine(r));
            if (!entry.cmyk)
                pageRowToRgb(row, w, out);
            else
                m_cmyk->convertRgb32Row(row, out, w);
        }
    } catch (const std::bad_alloc&) {
        throw Error::text(kOutOfMemory);
    }
    if (background) {
        auto prepare = [worker, rowBytes, h, predictor = entry.predictor, file = entry.tempFile]() -> qint64 {
            return worker->prepare(rowBytes, h, predictor, file);
        };
        m_preparing.push_back({m_images.size(), std::async(std::launch::async, std::move(prepare)), worker});
    } else {
        try {
            entry.length = worker->prepare(rowBytes, h, entry.predictor, entry.tempFile);
        } catch (const std::bad_alloc&) {
            throw Error::text(kOutOfMemory);
        }
    }
    m_images.push_back(std::move(entry));
    writeln(QStringLiteral("Q"));
}

void TPDFCanvas::DrawDIBOfImageNr(int x1, int y1, int x2w, int y2w, int imageNR, int, int, int xx2w,
                                  int yy2w) {
    if (!m_isincreation || x2w == 0 || y2w == 0 || xx2w == 0 || yy2w == 0)
        return;
    writeln(QStringLiteral("q"));
    writeln(cmLine(x1, y1, x2w, y2w));
    writeln(QStringLiteral("/Im%1 Do").arg(imageNR));
    writeln(QStringLiteral("Q"));
}

void TPDFCanvas::writeImageObject(int width, int height, const QByteArray& data, bool cmyk) {
    if (!usePredictor) {
        writeCompressedImageObject(width, height, zlibCompress(data.constData(), data.size(), kPictureLevel),
                                   cmyk, false);
        return;
    }
    const qsizetype rowBytes = qsizetype(width) * (cmyk ? 4 : 3);
    QByteArray filtered((rowBytes + 1) * height, Qt::Uninitialized);
    upFilterRows(reinterpret_cast<const quint8*>(data.constData()), rowBytes, height,
                 reinterpret_cast<quint8*>(filtered.data()));
    writeCompressedImageObject(
        width, height, zlibCompress(filtered.constData(), filtered.size(), kPictureLevel), cmyk, true);
}

void TPDFCanvas::writeCompressedImageObject(int width, int height, const QByteArray& compressed, bool cmyk,
                                            bool predictor) {
    StartObj();
    writeln(QStringLiteral("<<"));
    writeln(QStringLiteral("/Type /XObject /Subtype /Image"));
    writeln(QStringLiteral("/Width %1 /Height %2 /BitsPerComponent 8").arg(width).arg(height));
    writeln(QStringLiteral("/Length %1 /ColorSpace %2 /Filter /FlateDecode")
                .arg(compressed.size())
                .arg(cmyk ? QStringLiteral("/DeviceCMYK") : QStringLiteral("/DeviceRGB")) +
            (predictor ? predictorParameters(width, cmyk) : QString()));
    writeln(QStringLiteral(">>"));
    writeln(QStringLiteral("stream"));
    writeBytes(compressed.constData(), compressed.size());
    writeln(QStringLiteral("endstream"));
    CloseObj();
}

void TPDFCanvas::writeWhitePixel() {
    // An entry without pixels still gets its object, so that the numbers of the objects
    // after it and the cross-reference table stay right.
    writeImageObject(1, 1, QByteArray(3, char(0xFF)), false);
}

void TPDFCanvas::writePictureObject(PictureEntry& entry) {
    if (entry.prepared) {
        writePreparedObject(entry);
        return;
    }
    dib loaded;
    const dib* picture = &entry.picture;
    if (usetempfileforimages) {
        // An entry without a file never had pixels; one whose file cannot be read back
        // must not turn into a blank picture.
        if (!entry.tempFile.isEmpty()) {
            OpenTemporaryDib(loaded, entry.tempFile);
            if (!loaded.poi)
                throw Error::text(kNotReadBack, entry.tempFile);
        }
        picture = &loaded;
    }
    if (!picture->poi) {
        writeWhitePixel();
        return;
    }
    if (dibbitcount(*picture) == 1) {
        writeCcittObject(*picture);
        return;
    }
    // One buffer serves every picture of the document: full pages are large, and fresh
    // memory for each would cost more than the conversion.
    pixelBytes(*picture, compressasCMYK, m_pixelBuffer);
    const int w = dibwidth(*picture);
    const int h = dibheight(*picture);
    freedib(loaded);
    writeImageObject(w, h, m_pixelBuffer, compressasCMYK);
}

void TPDFCanvas::writePreparedObject(const PictureEntry& entry) {
    QFile f(entry.tempFile);
    QByteArray compressed;
    if (entry.length >= 0 && f.open(QIODevice::ReadOnly))
        compressed = f.readAll();
    if (entry.length < 0 || compressed.size() != entry.length)
        throw Error::text(kNotReadBack, entry.tempFile);
    writeCompressedImageObject(entry.width, entry.height, compressed, entry.cmyk, entry.predictor);
}

void TPDFCanvas::pixelBytes(const dib& picture, bool cmyk, QByteArray& data) const {
    const int w = dibwidth(picture);
    const int h = dibheight(picture);
    data.resize(qsizetype(w) * h * (cmyk ? 4 : 3));
    quint8* out = reinterpret_cast<quint8*>(data.data());
    for (int r = 0; r < h; ++r) {
        const quint8* src = picture.poi + qint64(h - 1 - r) * picture.bytew; // rows are stored bottom first
        if (cmyk) {
            m_cmyk->convertBgrRow(src, out, w);
            out += qint64(w) * 4;
        } else {
            for (int x = 0; x < w; ++x, src += 3, out += 3) {
                out[0] = src[2];
                out[1] = src[1];
                out[2] = src[0];
            }
        }
    }
}

void TPDFCanvas::finishPreparing(std::size_t busy) {
    while (!m_preparing.empty() && m_preparing.size() >= std::max<std::size_t>(busy, 1)) {
        Preparing& oldest = m_preparing.front();
        qint64 length = -1;
        // The first failure is kept for the caller; the entry is not written then.
        try {
            length = oldest.length.get();
        } catch (const std::bad_alloc&) {
            if (!m_workerFailure)
                m_workerFailure = std::make_exception_ptr(Error::text(kOutOfMemory));
        } catch (const Error&) {
            if (!m_workerFailure)
                m_workerFailure = std::current_exception();
        }
        if (oldest.index < m_images.size())
            m_images[oldest.index].length = length;
        m_preparing.pop_front();
    }
}

void TPDFCanvas::writeCcittObject(const dib& picture) {
    const int w = dibwidth(picture);
    const int h = dibheight(picture);
    // The encoder writes to a file of its own in the temporary folder, removed afterwards.
    const QString file = newTemporaryFile(QStringLiteral("ccitt"), QStringLiteral(".g4"));
    QByteArray data;
    bool ok = false;
    {
        CcittEncoder encoder;
        if (encoder.openccittfile(file)) {
            encoder.g4j_initialize(w, h);
            // Palette entry 0 light: a set bit is black; otherwise a set bit is white.
            const bool setIsBlack = picture.pal.rgb0[0].red != 0;
            for (int r = h - 1; r >= 0; --r) {
                const quint8* row = picture.poi + qint64(r) * picture.bytew;
                for (int x = 0; x < w; ++x) {
                    const bool set = (row[x / 8] >> (7 - x % 8)) & 1;
                    if (set == setIsBlack)
                        encoder.g4j_encode_black(1);
                    else
                        encoder.g4j_encode_white(1);
                }
                encoder.g4j_encode_new_row();
            }
            encoder.g4j_encode_EOFB();
            ok = encoder.closeccittfile();
        }
    }
    QFile in(file);
    if (ok && in.open(QIODevice::ReadOnly)) {
        data = in.readAll();
        in.close();
    } else {
        ok = false;
    }
    QFile::remove(file);
    if (!ok)
        throw Error::text(kNotWritten, file);
    StartObj();
    writeln(QStringLiteral("<<"));
    writeln(QStringLiteral("/Type /XObject /Subtype /Image"));
    writeln(QStringLiteral("/Width %1 /Height %2 /BitsPerComponent 1").arg(w).arg(h));
    writeln(QStringLiteral("/Length %1 /ColorSpace /DeviceGray /Filter /CCITTFaxDecode /DecodeParms <</K -1 "
                           "/Columns %2 /Rows %3>>")
                .arg(data.size())
                .arg(w)
                .arg(h));
    writeln(QStringLiteral(">>"));
    writeln(QStringLiteral("stream"));
    writeBytes(data.constData(), data.size());
    writeln(QStringLiteral("endstream"));
    writeln(QStringLiteral("endobj"));
}

} // namespace pw
