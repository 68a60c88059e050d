#pragma once

// Catalogue fixtures shared by the test folders: a little-endian byte builder for
// hand-made files, an older-format file built byte by byte, and a document in which every
// setting differs from its default.

#include "model/catalog.h"
#include "model/settingstable.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstring>

namespace pw::test {

// Appends little-endian values; written independently of the program's own writer so
// that the tests check the format, not the code against itself.
struct Le {
    QByteArray b;
    Le& i32(qint32 v) {
        for (int i = 0; i < 4; ++i)
            b.append(char((quint32(v) >> (8 * i)) & 0xFF));
        return *this;
    }
    Le& u32(quint32 v) { return i32(qint32(v)); }
    Le& byte(int v) {
        b.append(char(v));
        return *this;
    }
    Le& dbl(double v) {
        char raw[8];
        std::memcpy(raw, &v, 8);
        b.append(raw, 8);
        return *this;
    }
    Le& wstr(const QString& s) {
        i32(qint32(s.size()));
        for (QChar c : s) {
            b.append(char(c.unicode() & 0xFF));
            b.append(char(c.unicode() >> 8));
        }
        return *this;
    }
    // An 8-bit string given as its bytes.
    Le& astr(const QByteArray& s) {
        i32(qint32(s.size()));
        b.append(s);
        return *this;
    }
    Le& font(int charset, quint32 color, const QString& name, int pitch, int ppi, int size, int style) {
        byte(charset).u32(color).byte(int(name.size()));
        for (QChar c : name) {
            b.append(char(c.unicode() & 0xFF));
            b.append(char(c.unicode() >> 8));
        }
        return byte(pitch).i32(ppi).i32(size).byte(style);
    }
};

inline QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeFile(const QString& path, const QByteArray& data) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

// The cell texts of a variant table, row by row.
inline QList<QStringList> cellTexts(const TDynaArray<TVariante>& rows) {
    QList<QStringList> out;
    for (const TVariante& v : rows) {
        QStringList row;
        for (const TProp& cell : v.props)
            row.append(cell.text);
        out.append(row);
    }
    return out;
}

// An older-format catalogue: one category "Werkzeug" (with an options record) holding one
// product with a bare picture name and 8-bit text, then every block up to 21.
inline QByteArray olderFormatFile() {
    Le f;
    f.i32(1).astr("Werkzeug").i32(1);
    f.astr("Hammer \x80").astr("Stiel aus Esche\r\nKopf geschmiedet").i32(1);
    f.i32(2).i32(2).astr("Name").astr("Preis").i32(2).astr("300 g").astr("9,95 \x80");
    f.i32(1).dbl(4.5).astr("hammer.jpg");
    // section 2
    f.i32(2)
        .astr("Gr\xf6\xdf"
              "e")
        .astr("Preis")
        .i32(2)
        .astr("hintergrund.jpg")
        .astr("logo.gif");
    f.dbl(10).dbl(11).dbl(12).dbl(13).dbl(3);
    f.byte(0).byte(1);
    f.astr("Seite %PAGE%")
        .astr("%PAGE% gerade")
        .astr("K\xfc"
              "chenkatalog");
    f.byte(1).dbl(6).dbl(7);
    f.byte(0).u32(0x00112233).byte(1).u32(0x00445566);
    f.byte(0).byte(1).byte(0).u32(0x00010203).u32(0x00040506);
    f.byte(1).dbl(8).dbl(9).byte(1).i32(5);
    f.dbl(20).dbl(8).dbl(40).dbl(-10).byte(0).byte(1).byte(0).dbl(2).dbl(2.5).byte(0);
    for (int slot = 1; slot <= 9; ++slot)
        f.font(0, 0x000000FF, QStringLiteral("Tahoma"), 0, 96, 8 + slot, slot == 2 ? 1 : 0);
    // blocks 1..21
    f.byte(1);                                 // 1
    f.i32(1);                                  // 2 BildAlign
    f.byte(0);                                 // 3
    f.dbl(7.5);                                // 4
    f.byte(1);                                 // 5
    f.byte(1).u32(0x00ABCDEF).u32(0x00123456); // 6
    f.i32(2);                                  // 7 LayoutCombo
    f.byte(1);                                 // 8
    f.i32(1).byte(1).astr("Alles f\xfcr die Werkstatt").astr("werkstatt.jpg").dbl(5).i32(1).byte(1); // 9
    f.dbl(0.3).dbl(0.4).u32(1).u32(2).u32(3).u32(4).u32(5);                                          // 10
    f.i32(1).byte(1).byte(1).i32(1).i32(1).byte(1);                                                  // 11
    f.byte(1);                                                                                       // 12
    f.byte(1).byte(1).dbl(21).dbl(22).dbl(23).dbl(24).dbl(25).dbl(6);                                // 13
    f.i32(1).byte(1).byte(1);                                                                        // 14
    f.font(0, 0x00FF0000, QStringLiteral("Verdana"), 2, 96, 15, 2);                                  // 15
    f.i32(1).i32(1).byte(0);                                                                         // 16
    f.byte(1);                                                                                       // 17
    f.byte(1).byte(1).byte(0);                 // 18: three columns
    f.byte(1).byte(0).byte(1);                 // 19
    f.i32(1).byte(1).byte(1).byte(1).dbl(1.5); // 20
    f.i32(1).byte(1).byte(0);                  // 21
    return f.b;
}

// A value of the setting's kind that differs from its default and lies in its range.
inline SettingValue otherSettingValue(const SettingInfo& info) {
    const SettingValue d = defaultSettingValue(info);
    switch (info.kind) {
    case SettingKind::Integer: {
        const qint32 v = std::get<qint32>(d);
        if (!info.hasRange())
            return qint32(v + 7);
        return qint32(v == qint32(info.min) ? info.max : info.min);
    }
    case SettingKind::Number: {
        const double v = std::get<double>(d);
        const double third = info.min + (info.max - info.min) / 3;
        return v == info.min || v == third ? info.max : third;
    }
    case SettingKind::Flag:
        return !std::get<bool>(d);
    case SettingKind::Colour:
        return quint32(std::get<quint32>(d) ^ 0x00123456);
    case SettingKind::Font: {
        FontSpec f = std::get<FontSpec>(d);
        f.Name = QStringLiteral("DejaVu Serif");
        f.Size += 3;
        f.Style = FontSpec::Italic;
        return f;
    }
    case SettingKind::Text:
        return QStringLiteral("Anders: ") + std::get<QString>(d) + QString::fromLatin1(info.name);
    case SettingKind::Path: // a folder of its own: a bare name is read relative to the catalogue
        return QStringLiteral("/srv/bilder/%1.png").arg(QString::fromLatin1(info.name));
    }
    return d;
}

// A document in which every stored value differs from its default, so that a value that
// is not written or not read back shows up.
inline CatalogDocument richDocument(const QString& pictureFolder) {
    CatalogDocument doc;
    doc.VorlageSpalten = QStringList{QStringLiteral("Größe"), QStringLiteral("Preis €")};
    LayoutSettings& s = doc.settings;
    for (const SettingInfo& info : layoutSettingsTable())
        setSettingValue(s, info, otherSettingValue(info));
    // Values whose writing is checked by name: a colour above 2^31 (unsigned), decimals
    // without an exact binary form, negative numbers, a font name beyond Latin-1, and
    // picture paths inside, below and outside the catalogue's folder.
    s.Shape8 = 0xFF000008;
    s.LineWidthEd = 0.7;
    s.RxSpinEdit11 = 0.1;
    s.SatEd = -20;
    s.Columns = 3;
    s.FirstPageNr = -3;
    s.FontDialog12.Name = QStringLiteral("Schrift 11 ä");
    s.FilenameEdit1 = pictureFolder + QStringLiteral("/logo.png");
    s.FilenameEdit2 = QStringLiteral("textures/paper.jpg");
    s.FilenameEdit3 = QStringLiteral("/elsewhere/even.jpg");

    const int withOptions = doc.addCategory(QStringLiteral("Werkzeug"));
    TKategorie& o = doc.createOptions(withOptions);
    o.Bild = pictureFolder + QStringLiteral("/werkzeug.jpg");
    o.BildBreite = 4.25;
    o.Einfuehrungstext = QStringLiteral("Einführung\nzweite Zeile");
    o.BildUnterName = 1;
    o.Deactivate = true;
    o.ListAllKategoires = true;
    o.Unterkategorien = true;
    o.DoNotListinInhalt = true;
    o.UseAsBackgroundPic = true;
    o.ShowOnlyPicture = true;
    o.ErstesAufneuerSeite = true;
    o.InhaltsVerzeichnis = true;
    o.NoNeedForNewPage = true;
    o.TextUnterBild = true;
    o.DoNotListCategories = true;
    o.ProdukteInhalt = true;
    o.KatBereichUnter = true;
    o.UnterlegeKategorie = true;
    o.OwnFontColor = true;
    o.BereichFarbe = 0x00102030;
    o.UnterlegFarbe = 0x00405060;
    o.FontColor = 0x00708090;
    for (int n = 0; n < 3; ++n) {
        TProdukt& p = *doc.products(withOptions).Add();
        SetProductTableDefaults(p);
        p.name = QStringLiteral("Produkt %1").arg(n);
        p.desc = QStringLiteral("Beschreibung\nmit Umlauten äöü und 𝄞");
        p.anzpreis = n + 1;
        p.DeactivateProd = n == 1;
        p.PageBreakAfterProdukt = n == 2;
        p.table.OverWrite = n == 0;
        p.table.DefineFixedWidth = n == 0;
        p.table.FixWidthForTable = n == 1;
        p.table.DefineFixedHeight = n == 2;
        for (int c = 0; c < 10; ++c)
            p.table.ColWidth[std::size_t(c)] = 10 + c + n;
        p.table.FixedWidthForTable = 100 + n;
        p.table.RowHeight = 4 + n;
        TBild* b = p.bilder.Add();
        b->datei = pictureFolder + QStringLiteral("/p%1.jpg").arg(n);
        b->breite = 3.5;
        b = p.bilder.Add();
        b->datei = QStringLiteral("sub\\p%1b.jpg").arg(n);
        b->breite = 2;
        for (int r = 0; r < 3; ++r) {
            TVariante* v = p.varianten.Add();
            for (int c = 0; c <= r + 1; ++c)
                v->props.Add()->text =
                    r == 0 ? QStringLiteral("Spalte %1").arg(c) : QStringLiteral("%1,%2").arg(r).arg(c);
        }
    }
    doc.addCategory(QStringLiteral("Leer ohne Optionen"));
    const int third = doc.addCategory(QStringLiteral("Garten"));
    doc.createOptions(third).Einfuehrungstext = QStringLiteral("nur Text");
    TProdukt& g = *doc.products(third).Add();
    SetProductTableDefaults(g);
    g.name = QStringLiteral("Gießkanne");
    return doc;
}

} // namespace pw::test
