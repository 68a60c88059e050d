#pragma once

// Small catalogues for the layout engine tests and a way to run a page and read back what
// was drawn. Pages are A4 at 300 dpi, so that on the recording canvas (every character 10
// pixels wide, every line 20 pixels high) a text line is 20 pixels and 1.6933 mm.

#include "compose/engine.h"
#include "compose/units.h"

#include <QRegularExpression>

namespace pw::test {

inline EngineCall a4Call(int page, double zoom = 100, int dpi = 300) {
    EngineCall c;
    c.dpi = dpi;
    c.zoomedvalue = zoom;
    c.widthmm = 210;
    c.heightmm = 297;
    c.width = MmToPx(210, dpi, zoom);
    c.height = MmToPx(297, dpi, zoom);
    c.seiteedvalue = page;
    c.printit = true;
    return c;
}

// No header, footer, logo, background or border; margins of 10 mm; one description
// column; unjustified text; no table rules.
inline LayoutSettings plainSettings() {
    LayoutSettings s;
    s.KopfEd.clear();
    s.FussEd.clear();
    s.FussEd2.clear();
    s.Fuss2Ed.clear();
    s.LogoChecked = false;
    s.FilenameEdit1.clear();
    s.FilenameEdit2.clear();
    s.FilenameEdit3.clear();
    s.BackgroundColorCheck = false;
    s.RahmenCheck = false;
    s.LinksEd = s.RechtsEd = s.ObenEd = s.UntenEd = 10;
    s.RandBildEd = 2;
    s.LineWidthEd = 0.5;
    s.LineAddSpaceEd = 1;
    s.OnlyOneColumnCheck = true;
    s.ArtNotBlockCheck = true;
    s.LinesInVariantCheck = false;
    s.FirstPageNr = 1;
    return s;
}

// "<prefix> 0\n<prefix> 1\n..." : n lines however wide the column.
inline QString numberedLines(int n, const QString& prefix = QStringLiteral("Zeile")) {
    QStringList l;
    for (int i = 0; i < n; ++i)
        l.append(QStringLiteral("%1 %2").arg(prefix).arg(i));
    return l.join(QLatin1Char('\n'));
}

inline TProdukt& addProduct(CatalogDocument& doc, int kat, const QString& name, const QString& desc = {}) {
    TProdukt& p = *doc.products(kat).Add();
    SetProductTableDefaults(p);
    p.name = name;
    p.desc = desc;
    return p;
}

inline void setTable(TProdukt& p, const QList<QStringList>& rows) {
    for (const QStringList& cells : rows) {
        TVariante& row = *p.varianten.Add();
        for (const QString& text : cells)
            row.props.Add()->text = text;
    }
}

struct DrawnText {
    int x = 0;
    int y = 0;
    QString text;
};

// The texts a recording shows, in drawing order.
inline QList<DrawnText> drawnTexts(const QStringList& calls) {
    static const QRegularExpression re(QStringLiteral("^TextOut (-?\\d+) (-?\\d+) (.*)$"));
    QList<DrawnText> out;
    for (const QString& call : calls) {
        const QRegularExpressionMatch m = re.match(call);
        if (m.hasMatch())
            out.append({m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3)});
    }
    return out;
}

inline const DrawnText* findText(const QList<DrawnText>& texts, const QString& text) {
    for (const DrawnText& t : texts) {
        if (t.text == text)
            return &t;
    }
    return nullptr;
}

// Runs engine A for one page on a recording canvas; every call made is kept.
struct EngineRunner {
    FixedClock clock{QDate(2026, 12, 10)};
    EngineEnvironment env{clock, QLocale(QLocale::German, QLocale::Germany)};
    ViewState view;
    bool more = false;

    QStringList run(CatalogDocument& doc, const EngineCall& call, int layout = 0) {
        RecordingCanvas canvas;
        more = PaintLayout(layout, canvas, doc, view, env, call);
        return canvas.calls();
    }
    QList<DrawnText> texts(CatalogDocument& doc, int page, int layout = 0) {
        return drawnTexts(run(doc, a4Call(page), layout));
    }
};

} // namespace pw::test
