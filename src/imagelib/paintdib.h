#pragma once

// Drawing pictures on a canvas: PaintDib clips the source rectangle, then chooses between
// halftoning for palette screens, a row-by-row stretch for screens and images, and one
// whole-picture stretch for printers and 1- or 4-bit pictures. Stretching drops or repeats
// rows and columns (nearest neighbour) and never blends. The raster operation is always a
// plain copy.
//
// Source rectangles are given the way the rows are stored: srcY counts rows from the
// bottom of the picture. The row functions take srcTop, counted from the top.

#include "PicIO3.h"

class QPainter;

namespace pw {

// Quotient n / d rounded to the nearest integer, halves to even; d must not be 0.
int RoundHalfEven(qint64 n, qint64 d);

// Draws the source rectangle (srcX, srcY, srcW, srcH) of the picture into the destination
// (x, y, dstW, dstH) on a painter; rasterPrinter says whether it paints on a raster
// printer. Nothing is drawn for an empty picture or a rectangle that is empty after
// clipping to the picture. (Canvas users call the PaintDib of compose/canvas.h.)
void PaintDib(QPainter& painter, bool rasterPrinter, int x, int y, int dstW, int dstH, const dib& picture,
              int srcX, int srcY, int srcW, int srcH, bool halftone);

// Stretches a 24-bit (PaintDibRows) or 8-bit (PaintDibRows8) picture row by row: each
// destination row r shows source row srcTop + srcH * r / dstH (from the top), each column
// i source column srcX + srcW * i / dstW. Parts that fall outside the picture stay black.
void PaintDibRows(QPainter& painter, int x, int y, int dstW, int dstH, const dib& picture, int srcX,
                  int srcTop, int srcW, int srcH);
void PaintDibRows8(QPainter& painter, int x, int y, int dstW, int dstH, const dib& picture, int srcX,
                   int srcTop, int srcW, int srcH);

// The stretch for devices that cannot stretch themselves: a dstW x dstH picture of the
// source's depth and colour table, filled by nearest neighbour from the source rectangle
// (srcY from the bottom). False, with out empty, when the picture cannot be made.
bool StretchDibNearest(dib& out, const dib& picture, int srcX, int srcY, int srcW, int srcH, int dstW,
                       int dstH);
// Draws the source rectangle stretched by StretchDibNearest, unscaled at (x, y).
void PaintDibStretchedByHand(QPainter& painter, int x, int y, int dstW, int dstH, const dib& picture,
                             int srcX, int srcY, int srcW, int srcH);

} // namespace pw
