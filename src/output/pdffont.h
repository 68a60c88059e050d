#pragma once

// A font of the vector PDF: the outlines of the font file the page renderer draws with (a
// QRawFont made from the QFont that MakeQFont gives), embedded as a subset that holds only
// the glyphs the document used. The subset keeps the font's own glyph numbers, so pages
// written before the subset exists can already name their glyphs: text is written as
// two-byte glyph numbers (Identity-H encoding), and the ToUnicode map built from the
// characters each glyph was used for makes it searchable and copyable.
//
// The subset is made by HarfBuzz's subsetter from the font's tables; fonts with TrueType
// outlines become CIDFontType2 fonts, fonts with CFF outlines OpenType font programs.

#include <QByteArray>
#include <QHash>
#include <QMap>
#include <QRawFont>
#include <QString>

namespace pw {

class PdfFontProgram {
public:
    explicit PdfFontProgram(const QRawFont& font);

    // Whether the font has outlines a PDF can embed (TrueType or CFF).
    bool hasOutlines() const { return m_trueType || m_cff; }
    bool isCff() const { return !m_trueType && m_cff; }
    // The font file's weight and slant, to tell whether the renderer had to make a bold or
    // italic face up from a regular one.
    bool isBold() const { return m_weight >= 600; }
    bool isItalic() const { return m_italicAngle != 0; }

    // Notes that `glyph` was used for `text` (the first text a glyph is used for is the one
    // copying gives back).
    void use(quint32 glyph, const QString& text);
    bool empty() const { return m_used.isEmpty(); }
    // The advance of a glyph in thousandths of the font size.
    double advance(quint32 glyph) const;

    // The embedded font program: the subset of the used glyphs, or the whole font when the
    // subsetter fails.
    QByteArray subsetProgram() const;
    // The PostScript name with a six-letter subset tag that depends only on the font and
    // the glyphs used ("ABCDEF+LiberationSans-Bold").
    QString subsetName() const;
    // The /W array of the used glyphs.
    QString widthArray() const;
    // The ToUnicode CMap.
    QByteArray toUnicodeMap() const;

    // Font descriptor values, in thousandths of the font size.
    int ascent() const { return scaled(m_ascent); }
    int descent() const { return scaled(m_descent); }
    int capHeight() const { return scaled(m_capHeight); }
    QString boundingBox() const;
    int flags() const;
    double italicAngle() const { return m_italicAngle; }

private:
    int scaled(int units) const { return m_unitsPerEm > 0 ? int(qint64(units) * 1000 / m_unitsPerEm) : 0; }
    QByteArray table(const char* tag) const;

    QRawFont m_font;
    QString m_postScriptName;
    QByteArray m_hmtx;
    int m_unitsPerEm = 1000;
    int m_metricsCount = 0;
    int m_ascent = 0;
    int m_descent = 0;
    int m_capHeight = 0;
    int m_bbox[4] = {0, 0, 0, 0};
    int m_weight = 400;
    double m_italicAngle = 0;
    bool m_fixedPitch = false;
    bool m_trueType = false;
    bool m_cff = false;
    QMap<quint32, QString> m_used; // glyph -> text, ordered for the width array and the map
};

} // namespace pw
