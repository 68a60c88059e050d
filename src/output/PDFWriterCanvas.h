#pragma once

// TPDFCanvas writes a PDF 1.3 file. It behaves like a drawing surface whose unit is the PDF
// point (1/72 inch), with integer coordinates from the top-left corner of the page and y
// growing downwards; it flips y itself. Each page's content stream is collected in memory
// and compressed when the page ends; fonts, the page tree, the catalog, the pictures, the
// cross-reference table and the trailer follow in EndDoc.
//
// Call order: construct; optionally set PageWidth, PageHeight, compressasCMYK and
// usetempfileforimages; BeginDoc; drawing, with NewPage between pages; EndDoc. The size of
// a page is taken when the page ends, so it may change between pages. The destructor
// finishes an open document and deletes the temporary picture files.
//
// The document goes to a temporary file beside the target, which EndDoc renames over the
// target once everything is written and synced; until then the file that was there stays
// as it was, and AbortDoc, a failure or a killed process never touches it. (A target that
// is not a regular file, such as a device, is written directly.)
//
// A write that fails (a full disk, a file removed) throws pw::Error with message 49 and the
// file name; the target is then left as it was.
//
// Temporary picture files live in a private folder of the document (created in the system
// temporary folder with mode 0700 when the first one is needed, removed with everything in
// it when the document ends, whatever the end). Each file is created exclusively under a
// fresh name with mode 0600, so two documents never share one and no planted link is
// followed. A picture that cannot be written there or read back (a full or unwritable
// temporary folder) throws pw::Error naming the file; the document never shows a blank
// picture in its place. Only an entry that never had pixels (memory ran out while copying
// it) is written as one white pixel.
//
// With compressInBackground (and temporary files), a picture handed over with DrawDIB or
// DrawPageImage is compressed on a worker thread while the caller goes on (rendering the
// next page, say); EndDoc then copies the finished streams. The file is byte for byte the
// one the writer makes without it. There are as many workers as the process may use cores
// (UsableCores), at most two, so memory stays bounded; with one core the pictures are
// compressed on the calling thread, where nothing has to wait for a thread that shares the
// core. A failure on the worker is thrown by the next DrawDIB, DrawPageImage or EndDoc.
//
// Each worker converts and compresses in buffers of its own, allocated for the first
// picture and reused for every later one, so that a long export does not ask the system for
// fresh memory (and take its page faults) page after page.
//
// With usePredictor the 24- and 32-bit pictures are compressed with the PNG "Up" row
// predictor: each row is stored as its difference to the row above, which photos and
// smooth areas compress into clearly fewer bytes. The pictures' pixels are the same.

#include "imagelib/PicIO3.h"
#include "model/orvanto.h"
#include "model/services.h"
#include "model/settings.h"
#include "model/usablecores.h"

#include <QByteArray>
#include <QFileDevice>
#include <QPoint>
#include <QString>

#include <algorithm>
#include <deque>
#include <exception>
#include <future>
#include <memory>
#include <vector>

class QImage;
class QTemporaryDir;

namespace pw {

class CmykConversion;
class PainterCanvas;

// Pen styles of the writer: 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot, 5 clear,
// 6 inside-frame, 7 and 8 others.
struct PdfPen {
    quint32 color = 0; // 0x00BBGGRR
    qint32 width = 1;
    quint8 style = 0;
};
constexpr quint8 kPdfPenClear = 5;

// Brush style 1 is clear; every other style fills.
struct PdfBrush {
    quint32 color = 0x00FFFFFF;
    quint8 style = 0;
};
constexpr quint8 kPdfBrushClear = 1;

// Converts one RGB pixel to C, M, Y, K.
using TRGBTOCMYK = void (*)(quint8 r, quint8 g, quint8 b, quint8& c, quint8& m, quint8& y, quint8& k);
// C = 255 - R, M = 255 - G, Y = 255 - B, then the smallest of the three as K, taken off
// each of them.
inline void RGBToCMYKSimple(quint8 r, quint8 g, quint8 b, quint8& c, quint8& m, quint8& y, quint8& k) {
    c = quint8(255 - r);
    m = quint8(255 - g);
    y = quint8(255 - b);
    k = std::min(c, std::min(m, y));
    c = quint8(c - k);
    m = quint8(m - k);
    y = quint8(y - k);
}

// Numbers as the file writes them: rounded to 15 significant digits, without exponent and
// trailing zeros, with "." whatever the locale.
QString PdfNumber(double v);
// The locale's decimal comma as a point.
QString CommaToPoint(QString s);
// A text for a PDF string in parentheses: "\", "(" and ")" escaped, line feed, carriage
// return, tab, backspace and form feed as \n \r \t \b \f, other characters below 32 in
// octal (\001); everything else unchanged.
QString EscapePDFString(const QString& s);
// A font name as a PDF name: characters 33..126 as themselves except # % ( ) / < > [ ] { },
// which, like every other character, are written as "#" and two or more hexadecimal
// digits (code 0 is dropped); ",Bold", ",Italic" or ",BoldItalic" by the style.
QString PDFFontName(const QString& name, quint8 style);

class TPDFCanvas {
public:
    // programFolder holds the optional CMYK profile; prompts shows "Could not get file
    // position" (may be null: the message is then dropped).
    explicit TPDFCanvas(const QString& programFolder = QString(), Prompts* prompts = nullptr);
    ~TPDFCanvas();
    TPDFCanvas(const TPDFCanvas&) = delete;
    TPDFCanvas& operator=(const TPDFCanvas&) = delete;

    // Starts the document for the file fname and writes its start; false when the file
    // cannot be created (nothing else changes).
    bool BeginDoc(const QString& fname);
    void NewPage();
    // Writes everything after the last page and puts the file in place of the target.
    // Throws pw::Error (message 49 with the file name) when a write failed, or the error of
    // a temporary picture; the target is then untouched.
    void EndDoc();
    // Drops an open document without writing anything more: the target stays as it was and
    // the temporary files are removed.
    void AbortDoc();

    void MoveTo(int xp, int yp) { penpos = QPoint(xp, yp); }
    void LineTo(int xp, int yp);
    void FillRect(int x1, int y1, int x2, int y2);
    void Rectangle(int x1, int y1, int x2, int y2);
    void TextOut(int x, int y, const QString& text);
    int TextWidth(const QString& text);
    int TextHeight(const QString& text);

    // Places the whole picture in the page rectangle (x1, y1, x2w wide, y2w high, points)
    // and keeps a copy for EndDoc. 4- and 8-bit pictures are stored as 24-bit ones. The
    // source rectangle only has to have a non-zero size.
    void DrawDIB(int x1, int y1, int x2w, int y2w, const dib& di, int xx1, int yy1, int xx2w, int yy2w);
    // The same for a picture the writer may keep instead of copying it.
    void DrawDIB(int x1, int y1, int x2w, int y2w, dib&& di, int xx1, int yy1, int xx2w, int yy2w);
    // Places a rendered page, a 32-bit image (Format_RGB32), as a picture in the page
    // rectangle; the file gets the bytes DrawDIB gives for the page's 24-bit picture. The
    // pixels are converted to the file's colours and row order in one pass into a buffer of
    // the writer's before this returns, so the caller may draw the next page into the image
    // at once. Needs usetempfileforimages; without it, or for another image format, the page
    // goes through DrawDIB. Throws pw::Error when memory runs out.
    void DrawPageImage(int x1, int y1, int x2w, int y2w, const QImage& page);
    // Places picture imageNR (0-based, placed earlier in this document) again.
    void DrawDIBOfImageNr(int x1, int y1, int x2w, int y2w, int imageNR, int xx1, int yy1, int xx2w,
                          int yy2w);

    // Appends text in Windows-1252 ("?" for what it cannot hold), to the file or, inside
    // a page, to its content stream; writeln adds a line feed.
    void write(const QString& s);
    void writeln(const QString& s);

    bool isOpen() const { return m_isincreation; }
    int pictureCount() const { return int(m_images.size()); }

    qint32 PageWidth = 595;
    qint32 PageHeight = 841;
    PdfPen pen;
    PdfBrush brush;
    FontSpec font; // size in points, 72 pixels per inch
    QPoint penpos;
    bool compressasCMYK = false;
    bool usetempfileforimages = false;
    bool compressInBackground = false; // with usetempfileforimages
    bool usePredictor = false;         // the PNG "Up" predictor for 24- and 32-bit pictures
    // The profile transform is in use (a CMYK profile was found and works).
    bool uselcms() const;

private:
    struct ObjectEntry {
        qint64 offset = 0;
        qint32 generation = 0;
        bool free = false;
    };
    struct PageEntry {
        qint32 width;
        qint32 height;
    };
    struct FontEntry {
        QString name;
        quint8 style;
    };
    struct PictureEntry {
        dib picture;      // the writer's own copy (empty with temporary files)
        QString tempFile; // with usetempfileforimages
        // Prepared in the background: the temporary file holds the compressed stream.
        bool prepared = false;
        int width = 0;
        int height = 0;
        bool cmyk = false;
        bool predictor = false;
        qint64 length = -1; // of the stream; -1 when it could not be written
    };
    struct Worker; // the buffers one picture is prepared in

    void writeBytes(const char* data, qint64 size);
    void writeLine(const QByteArray& line);
    qint64 filePosition();
    int StartObj();
    int BeginObj();
    void EndObj();
    void CloseObj();
    void BeginPageStream();
    void EndPageStream();
    void SetPen();
    void SetBrush();
    void SetFont();
    int GetFontNr(const QString& name, quint8 style);
    void writeFontObject(const FontEntry& entry);
    void writePictureObject(PictureEntry& entry);
    void writeImageObject(int width, int height, const QByteArray& data, bool cmyk);
    void writeCompressedImageObject(int width, int height, const QByteArray& compressed, bool cmyk,
                                    bool predictor);
    void writePreparedObject(const PictureEntry& entry);
    // The picture's rows, top first, as RGB or CMYK bytes.
    void pixelBytes(const dib& picture, bool cmyk, QByteArray& data) const;
    void drawPicture(int x1, int y1, int x2w, int y2w, const dib& di, dib* owned, int xx2w, int yy2w);
    // A worker that prepares nothing now, after waiting for the oldest picture when all are
    // busy; made on first use.
    Worker& freeWorker(std::size_t workers);
    // Waits for the pictures being prepared (all, or the oldest until fewer than `busy` are
    // left) and records their results.
    void finishPreparing(std::size_t busy = 0);
    void writeCcittObject(const dib& picture);
    void writeWhitePixel();
    QString rgb(quint32 color) const;
    QString cmLine(int x1, int y1, int x2w, int y2w) const;
    void releasePictures();
    // A new, empty file of the private temporary folder (created on first use); throws
    // pw::Error when the folder or the file cannot be created.
    QString newTemporaryFile(const QString& prefix, const QString& suffix);
    // Removes the private temporary folder with everything in it.
    void removeTemporaryFiles();
    // Throws the first failure the worker met, if any.
    void throwWorkerFailure();
    // Closes the output and leaves the target as it was.
    void discardOutput();

    QString m_fileName;
    std::unique_ptr<QFileDevice> m_f; // a QSaveFile, or a QFile for a target that is no regular file
    std::unique_ptr<QTemporaryDir> m_tempFolder;
    std::exception_ptr m_workerFailure;
    Prompts* m_prompts;
    std::vector<ObjectEntry> m_objs;
    std::vector<PageEntry> m_pageProps;
    std::vector<FontEntry> m_fontList;
    std::vector<PictureEntry> m_images;
    struct Preparing {
        std::size_t index;          // in m_images
        std::future<qint64> length; // of the compressed stream, -1 when it was not written
        Worker* worker = nullptr;   // whose buffers it uses (null: buffers of its own)
    };
    std::vector<std::unique_ptr<Worker>> m_workers;
    int m_cores = 1; // UsableCores when the document began
    std::deque<Preparing> m_preparing;
    qint32 m_rootObjNr = 0;
    qint32 m_procobjsnr = 0;
    qint32 m_pageobjnr = 0;
    qint32 m_parentnr = 0;
    qint32 m_fontobjnr = 0;
    qint32 m_apages = 0;
    qint64 m_startstream = 0;
    qint64 m_endstream = 0;
    qint32 m_ofontnr = 0;
    qint32 m_ofontsize = 0;
    bool m_fontsetted = false;
    bool m_brushsetted = false;
    bool m_pensetted = false;
    bool m_nofill = false;
    bool m_noline = false;
    bool m_isincreation = false;
    bool m_instream = false;
    PdfPen m_open;
    PdfBrush m_oBrush;
    QByteArray m_streambuf;
    QByteArray m_pixelBuffer;                  // a picture's pixels while it is encoded
    std::unique_ptr<PainterCanvas> m_mycanbit; // measuring surface at 72 pixels per inch

    // Colour management: the CMYK profile, or the simple formula.
    std::unique_ptr<CmykConversion> m_cmyk;
};

} // namespace pw
