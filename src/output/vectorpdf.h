#pragma once

// The vector PDF: pages drawn as PDF operators instead of pixels. VectorPdfDocument writes
// the file; VectorPdfCanvas is the Canvas the layout engines draw a page of it through.
//
// The engines draw in the pixels of the raster export (the same engine call, the same
// resolution), so every page comes out with the same page breaks and every word, rule and
// picture in the place the raster page shows it. Each page's content stream starts with a
// matrix that maps those pixels (origin top left, y downwards) onto the page in points.
//
// - Text is text: every TextOut becomes glyphs of an embedded subset font (see pdffont.h),
//   each glyph placed at the pixel position the renderer gives it, so measuring and
//   drawing agree as they do on the raster page. A character the chosen font lacks is
//   taken from the font the renderer falls back to.
// - Lines, rectangles, frames, cell fills and bands are paths filled or stroked with exact
//   colours, as DeviceRGB or (with cmyk) DeviceCMYK through CmykConversion.
// - Pictures are image objects, each stored once however often it is drawn: a picture is
//   known by its file (while its pixels are the file's own) or else by its pixels. A JPEG
//   drawn unchanged is embedded as its own bytes (in RGB documents, and grey ones in
//   CMYK documents); every other picture is compressed without loss. A picture with more
//   than one and a half times the pixels a 300-dpi print of its placed size needs is
//   reduced to that.
// - Navigation: bookmarks (a tree of titles with their pages), links from rectangles of a
//   page to other pages, page labels counted from a first number, the title and creator.
// - The same input gives the same bytes: nothing depends on the time, the file name or
//   the order in which a hash lists its entries.
//
// The file is written to a temporary file beside the target and put in place only by
// finish(); until then, and after abort() or a failure, the previous file stays as it was.
// A write that fails throws pw::Error (message 49 with the file name).

#include "compose/canvas.h"
#include "output/cmykconversion.h"
#include "output/pdffont.h"

#include <QByteArray>
#include <QFileDevice>
#include <QHash>
#include <QRawFont>
#include <QRect>
#include <QString>

#include <map>
#include <memory>
#include <vector>

namespace pw {

struct VectorPdfOptions {
    bool cmyk = false;
    QString programFolder; // where an optional CMYK profile lives
    QString title;
    QString creator;
};

// An entry of the bookmark tree.
struct PdfBookmark {
    QString title;
    int page = 0; // 0-based page index
    std::vector<PdfBookmark> children;
};

class VectorPdfDocument {
public:
    // Creates the temporary file beside `file`; throws pw::Error 49 when it cannot.
    VectorPdfDocument(const QString& file, const VectorPdfOptions& options);
    // Abandons an unfinished document.
    ~VectorPdfDocument();
    VectorPdfDocument(const VectorPdfDocument&) = delete;
    VectorPdfDocument& operator=(const VectorPdfDocument&) = delete;

    // Starts a page of widthPt x heightPt points on which the drawing unit is one of
    // pixelWidth x pixelHeight pixels covering the page.
    void beginPage(int widthPt, int heightPt, int pixelWidth, int pixelHeight);
    // Completes the page begun last.
    void endPage();
    bool inPage() const { return m_inPage; }
    int pageCount() const { return int(m_pages.size()); }

    // The current page's content stream; drawing appends operators to it.
    QByteArray& content() { return m_content; }
    // A link on the current page from a rectangle in pixels to page `target` (0-based);
    // links to pages the document does not have are dropped when it is finished.
    void addLink(const QRect& area, int target);

    // The colour operators of a 0x00BBGGRR colour (system colours as ToQColor maps them),
    // for filling ("rg" / "k") or stroking ("RG" / "K").
    QByteArray fillColour(quint32 color) const;
    QByteArray strokeColour(quint32 color) const;

    // The resource name ("F3") of a font program for `font`, made on first use.
    QByteArray fontName(const QRawFont& font, PdfFontProgram** program);
    // The resource name ("Im2") of a picture placed `placedWidthPt` x `placedHeightPt`
    // points large, written to the file the first time it is needed at that size.
    QByteArray pictureName(const dib& picture, double placedWidthPt, double placedHeightPt);
    int pictureObjectCount() const { return m_pictureObjects; }

    void setBookmarks(std::vector<PdfBookmark> bookmarks) { m_bookmarks = std::move(bookmarks); }
    // Page labels: the first page is numbered `first`, the others count on from it.
    void setFirstPageNumber(int first) { m_firstNumber = first; }

    // Writes fonts, page tree, navigation and trailer and puts the file in place.
    void finish();
    // Drops the document; the target stays as it was.
    void abort();

    // Pixels to points on the current page.
    double pointsPerPixelX() const { return m_scaleX; }
    double pointsPerPixelY() const { return m_scaleY; }

private:
    struct Page {
        int width = 0;
        int height = 0;
        int contentObject = 0;
        std::vector<std::pair<QRectF, int>> links; // in points, PDF orientation
    };
    struct FontEntry {
        QByteArray name;
        std::unique_ptr<PdfFontProgram> program;
        int object = 0; // the font object, once written; 0 for a font never used
    };
    struct PictureEntry {
        QByteArray name;
        int object = 0;
        int width = 0; // pixels stored
        int height = 0;
        bool reduced = false;
    };

    int newObject();
    void beginObject(int number);
    void write(const QByteArray& bytes);
    void writeStreamObject(int number, const QByteArray& dictionary, const QByteArray& data);
    int pageObject(int index);
    void writePicture(PictureEntry& entry, const dib& picture, double placedWidthPt, double placedHeightPt);
    void writeFonts();
    int writeOutline(const std::vector<PdfBookmark>& entries, int parent, int* count);
    QByteArray textString(const QString& s) const;

    QString m_fileName;
    VectorPdfOptions m_options;
    std::unique_ptr<QFileDevice> m_file;
    CmykConversion m_cmyk;
    qint64 m_written = 0;
    std::vector<qint64> m_offsets; // by object number; 0 for one not yet written
    int m_pagesObject = 0;
    int m_resourcesObject = 0;
    std::vector<Page> m_pages;
    std::map<int, int> m_pageObjects; // page index -> reserved object number
    QByteArray m_content;
    bool m_inPage = false;
    double m_scaleX = 1;
    double m_scaleY = 1;
    std::vector<FontEntry> m_fonts;
    std::map<QString, std::size_t> m_fontIndex;                 // by family, style and weight
    std::map<QByteArray, std::vector<PictureEntry>> m_pictures; // by file or pixels
    int m_pictureObjects = 0;
    std::vector<PdfBookmark> m_bookmarks;
    int m_firstNumber = 1;
    bool m_finished = false;
};

// The canvas for the pages of a VectorPdfDocument. It measures exactly as PainterCanvas
// does (it holds one for measuring), and draws only while the document has a page open.
class VectorPdfCanvas final : public Canvas {
public:
    explicit VectorPdfCanvas(VectorPdfDocument& document);
    ~VectorPdfCanvas() override;

    void TextOut(int x, int y, const QString& text) override;
    int TextWidth(const QString& text) override;
    int TextHeight(const QString& text) override;
    void LineTo(int x, int y) override;
    void Rectangle(int x1, int y1, int x2, int y2) override;
    void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) override;
    bool isRasterPrinter() const override { return false; }
    QPainter* painter() override { return nullptr; }
    bool placePicture(int x, int y, int dstW, int dstH, const dib& picture, int srcX, int srcY, int srcW,
                      int srcH) override;

private:
    struct Glyph {
        int font = -1; // index into TextFont::programs; -1: nothing is drawn
        quint32 glyph = 0;
    };
    struct TextFont {
        FontSpec spec;
        QFont font;
        int ascent = 0;
        int height = 0;
        int underlinePos = 0;
        int strikeOutPos = 0;
        int lineWidth = 1;
        // The renderer makes the face up: the font file is a regular one.
        bool syntheticBold = false;
        bool syntheticItalic = false;
        QRawFont primary;
        std::vector<QRawFont> programs; // [0] the primary, then fallbacks
        QHash<char32_t, Glyph> glyphs;
    };
    TextFont& textFont();
    Glyph glyphFor(TextFont& f, char32_t c, const QString& text);
    void fill(double x1, double y1, double x2, double y2, quint32 color);
    void strokeSetup(int width, PenEnds ends);

    VectorPdfDocument& m_doc;
    std::unique_ptr<PainterCanvas> m_measure;
    std::vector<std::unique_ptr<TextFont>> m_fonts;
    TextFont* m_last = nullptr;
};

} // namespace pw
