#include "catalogfile.h"

#include "model/pictures.h"
#include "model/savefile.h"
#include "model/settingstable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <limits>

namespace pw {

namespace {

constexpr int kLastBlockCurrent = 49;
constexpr int kLastBlockOlder = 21;
constexpr qint64 kProductTableBytes = 104;
constexpr int kFaceNameMax = 255;

// Blocks that are category option lists, and the values each entry holds. The same
// description serves the reader and the writer.
constexpr int kCategoryBlocks[] = {9, 11, 14, 20, 21, 29, 30, 34, 35, 39, 44, 46, 47};

bool isCategoryBlock(int block) {
    for (int b : kCategoryBlocks) {
        if (b == block)
            return true;
    }
    return false;
}

// K is TKategorie for reading and const TKategorie for writing.
template <class IO, class K> void categoryValues(int block, IO& io, K& o) {
    switch (block) {
    case 9:
        io.str(o.Einfuehrungstext);
        io.path(o.Bild);
        io.dbl(o.BildBreite);
        io.i32(o.BildUnterName);
        io.flag(o.TextUnterBild);
        break;
    case 11:
        io.flag(o.NoNeedForNewPage);
        break;
    case 14:
        io.flag(o.InhaltsVerzeichnis);
        break;
    case 20:
        io.flag(o.ErstesAufneuerSeite);
        break;
    case 21:
        io.flag(o.ShowOnlyPicture);
        break;
    case 29:
        io.flag(o.UseAsBackgroundPic);
        break;
    case 30:
        io.flag(o.DoNotListinInhalt);
        break;
    case 34:
        io.flag(o.Unterkategorien);
        break;
    case 35:
        io.flag(o.ListAllKategoires);
        break;
    case 39:
        io.flag(o.Deactivate);
        break;
    case 44:
        io.flag(o.KatBereichUnter);
        io.flag(o.UnterlegeKategorie);
        io.flag(o.OwnFontColor);
        io.color(o.FontColor);
        io.color(o.UnterlegFarbe);
        io.color(o.BereichFarbe);
        break;
    case 46:
        io.flag(o.ProdukteInhalt);
        break;
    case 47:
        io.flag(o.DoNotListCategories);
        break;
    default:
        break;
    }
}

// Section 2 after the template columns.
template <class IO, class S> void fixedSettings(IO& io, S& s) {
    io.i32(s.PreDefAnzPreisEd);
    io.path(s.FilenameEdit2);
    io.path(s.FilenameEdit1);
    io.dbl(s.LinksEd);
    io.dbl(s.ObenEd);
    io.dbl(s.RechtsEd);
    io.dbl(s.UntenEd);
    io.dbl(s.RandBildEd);
    io.flag(s.CapsCheck);
    io.flag(s.ZentrCheck);
    io.str(s.FussEd);
    io.str(s.FussEd2);
    io.str(s.KopfEd);
    io.flag(s.RahmenCheck);
    io.dbl(s.KopfEdmm);
    io.dbl(s.RandKopfEd);
    io.flag(s.FarbRechtKopfCheck);
    io.color(s.Shape1);
    io.flag(s.FarbrechtFussCheck);
    io.color(s.Shape2);
    io.flag(s.LogoChecked);
    io.flag(s.UnterlegeKategorie);
    io.flag(s.KatBereichUnterCheck);
    io.color(s.Shape3);
    io.color(s.Shape4);
    io.flag(s.ZentrFussCheck);
    io.dbl(s.PlatzueberEd);
    io.dbl(s.LinkRandFussEd);
    io.flag(s.xchangecheck);
    io.i32(s.FirstPageNr);
    io.dbl(s.BreitEd2);
    io.dbl(s.HochEd2);
    io.dbl(s.HellEd);
    io.dbl(s.SatEd);
    io.flag(s.SVerh2Check);
    io.flag(s.GrayScaleCheck);
    io.flag(s.LightenCheck);
    io.dbl(s.BreitEd3);
    io.dbl(s.HochEd3);
    io.flag(s.sverhlogo);
    // Font slot 1 is not used; the writer puts the category font there.
    FontSpec slot1 = s.FontDialog2;
    io.font(slot1);
    io.font(s.FontDialog2);
    io.font(s.FontDialog3);
    io.font(s.FontDialog4);
    io.font(s.FontDialog5);
    io.font(s.FontDialog6);
    io.font(s.FontDialog7);
    io.font(s.FontDialog8);
    io.font(s.FontDialog9);
}

// The optional blocks that hold only document settings. Returns false for the others.
// Block 20's two trailing settings are handled by the caller, each under its own test.
template <class IO, class S> bool settingsBlock(int block, IO& io, S& s) {
    switch (block) {
    case 1:
        io.flag(s.OnlyOneColumnCheck);
        break;
    case 2:
        io.bildAlign(s.BildAlign);
        break;
    case 3:
        io.flag(s.ArtNotBlockCheck);
        break;
    case 4:
        io.dbl(s.PlatzZwischenSpaltenEd);
        break;
    case 5:
        io.flag(s.ZentrTabelleCheck);
        break;
    case 6:
        io.flag(s.BackgroundColorCheck);
        io.color(s.Shape5);
        io.color(s.Shape6);
        break;
    case 7:
        io.i32(s.LayoutCombo);
        break;
    case 8:
        io.flag(s.NoLineBelowVariantsCheck);
        break;
    case 10:
        io.dbl(s.LineWidthEd);
        io.dbl(s.LineWidthEd2);
        io.color(s.Shape7);
        io.color(s.Shape8);
        io.color(s.Shape9);
        io.color(s.Shape10);
        io.color(s.Shape11);
        break;
    case 12:
        io.flag(s.CoverCheck);
        break;
    case 13:
        io.flag(s.DefineFixedWidthCheck);
        io.flag(s.DefineFixedHeightCheck);
        io.dbl(s.RxSpinEdit1);
        io.dbl(s.RxSpinEdit2);
        io.dbl(s.RxSpinEdit3);
        io.dbl(s.RxSpinEdit4);
        io.dbl(s.RxSpinEdit5);
        io.dbl(s.RxSpinEdit6);
        break;
    case 15:
        io.font(s.FontDialog11);
        break;
    case 17:
        io.flag(s.AllowPageBreak);
        break;
    case 18:
        io.columns(s.Columns);
        break;
    case 19:
        io.flag(s.ZwischenLinienCheck);
        io.flag(s.DonotShowVariantsCheck);
        io.flag(s.BilderrahmenCheck);
        break;
    case 22:
        io.dbl(s.PDFRandEd);
        break;
    case 23:
        io.flag(s.SetPDFSizeCheck);
        io.dbl(s.PDFWidthEd);
        io.dbl(s.PDFHeightED);
        break;
    case 24:
        io.flag(s.ZerrePDFCheck);
        break;
    case 25:
        io.font(s.FontDialog1);
        break;
    case 26:
        io.dbl(s.RxSpinEdit7);
        io.dbl(s.RxSpinEdit8);
        io.dbl(s.RxSpinEdit9);
        io.dbl(s.RxSpinEdit10);
        io.dbl(s.RxSpinEdit11);
        break;
    case 27:
        io.flag(s.FixWidthForTableCheck);
        io.dbl(s.FixedWidthForTableEd);
        break;
    case 31:
        io.path(s.FilenameEdit3);
        break;
    case 32:
        io.flag(s.NoRahmenCheck);
        break;
    case 33:
        io.font(s.FontDialog12);
        io.flag(s.PreisCentCheck);
        break;
    case 36:
        io.flag(s.AndereRechtsCheck);
        io.flag(s.AndereZentriertCheck);
        break;
    case 37:
        io.flag(s.DoLineBreakinTableCellsCheck);
        break;
    case 38:
        io.dbl(s.RandTextEd);
        break;
    case 40:
        io.flag(s.DonotShowPriceColumnscheck);
        break;
    case 41:
        io.flag(s.ShowLogoRightAlignedCheck);
        io.str(s.Fuss2Ed);
        io.flag(s.LinesInVariantCheck);
        break;
    case 42:
        io.flag(s.DefMaxCellWidthCheck);
        io.dbl(s.MaxCellWidthEd);
        break;
    case 43:
        io.flag(s.FooterLeftCheck);
        break;
    case 45:
        io.flag(s.UseColorInInhaltCheck);
        break;
    case 48:
        io.flag(s.DonotIncreaseFontSizeCheck);
        break;
    case 49:
        io.flag(s.SetPicHeightCheck);
        break;
    default:
        return false;
    }
    return true;
}

bool hasFolderPart(const QString& p) {
    return p.contains(QLatin1Char('/')) || p.contains(QLatin1Char('\\')) ||
           (p.size() >= 2 && p[1] == QLatin1Char(':') && p[0].isLetter());
}

QString folderWithSeparator(const QString& catalogPath) {
    QString folder = QFileInfo(catalogPath).absolutePath();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

// ---- Reading

struct FieldReader {
    ByteReader& r;
    bool older;
    QString folder; // with trailing separator; empty: paths are taken unchanged

    QString string() { return older ? r.ansiStr() : r.wideStr(); }
    // Passes over a string and returns its length.
    qint32 skipString() {
        const qint32 n = older ? r.count(1) : r.count(2);
        r.skip(older ? n : qint64(n) * 2);
        return n;
    }
    void flag(bool& v) { v = r.flag(); }
    void i32(qint32& v) { v = r.int32(); }
    void dbl(double& v) { v = r.dbl(); }
    void color(quint32& v) { v = r.uint32(); }
    void str(QString& v) { v = string(); }
    void path(QString& v) {
        v = string();
        if (!folder.isEmpty() && !v.isEmpty() && !hasFolderPart(v))
            v = folder + v;
    }
    void font(FontSpec& f) {
        f.Charset = r.byte();
        f.Color = r.uint32();
        const int k = r.byte();
        f.Name = r.wideChars(k);
        f.Pitch = r.byte();
        f.PixelsPerInch = r.int32();
        f.Size = r.int32();
        f.Style = r.byte();
    }
    void bildAlign(qint32& v) {
        const qint32 a = r.int32();
        if (a >= 0 && a <= 2)
            v = a;
    }
    // Bytes for four, three and two columns: the last non-zero one wins, none means four.
    void columns(qint32& v) {
        r.skip(1);
        const bool three = r.flag();
        const bool two = r.flag();
        v = two ? 2 : three ? 3 : 4;
    }
};

// ---- Ranges of stored values

// Values outside these ranges cannot come from the editing controls; a file holding one is
// damaged or made elsewhere. They are brought into range on reading, so that the layout
// never meets a length, size or count its pixel arithmetic cannot hold. Values inside the
// ranges are kept exactly, so a valid catalogue writes back byte for byte.
constexpr double kMaxPictureCm = 10000; // category picture sizes
constexpr qint32 kMaxPriceColumns = 100;

// Collects what was brought into range, for one warning per file.
class RangeCheck {
public:
    // NaN takes the fallback (the field's default); everything else is clamped.
    void length(double& v, double low, double high, double fallback, const QString& what) {
        double clamped = std::isnan(v) ? fallback : std::clamp(v, low, high);
        if (std::isnan(v) || clamped != v) {
            note(what);
            v = clamped;
        }
    }
    void whole(qint32& v, qint32 low, qint32 high, const QString& what) {
        const qint32 clamped = std::clamp(v, low, high);
        if (clamped != v) {
            note(what);
            v = clamped;
        }
    }
    int count() const { return m_count; }
    const QStringList& names() const { return m_names; }
    void note(const QString& what) {
        ++m_count;
        if (m_names.size() < 5)
            m_names.append(what);
    }

private:
    int m_count = 0;
    QStringList m_names;
};

// Every layout setting through the settings table's ranges.
void checkSettingRanges(LayoutSettings& s, RangeCheck& check) {
    for (const SettingInfo& info : layoutSettingsTable()) {
        const SettingValue stored = settingValue(s, info);
        const SettingValue clamped = clampSettingValue(info, stored);
        if (!(clamped == stored)) { // also true for a NaN, which never equals itself
            check.note(QString::fromLatin1(info.name));
            assignSettingValue(s, info, clamped);
        }
    }
}

void checkProductRanges(TProdukt& p, RangeCheck& check) {
    const QString who = QStringLiteral("\"%1\": ").arg(p.name.left(40));
    // A stored 0 (no price columns) is kept; the layout treats it like any small count.
    check.whole(p.anzpreis, 0, kMaxPriceColumns, who + QStringLiteral("anzpreis"));
    for (TableLength<double>& length : tableLengths(p.table))
        check.length(*length.value, 0, kMaxTableLengthMm, length.fallback, who + length.field);
}

} // namespace

class CatalogFileReader {
public:
    CatalogFileReader(const QByteArray& data, CatalogFormat format, const QString& path, CatalogDocument& doc,
                      const ReadOptions& options)
        : m_r(QByteArrayView(data), path), m_io{m_r, format == CatalogFormat::Older,
                                                format == CatalogFormat::Older ? QString()
                                                                               : folderWithSeparator(path)},
          m_doc(doc), m_options(options), m_path(path) {}

    std::vector<Error> read() {
        readFixedPart(QStringLiteral("Die Katalogdatei ist beschädigt (Kategorien und Produkte): %1"),
                      [this] { readSection1(); });
        readFixedPart(QStringLiteral("Die Katalogdatei ist beschädigt (feste Einstellungen): %1"),
                      [this] { readSection2(); });
        std::vector<Error> warnings = readOptionalBlocks();
        checkRanges(warnings);
        return warnings;
    }

private:
    // Brings every stored value outside its editing range into it, with one warning.
    void checkRanges(std::vector<Error>& warnings) {
        RangeCheck check;
        checkSettingRanges(m_doc.settings, check);
        for (int k = 0; k < m_doc.categoryCount(); ++k) {
            if (TKategorie* o = m_doc.options(k))
                check.length(o->BildBreite, 0, kMaxPictureCm, 0,
                             QStringLiteral("\"%1\": BildBreite").arg(m_doc.categoryName(k).left(40)));
            for (TProdukt& p : m_doc.products(k))
                checkProductRanges(p, check);
        }
        if (check.count() > 0)
            warnings.push_back(Error::format(
                QStringLiteral("%1 gespeicherte Werte lagen außerhalb des erlaubten Bereichs und wurden "
                               "begrenzt (%2%3)."),
                {QString::number(check.count()), check.names().join(QStringLiteral(", ")),
                 check.count() > check.names().size() ? QStringLiteral(", ...") : QString()},
                m_path));
    }

    // `damaged` says which part is damaged; the reader's words fill its %1.
    template <class F> void readFixedPart(const QString& damaged, F&& f) {
        try {
            f();
        } catch (const Error& e) {
            throw Error::format(damaged, {}, m_path, e.position()).causedBy(e);
        }
    }

    void readSection1() {
        const qint32 cats = m_r.count(8);
        for (qint32 k = 0; k < cats; ++k) {
            const int kat = m_doc.addCategory(m_io.string());
            TProduktListe& list = m_doc.products(kat);
            const qint32 prods = m_r.count(20);
            for (qint32 i = 0; i < prods; ++i)
                readProduct(*list.Add());
        }
    }

    void readProduct(TProdukt& p) {
        SetProductTableDefaults(p);
        p.name = m_io.string();
        p.desc = m_io.string();
        p.anzpreis = m_r.int32();
        readVariants(p);
        const qint32 pics = m_r.count(12);
        for (qint32 b = 0; b < pics; ++b) {
            TBild& bild = *p.bilder.Add();
            bild.breite = clampPictureWidth(m_r.dbl());
            m_io.path(bild.datei);
        }
    }

    void readVariants(TProdukt& p) {
        const qint32 rows = m_r.count(4);
        qint32 keepRows = rows;
        qint32 keepCells = std::numeric_limits<qint32>::max();
        if (m_options.trimVariants) {
            // One pass over the stored table finds the last row and column holding text.
            const qint64 start = m_r.pos();
            keepRows = 0;
            keepCells = 0;
            for (qint32 row = 0; row < rows; ++row) {
                const qint32 cells = m_r.count(4);
                for (qint32 c = 0; c < cells; ++c) {
                    if (m_io.skipString() > 0) {
                        keepRows = row + 1;
                        keepCells = std::max(keepCells, c + 1);
                    }
                }
            }
            m_r.seek(start);
        }
        for (qint32 row = 0; row < rows; ++row) {
            const qint32 cells = m_r.count(4);
            TVariante* v = row < keepRows ? p.varianten.Add() : nullptr;
            for (qint32 c = 0; c < cells; ++c) {
                if (v && c < keepCells)
                    v->props.Add()->text = m_io.string();
                else
                    m_io.skipString();
            }
        }
    }

    void readSection2() {
        const qint32 n = m_r.count(4);
        QStringList columns;
        columns.reserve(n);
        for (qint32 i = 0; i < n; ++i)
            columns.append(m_io.string());
        m_doc.VorlageSpalten = columns;
        fixedSettings(m_io, m_doc.settings);
    }

    std::vector<Error> readOptionalBlocks() {
        std::vector<Error> warnings;
        const int last = m_io.older ? kLastBlockOlder : kLastBlockCurrent;
        for (int block = 1; block <= last; ++block) {
            // Block 20 ends in two settings that have end-of-file tests of their own.
            const int parts = block == 20 ? 3 : 1;
            for (int part = 0; part < parts; ++part) {
                if (m_r.atEnd())
                    continue;
                const qint64 start = m_r.pos();
                try {
                    readBlock(block, part);
                } catch (const Error& e) {
                    warnings.push_back(
                        Error::format(QStringLiteral("Zusatzblock %1 der Katalogdatei ist unvollständig oder "
                                                     "beschädigt (%2); er und alle folgenden wurden "
                                                     "übergangen, alles davor wurde geladen."),
                                      {QString::number(block)}, m_path, start)
                            .causedBy(e));
                    return warnings;
                }
            }
        }
        return warnings;
    }

    // Reads one block completely into copies and commits it only when it was whole.
    void readBlock(int block, int part) {
        LayoutSettings s = m_doc.settings;
        if (block == 20 && part == 1) {
            m_io.flag(s.PreisLinksCheck);
        } else if (block == 20 && part == 2) {
            m_io.dbl(s.LineAddSpaceEd);
        } else if (isCategoryBlock(block)) {
            auto options = m_doc.m_options;
            readCategoryList(block, options);
            std::vector<std::vector<quint8>> pageBreaks;
            if (block == 11)
                pageBreaks = readProductFlags();
            m_doc.m_options = std::move(options);
            applyProductFlags(pageBreaks, &TProdukt::PageBreakAfterProdukt);
        } else if (block == 16) {
            applyProductFlags(readProductFlags(), &TProdukt::DeactivateProd);
        } else if (block == 28) {
            applyProductTables(readProductTables());
        } else {
            settingsBlock(block, m_io, s);
        }
        m_doc.settings = std::move(s);
    }

    void readCategoryList(int block, std::vector<std::optional<TKategorie>>& options) {
        const qint32 n = m_r.count(1);
        for (qint32 i = 0; i < n; ++i) {
            if (!m_r.flag())
                continue;
            const bool exists = std::size_t(i) < options.size();
            if (block == 9 && exists) {
                options[std::size_t(i)].emplace();
            }
            // Values for a category without a record, or beyond the last, are read and dropped.
            TKategorie scratch;
            TKategorie& target = (exists && options[std::size_t(i)]) ? *options[std::size_t(i)] : scratch;
            categoryValues(block, m_io, target);
        }
    }

    std::vector<std::vector<quint8>> readProductFlags() {
        const qint32 cats = m_r.count(4);
        std::vector<std::vector<quint8>> flags(static_cast<std::size_t>(cats));
        for (auto& perCategory : flags) {
            const qint32 prods = m_r.count(1);
            perCategory.resize(std::size_t(prods));
            for (quint8& f : perCategory)
                f = m_r.byte();
        }
        return flags;
    }

    void applyProductFlags(const std::vector<std::vector<quint8>>& flags, bool TProdukt::*field) {
        const int cats = std::min(int(flags.size()), m_doc.categoryCount());
        for (int k = 0; k < cats; ++k) {
            TProduktListe& list = m_doc.products(k);
            const auto& perCategory = flags[std::size_t(k)];
            const int prods = std::min(int(perCategory.size()), list.count());
            for (int j = 0; j < prods; ++j)
                list[j].*field = perCategory[std::size_t(j)] != 0;
        }
    }

    std::vector<ProductTableSettings> readProductTables() {
        const qint64 total = m_doc.productCount();
        if (total * kProductTableBytes > m_r.remaining())
            m_r.fail(QStringLiteral("die Datei endet vorzeitig"));
        std::vector<ProductTableSettings> tables(static_cast<std::size_t>(total));
        for (ProductTableSettings& t : tables) {
            t.OverWrite = m_r.flag();
            t.DefineFixedWidth = m_r.flag();
            t.FixWidthForTable = m_r.flag();
            t.DefineFixedHeight = m_r.flag();
            m_r.skip(4);
            for (double& w : t.ColWidth)
                w = m_r.dbl();
            t.FixedWidthForTable = m_r.dbl();
            t.RowHeight = m_r.dbl();
        }
        return tables;
    }

    void applyProductTables(const std::vector<ProductTableSettings>& tables) {
        std::size_t i = 0;
        for (int k = 0; k < m_doc.categoryCount(); ++k) {
            for (TProdukt& p : m_doc.products(k))
                p.table = tables[i++];
        }
    }

    ByteReader m_r;
    FieldReader m_io;
    CatalogDocument& m_doc;
    ReadOptions m_options;
    QString m_path;
};

namespace {

// ---- Writing

struct FieldWriter {
    ByteWriter& w;
    QString folder; // the catalogue's folder, cleaned, without trailing separator

    void flag(const bool& v) { w.flag(v); }
    void i32(const qint32& v) { w.int32(v); }
    void dbl(const double& v) { w.dbl(v); }
    void color(const quint32& v) { w.uint32(v); }
    void str(const QString& v) { w.wideStr(v); }
    // A picture in the catalogue's own folder is stored as its bare name, so that the
    // folder can be moved or copied elsewhere.
    void path(const QString& v) {
        if (v.isEmpty() || !hasFolderPart(v)) {
            w.wideStr(v);
            return;
        }
        const QString p = QString(v).replace(QLatin1Char('\\'), QLatin1Char('/'));
        const qsizetype slash = p.lastIndexOf(QLatin1Char('/'));
        if (p.startsWith(QLatin1Char('/')) && slash + 1 < p.size() &&
            QDir::cleanPath(p.left(slash + 1)) == folder)
            w.wideStr(p.mid(slash + 1));
        else
            w.wideStr(v);
    }
    void font(const FontSpec& f) {
        const QStringView name = QStringView(f.Name).left(kFaceNameMax);
        w.byte(f.Charset);
        w.uint32(f.Color);
        w.byte(quint8(name.size()));
        w.wideChars(name);
        w.byte(f.Pitch);
        w.int32(f.PixelsPerInch);
        w.int32(f.Size);
        w.byte(f.Style);
    }
    void bildAlign(const qint32& v) { w.int32(v); }
    void columns(const qint32& v) {
        w.flag(v != 2 && v != 3);
        w.flag(v == 3);
        w.flag(v == 2);
    }
};

void writeProduct(FieldWriter& io, const TProdukt& p) {
    ByteWriter& w = io.w;
    w.wideStr(p.name);
    w.wideStr(p.desc);
    w.int32(p.anzpreis);
    w.int32(p.varianten.count());
    for (const TVariante& row : p.varianten) {
        w.int32(row.props.count());
        for (const TProp& cell : row.props)
            w.wideStr(cell.text);
    }
    w.int32(p.bilder.count());
    for (const TBild& b : p.bilder) {
        w.dbl(b.breite);
        io.path(b.datei);
    }
}

} // namespace

CatalogFormat FormatForFileName(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString ext = dot < 0 ? QString() : name.mid(dot).toUpper();
    return ext == QLatin1String(".PKD") ? CatalogFormat::Older : CatalogFormat::Current;
}

LoadResult ReadCatalogData(const QByteArray& data, CatalogFormat format, const QString& path,
                           const CatalogDocument& seed, const ReadOptions& options) {
    LoadResult result{seed.seededCopy(), {}};
    result.doc.afilename = path;
    CatalogFileReader reader(data, format, path, result.doc, options);
    result.warnings = reader.read();
    return result;
}

LoadResult ReadCatalogFile(const QString& path, CatalogFormat format, const CatalogDocument& seed,
                           const ReadOptions& options) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw Error(1, path);
    const QByteArray data = f.readAll();
    if (f.error() != QFileDevice::NoError)
        throw Error(1, path);
    return ReadCatalogData(data, format, QFileInfo(path).absoluteFilePath(), seed, options);
}

namespace {

std::vector<Error> openInto(CatalogDocument& doc, const QString& path, CatalogFormat format,
                            const ReadOptions& options) {
    LoadResult result = ReadCatalogFile(path, format, doc, options);
    doc = std::move(result.doc);
    return std::move(result.warnings);
}

} // namespace

std::vector<Error> OpenFileWithName(CatalogDocument& doc, const QString& path, const ReadOptions& options) {
    return openInto(doc, path, CatalogFormat::Current, options);
}

std::vector<Error> OpenFileWithNameOLD(CatalogDocument& doc, const QString& path,
                                       const ReadOptions& options) {
    return openInto(doc, path, CatalogFormat::Older, options);
}

std::vector<Error> OpenCatalog(CatalogDocument& doc, const QString& path, const ReadOptions& options) {
    return openInto(doc, path, FormatForFileName(path), options);
}

QByteArray CatalogFileImage(const CatalogDocument& doc, const QString& path) {
    ByteWriter w;
    w.reserve(64 * 1024);
    FieldWriter io{w, QDir::cleanPath(QFileInfo(path).absolutePath())};

    w.int32(doc.categoryCount());
    for (int k = 0; k < doc.categoryCount(); ++k) {
        w.wideStr(doc.categoryName(k));
        const TProduktListe& list = doc.products(k);
        w.int32(list.count());
        for (const TProdukt& p : list)
            writeProduct(io, p);
    }

    w.int32(int(doc.VorlageSpalten.size()));
    for (const QString& c : doc.VorlageSpalten)
        w.wideStr(c);
    const LayoutSettings& s = doc.settings;
    fixedSettings(io, s);

    auto writeCategoryList = [&](int block) {
        w.int32(doc.categoryCount());
        for (int k = 0; k < doc.categoryCount(); ++k) {
            const TKategorie* o = doc.options(k);
            w.flag(o != nullptr);
            if (o)
                categoryValues(block, io, *o);
        }
    };
    auto writeProductFlags = [&](bool TProdukt::*field) {
        w.int32(doc.categoryCount());
        for (int k = 0; k < doc.categoryCount(); ++k) {
            const TProduktListe& list = doc.products(k);
            w.int32(list.count());
            for (const TProdukt& p : list)
                w.flag(p.*field);
        }
    };

    for (int block = 1; block <= kLastBlockCurrent; ++block) {
        if (isCategoryBlock(block))
            writeCategoryList(block);
        if (block == 11) {
            writeProductFlags(&TProdukt::PageBreakAfterProdukt);
        } else if (block == 16) {
            writeProductFlags(&TProdukt::DeactivateProd);
        } else if (block == 20) {
            w.flag(s.PreisLinksCheck);
            w.dbl(s.LineAddSpaceEd);
        } else if (block == 28) {
            for (int k = 0; k < doc.categoryCount(); ++k) {
                for (const TProdukt& p : doc.products(k)) {
                    const ProductTableSettings& t = p.table;
                    w.flag(t.OverWrite);
                    w.flag(t.DefineFixedWidth);
                    w.flag(t.FixWidthForTable);
                    w.flag(t.DefineFixedHeight);
                    w.zeros(4);
                    for (double c : t.ColWidth)
                        w.dbl(c);
                    w.dbl(t.FixedWidthForTable);
                    w.dbl(t.RowHeight);
                }
            }
        } else if (!isCategoryBlock(block)) {
            settingsBlock(block, io, s);
        }
    }
    return w.data();
}

void SaveTheFile(const CatalogDocument& doc, const QString& path) {
    if (!WriteFileAtomically(path, CatalogFileImage(doc, path)))
        throw Error(49, path);
}

} // namespace pw
