#pragma once

// The HTML flip catalogue: a folder with catalog.htm (made from the template flippages.htm
// delivered with the program), its six navigation pictures, and two JPEG pictures of every
// page: one with shaded edges, and a "flip" one that also shows a turned-up corner. The page
// turning itself is done by the template in the browser.

#include "compose/engine.h"
#include "imagelib/PicIO3.h"
#include "model/programfolders.h"
#include "model/services.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

namespace pw {

class TranslationStore;

// The resolution of the sharp pages unless the user chooses another.
inline constexpr int kFlipZoomDpi = 150;

struct FlipExportSettings {
    QSize printerPixels{4960, 7016}; // the printer's printable page
    int printerDpi = 600;            // its horizontal resolution, used for both sides
    int dpi = 50;                    // ResEd
    int quality = 95;                // JPEG quality, 100 - CompressEd
    // The sharp pages for high-density screens and zooming: a second picture of every page
    // at this resolution. Written only when it is above `dpi`; 0 turns them off.
    int zoomDpi = kFlipZoomDpi;
};

// Every word the template shows, in the user's language: the four buttons of messages 39
// to 42, the catalogue's name (message 44), the labels of the tool bar and the zoom
// buttons, the pages as a screen reader announces them ("%1" and "%2" stand for page
// numbers), the hint shown without JavaScript, the search field with its count of hits
// ("%1") or their absence, the button and panel of the page thumbnails, the word on the
// buttons that close a panel, and the page's language code.
struct FlipTexts {
    QString back = QStringLiteral("Zurück");
    QString forward = QStringLiteral("Vorwärts");
    QString firstPage = QStringLiteral("Erste Seite");
    QString lastPage = QStringLiteral("Letzte Seite");
    QString catalogue = QStringLiteral("Katalog");
    QString navigation = QStringLiteral("Blättern");
    QString zoomOut = QStringLiteral("Verkleinern");
    QString zoomIn = QStringLiteral("Vergrößern");
    QString page = QStringLiteral("Seite %1");
    QString pageOf = QStringLiteral("Seite %1 von %2");
    QString pagesOf = QStringLiteral("Seiten %1 und %2 von %3");
    QString noScript = QStringLiteral("Zum Blättern im Katalog bitte JavaScript einschalten.");
    QString search = QStringLiteral("Produkt oder Artikelnummer suchen");
    QString hits = QStringLiteral("%1 Treffer");
    QString noHits = QStringLiteral("Keine Treffer");
    QString thumbnails = QStringLiteral("Seitenübersicht");
    QString close = QStringLiteral("Schließen");
    QString language = QStringLiteral("de");
};

// The texts in the language of `texts` (German words it has no translation for stay German).
FlipTexts flipTextsIn(TranslationStore& texts);

// The navigation pictures the template uses, copied beside catalog.htm.
inline constexpr const char* kFlipPictures[] = {
    "vcr-end.gif",
    "vcr-next.gif",
    "vcr-previous.gif",
    "vcr-start.gif",
    "magnifying-glass-plus.gif",
    "magnifying-glass-minus.gif",
};

// The page count made even: one more for an odd count.
inline int EvenPageCount(int pages) {
    return pages % 2 == 1 ? pages + 1 : pages;
}

// The template with its placeholders replaced: "%%ANZPAGES%%" by the number of double
// pages, (pages + 1) div 2 + 1 for the even page count, and every other one by its text of
// FlipTexts, escaped for HTML.
QString FlipCatalogueHtml(const QString& htmlTemplate, int evenPages, const FlipTexts& texts);

// What else the page learns from the export: the width in pixels of the sharp pictures
// (0: none were written), and the products to search as a JSON text.
struct FlipPageData {
    int zoomWidth = 0;
    QByteArray products = QByteArrayLiteral("{}");
};
// The same, also filling "%%ZOOMWIDTH%%" and "%%PRODUCTS%%". The products are placed last
// and written so that no "<", ">", "&" or "%" stands in them: inside a script element
// nothing a product is named can end the element or look like a placeholder.
QString FlipCatalogueHtml(const QString& htmlTemplate, int evenPages, const FlipTexts& texts,
                          const FlipPageData& data);

// The products a customer can search, from the layout run the document last had, as
// compact JSON: {"categories": [names], "products": [{"name", "category" (index into
// categories), "page" (1 ... the page count, as the flip catalogue counts its pages),
// "variants": [{"cells": [texts], "prices": [texts]}]}]}. Deactivated categories and
// products are left out. Only what the pages print goes in: a variant is a row after the
// captions, its cells are the row's other cells as printed (the first one usually the
// article number, though catalogues put it in any column) and its prices the row's price
// cells; without variant tables on the pages there are no variants, without price columns
// no prices.
QByteArray FlipProductsJson(const CatalogDocument& doc);

// The folder beside catalog.htm that holds the sharp pictures "zoom<p>.jpg" and the
// thumbnails "thumb<p>.jpg" of the pages 1 ... last.
inline constexpr const char* kFlipExtraFolder = "catalogextras";
// About this wide are the thumbnails, in pixels.
inline constexpr int kFlipThumbnailWidth = 120;
QString FlipZoomFile(const QString& folder, int page);
QString FlipThumbnailFile(const QString& folder, int page);

// The edge shading of ShadePageEdges for a picture drawn `scale` times as finely as the
// base pictures: the bands are as wide on the page as theirs, so a sharp picture laid over
// a base picture shows the same shading. `image` is a 32-bit picture.
void ShadeScaledPageEdges(QImage& image, int page, double scale);

// a * c / 100 + (100 - a) * with / 100, rounded to the nearest whole number, halves to even.
int FlipBlend(int weight, int channel, int with = 128);
// The grey bands along a page's edges: 50 pixels along the spine (left on an odd, right-hand
// page), narrow ones along the other three edges. `picture` is a 24-bit picture.
void ShadePageEdges(dib& picture, int page);
// The turned-up corner at the page's outer bottom corner: an 80-pixel square made white with
// a grey diagonal band.
void TurnPageCorner(dib& picture, int page);

// The engine call for the pages (the page number still to set).
EngineCall FlipExportCall(const FlipExportSettings& settings);

// Copies a file and gives the copy the source's access and modification times; the copy
// replaces the target only when it is complete. A source that cannot be opened is skipped
// (false). Throws pw::Error: message 1 naming a source that cannot be read, message 49
// naming a target that cannot be written (the old target is then untouched).
bool CopyFileWithTime(const QString& source, const QString& target);

// Writes the flip catalogue of layout layoutCombo into `folder` (created with its parents):
// catalog.htm, the navigation pictures (a missing one is skipped), catalogpage0.jpg and the
// blank pages after the last one, and every page twice; in kFlipExtraFolder a thumbnail of
// every page and, when settings.zoomDpi is above settings.dpi, its sharp picture. The sharp
// pictures come from a second rendering at that resolution, made by a worker thread of its
// own over a copy of the document while this thread draws the base pictures; the call
// returns only when both are done. Progress is reported from the calling thread only,
// counting the pages of both renderings.
// The files are written complete beside their targets and replace them all at the end, so
// on a cancel (false) or an error the files in the folder stay as they were and no new or
// temporary file remains. Throws pw::Error: message
// 38 for an empty folder name, message 1 naming a template that cannot be read, message 49
// naming a file that cannot be written, a text when a page cannot be held in memory.
// Leaves anzpages at the last page written (even).
bool ExportFlipCatalogue(CatalogDocument& doc, int layoutCombo, EngineEnvironment& env,
                         const FlipExportSettings& settings, const ProgramFolders& program,
                         const QString& folder, const FlipTexts& texts, Progress& progress);

// The name of page p's picture in the folder ("catalogpage<p>.jpg", "catalogpageflip<p>.jpg").
QString FlipPageFile(const QString& folder, int page, bool flip);

} // namespace pw
