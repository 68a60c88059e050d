#pragma once

// What every export that renders whole pages shares: the engine call for a page bitmap and
// the bitmap itself.

#include "compose/engine.h"
#include "imagelib/PicIO3.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <functional>

namespace pw {

// The call for pages rendered into a bitmap of `bitmap` pixels at dpi, as for printing:
// zoom 100, no preview fill, and the printer's page in millimetres (printable pixels /
// horizontal resolution * 25.39995), whatever size the bitmap has.
EngineCall ExportCall(int dpi, QSize bitmap, QSize printerPixels, int printerDpi);

// The printer's page at another resolution: printable pixels * dpi div printer dpi.
QSize ScaledPageSize(QSize printerPixels, int printerDpi, int dpi);

// The most pixels a page bitmap may have (1.6 GB as 32-bit pixels, with the 24-bit copy an
// export makes of each page about 2.8 GB).
constexpr qint64 kMostPagePixels = 400'000'000;

// Whether a page of `size` pixels can be drawn: not empty and at most kMostPagePixels.
bool PageBitmapFits(QSize size);

// The highest resolution from 1 to `upTo` dots per inch at which the page `pageAt` gives
// for a resolution still fits a page bitmap; 0 when none does. `pageAt` must not shrink
// as the resolution grows. The commands state this as the limit of their --dpi option.
int HighestPageDpi(const std::function<QSize(int dpi)>& pageAt, int upTo);

// A page bitmap of that size. Throws pw::Error naming `file` when the size is empty or too
// large to hold.
QImage NewPageBitmap(QSize size, const QString& file);
// The rendered page as a 24-bit picture that records `dpi`, the resolution it was drawn at
// (0: none recorded); throws like NewPageBitmap when it cannot be held.
dib PagePicture(const QImage& page, const QString& file, int dpi = 0);

// What a cancelled export tells the user: the PDF export removes its unfinished file; the
// exports that write a file per page leave the pages written so far in `where`.
QString CancelledExportText(bool pagesKept, const QString& where);

} // namespace pw
