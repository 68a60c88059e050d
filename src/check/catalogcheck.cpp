#include "catalogcheck.h"

#include "compose/canvas.h"
#include "compose/text.h"
#include "compose/units.h"
#include "i18n/translateunit.h"
#include "imagelib/picfiles.h"
#include "model/picturefile.h"
#include "model/varianttableedit.h"
#include "output/pdfexport.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

namespace pw {

namespace {

using K = FindingKind;
using S = Severity;

const std::vector<FindingKindInfo> kKinds = {
    {K::PictureMissing, "picture-missing", S::Error, "Die Bilddatei „%1“ fehlt."},
    {K::PictureUnreadable, "picture-unreadable", S::Error,
     "Die Bilddatei „%1“ lässt sich nicht als Bild lesen (beschädigt oder unbekanntes Format)."},
    {K::LogoOrBackgroundMissing, "logo-or-background-missing", S::Warning,
     "Die Bilddatei „%1“ für Logo oder Hintergrund fehlt oder lässt sich nicht lesen; die Seiten werden ohne "
     "sie "
     "gedruckt."},
    {K::PictureResolutionLow, "picture-resolution-low", S::Warning,
     "Bild %1 wird mit %2 dpi gedruckt; für einen scharfen Druck sollten es mindestens %3 dpi sein."},
    {K::PictureResolutionPoor, "picture-resolution-poor", S::Error,
     "Bild %1 wird mit nur %2 dpi gedruckt und wirkt unscharf (unter %3 dpi)."},
    {K::PdfResolutionLow, "pdf-resolution-low", S::Warning,
     "Die PDF-Auflösung ist %1 dpi; unter %2 dpi wirken alle Bilder der PDF-Datei unscharf."},
    {K::PriceMissing, "price-missing", S::Error,
     "Das Produkt hat keinen Preis: keine Preiszelle enthält eine Zahl."},
    {K::PriceNotNumber, "price-not-number", S::Warning, "Der Preis „%1“ in Zeile %2 ist keine Zahl."},
    {K::ArticleNumberTwice, "article-number-twice", S::Error,
     "Die Artikelnummer „%1“ steht auch beim Produkt „%2“ (Kategorie „%3“)."},
    {K::NameBrokenInWord, "name-broken-in-word", S::Warning,
     "Der Produktname wird mitten im Wort umbrochen, weil seine Zeile zu schmal ist."},
    {K::CellCut, "cell-cut", S::Warning,
     "Der Text „%1“ in Zeile %2, Spalte %3 ist breiter als seine Spalte und läuft über sie hinaus."},
    {K::CellBrokenInWord, "cell-broken-in-word", S::Warning,
     "Der Text „%1“ in Zeile %2, Spalte %3 wird mitten im Wort umbrochen, weil seine Spalte zu schmal ist."},
    {K::DescriptionSplit, "description-split", S::Warning,
     "Die Beschreibung wird auf die nächste Seite umbrochen, obwohl Seitenumbrüche in Produkten aus sind."},
    {K::CategoryEmpty, "category-empty", S::Note,
     "Die Kategorie ist leer: keine Produkte und keine Unterkategorie."},
    {K::DeactivatedStillListed, "deactivated-still-listed", S::Warning,
     "Die Kategorie ist deaktiviert, ihre Unterkategorien stehen aber weiter im Inhaltsverzeichnis."},
    {K::CategoryAllDeactivated, "category-all-deactivated", S::Warning,
     "Alle Produkte der Kategorie sind deaktiviert; gedruckt wird nur ihre Überschrift."},
    {K::PlaceholderUnknown, "placeholder-unknown", S::Error,
     "Unbekannter Platzhalter „%1“ in der Kopf- oder Fußzeile; er wird so gedruckt, wie er dasteht."},
    {K::CellOutsideGrid, "cell-outside-grid", S::Warning,
     "Die Variantentabelle hat Text außerhalb der 100 × 100 Zellen des Editors (Zeile %1, Spalte %2)."},
};

// The placeholders the page frame replaces, and the fields it replaces them in.
const QStringList kPlaceholders = {QStringLiteral("PAGE"), QStringLiteral("DATE"),
                                   QStringLiteral("CATEGORY")};

// Header captions that name an article-number column, compared without case, blanks,
// dots, hyphens and colons.
const QStringList kArticleHeaders = {
    QStringLiteral("artnr"),        QStringLiteral("artikelnr"), QStringLiteral("artikelnummer"),
    QStringLiteral("bestellnr"),    QStringLiteral("bestnr"),    QStringLiteral("bestellnummer"),
    QStringLiteral("sku"),          QStringLiteral("itemno"),    QStringLiteral("articleno"),
    QStringLiteral("artno"),        QStringLiteral("partno"),    QStringLiteral("ref"),
    QStringLiteral("référence"),    QStringLiteral("reference"), QStringLiteral("artikelnummer"),
    QStringLiteral("bestelnummer"),
};

// Replaces %1..%9 in one pass, so that an argument holding "%2" stays as it is.
QString fill(const QString& text, const QStringList& args) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('%') && i + 1 < text.size() && text[i + 1] >= QLatin1Char('1') &&
            text[i + 1] <= QLatin1Char('9')) {
            const qsizetype n = text[i + 1].unicode() - '1';
            if (n < args.size()) {
                out += args[n];
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

// The printed text of a cell: without its colour suffix and control characters, trimmed.
QString visibleText(const QString& raw) {
    quint32 color = 0;
    QString visible;
    CellBackgroundColor(raw, color, visible);
    return StripControlChars(visible).trimmed();
}

// The notation of a price number in one locale (see isPriceNumber).
class PriceRule {
public:
    explicit PriceRule(const QLocale& locale) {
        for (const QString& c : {locale.currencySymbol(QLocale::CurrencySymbol),
                                 locale.currencySymbol(QLocale::CurrencyIsoCode), QStringLiteral("€")}) {
            if (!c.isEmpty())
                m_currencies.append(c);
        }
        // A locale that groups with a (narrow, no-break) space takes any of those spaces.
        const QString g = locale.groupSeparator();
        const QString group = g.size() == 1 && g[0].isSpace() ? QStringLiteral("[ \\x{00A0}\\x{202F}]")
                                                              : QRegularExpression::escape(g);
        const QString decimal = QRegularExpression::escape(locale.decimalPoint());
        const QString sign = QStringLiteral("[-+%1%2]?")
                                 .arg(QRegularExpression::escape(locale.negativeSign()),
                                      QRegularExpression::escape(locale.positiveSign()));
        // The whole part: plain digits, or groups of three after one to three digits.
        m_number.setPattern(QStringLiteral("^%1(\\d+|\\d{1,3}(%2\\d{3})+)(%3\\d+)?$")
                                .arg(sign, group.isEmpty() ? QStringLiteral("(?!)") : group, decimal));
        m_number.optimize();
    }

    bool matches(const QString& cell) const {
        QString s = visibleText(cell);
        for (const QString& currency : m_currencies) {
            if (s.endsWith(currency))
                s.chop(currency.size());
            else if (s.startsWith(currency))
                s.remove(0, currency.size());
            s = s.trimmed();
        }
        return m_number.match(s).hasMatch();
    }

private:
    QStringList m_currencies;
    QRegularExpression m_number;
};

QString normalizedHeader(const QString& caption) {
    static const QRegularExpression separators(QStringLiteral("[\\s.\\-:_#]"));
    QString s = visibleText(caption).toLower();
    s.remove(separators);
    return s;
}

// The article-number column: the first whose header names one, else column 0.
int articleColumn(const TProdukt& p) {
    if (p.varianten.count() == 0)
        return 0;
    const TVariante& head = p.varianten[0];
    for (int c = 0; c < head.props.count(); ++c) {
        if (kArticleHeaders.contains(normalizedHeader(head.props[c].text)))
            return c;
    }
    return 0;
}

// 1 + the last column holding text in any row, as the layout counts the table's columns.
int usedColumns(const TProdukt& p) {
    int used = 0;
    for (const TVariante& row : p.varianten)
        used = std::max(used, FilledCellCount(row));
    return used;
}

bool categoryActive(const CatalogDocument& doc, int kat) {
    const TKategorie* o = doc.options(kat);
    return !(o && o->Deactivate);
}

// What the layout run reports, kept once per thing.
class Collector final : public LayoutObserver {
public:
    struct Placement {
        double widthMm = 0;
        int page = 0;
    };
    struct Cell {
        bool wrapped = false;
        int page = 0;
    };
    void picturePlaced(const TProdukt&, const TBild& b, double widthMm, int page) override {
        pictures.insert(&b, {widthMm, page});
    }
    void nameBrokenInWord(const TProdukt& p, int page) override { names.insert(&p, page); }
    void cellTooNarrow(const TProdukt& p, int row, int column, bool wrapped, int page) override {
        // The drawing pass reports last, on the page the product ends up on.
        cells.insert_or_assign({&p, row, column}, Cell{wrapped, page});
    }
    void descriptionSplit(const TProdukt& p, int page) override {
        if (!descriptions.contains(&p))
            descriptions.insert(&p, page);
    }

    QHash<const TBild*, Placement> pictures;
    QHash<const TProdukt*, int> names;
    std::map<std::tuple<const TProdukt*, int, int>, Cell> cells;
    QHash<const TProdukt*, int> descriptions;
};

class Checker {
public:
    Checker(const CatalogDocument& doc, const CheckOptions& options, const Clock& clock,
            TranslationStore& texts)
        : m_doc(doc), m_options(options), m_clock(clock), m_texts(texts), m_prices(options.locale) {}

    std::vector<Finding> run() {
        probePictures();
        layOut();
        settingsFindings();
        for (int kat = 0; kat < m_doc.categoryCount(); ++kat) {
            categoryFindings(kat);
            if (!categoryActive(m_doc, kat))
                continue;
            const TProduktListe& products = m_doc.products(kat);
            for (int i = 0; i < products.count(); ++i) {
                if (!products[i].DeactivateProd)
                    productFindings(kat, i);
            }
        }
        return std::move(m_findings);
    }

private:
    Finding& add(K kind, int kat, int index, const QStringList& args) {
        Finding f;
        f.kind = kind;
        f.kat = kat;
        f.index = index;
        if (kat >= 0) {
            f.category = m_doc.categoryName(kat);
            if (index >= 0)
                f.product = m_doc.products(kat)[index].name;
        }
        f.message = fill(m_texts.TranslateText(QString::fromUtf8(findingKindInfo(kind).message)), args);
        m_findings.push_back(std::move(f));
        return m_findings.back();
    }

    // Every picture of what is printed, read once per file: its problem and pixel size.
    void probePictures() {
        auto probe = [&](const QString& stored) {
            const QString file = resolvePicturePath(stored, m_doc.afilename);
            if (m_probed.contains(file))
                return;
            dib d;
            // The smallest decode that tells the size: a JPEG is decoded scaled down.
            const PictureLoadResult r = loadPictureForDrawing(d, file, 1);
            freedib(d);
            m_probed.insert(file, r);
        };
        for (int kat = 0; kat < m_doc.categoryCount(); ++kat) {
            if (!categoryActive(m_doc, kat))
                continue;
            if (const TKategorie* o = m_doc.options(kat); o && !o->Bild.isEmpty() && o->BildUnterName <= 1)
                probe(o->Bild);
            for (const TProdukt& p : m_doc.products(kat)) {
                if (p.DeactivateProd)
                    continue;
                for (const TBild& b : p.bilder) {
                    if (!b.datei.isEmpty())
                        probe(b.datei);
                }
            }
        }
    }

    const PictureLoadResult* probed(const QString& stored) const {
        auto it = m_probed.constFind(resolvePicturePath(stored, m_doc.afilename));
        return it == m_probed.constEnd() ? nullptr : &*it;
    }

    // One layout run over a copy, with the sizes of the pictures already known so that the
    // run reads no picture file again.
    void layOut() {
        m_copy = m_doc;
        for (int kat = 0; kat < m_copy.categoryCount(); ++kat) {
            for (TProdukt& p : m_copy.products(kat)) {
                for (TBild& b : p.bilder) {
                    const PictureLoadResult* r = probed(b.datei);
                    const bool ok = r && r->problem == PictureFileProblem::None;
                    b.pixbreite = ok ? r->fullSize.width() : 0;
                    b.pixhoehe = ok ? r->fullSize.height() : 0;
                }
            }
        }
        EngineEnvironment env(m_clock, m_options.locale);
        env.observer = &m_collector;
        PdfExportSettings pdf;
        pdf.printerPixels = m_options.printerPixels;
        pdf.printerDpi = m_options.printerDpi;
        pdf.dpi = m_options.pdfDpi;
        EngineCall call = PdfExportCall(m_copy.settings, pdf);
        call.seiteedvalue = 0;
        call.printit = true;
        PainterCanvas measure(nullptr);
        PaintLayout(m_options.layout, measure, m_copy, m_options.view, env, call);
        m_environmentFailures = env.pictureFailures.failures();
    }

    void settingsFindings() {
        const LayoutSettings& s = m_doc.settings;
        static const QRegularExpression placeholder(QStringLiteral("%([A-Za-z]+)%"));
        const std::pair<const char*, const QString*> fields[] = {
            {"KopfEd", &s.KopfEd}, {"FussEd", &s.FussEd}, {"FussEd2", &s.FussEd2}, {"Fuss2Ed", &s.Fuss2Ed}};
        for (const auto& [field, text] : fields) {
            for (auto it = placeholder.globalMatch(*text); it.hasNext();) {
                const QRegularExpressionMatch m = it.next();
                if (!kPlaceholders.contains(m.captured(1).toUpper()))
                    add(K::PlaceholderUnknown, -1, -1, {m.captured(0)}).setting = QString::fromLatin1(field);
            }
        }
        if (m_options.pdfDpi < kGoodDpi)
            add(K::PdfResolutionLow, -1, -1, {QString::number(m_options.pdfDpi), QString::number(kGoodDpi)})
                .setting = QStringLiteral("DPIEd");
        // The logo and the background are read by the layout run when it uses them.
        for (const PictureFailure& f : m_environmentFailures) {
            if (f.use != PictureUse::Logo && f.use != PictureUse::Background)
                continue;
            Finding& finding = add(K::LogoOrBackgroundMissing, -1, -1, {f.file});
            finding.setting =
                f.use == PictureUse::Logo ? QStringLiteral("FilenameEdit1") : QStringLiteral("FilenameEdit2");
        }
    }

    Finding& pictureProblem(PictureFileProblem problem, int kat, int index, const QString& file) {
        return add(problem == PictureFileProblem::Missing ? K::PictureMissing : K::PictureUnreadable, kat,
                   index, {file});
    }

    void categoryFindings(int kat) {
        const std::size_t first = m_findings.size();
        categoryFindingsOf(kat);
        // On the page its heading is printed on (none for a deactivated category).
        const TKategorie* laid = m_copy.options(kat);
        for (std::size_t i = first; i < m_findings.size(); ++i) {
            if (m_findings[i].index < 0 && laid && categoryActive(m_doc, kat))
                m_findings[i].page = laid->seite;
        }
    }

    void categoryFindingsOf(int kat) {
        const TKategorie* o = m_doc.options(kat);
        const TProduktListe& products = m_doc.products(kat);
        if (!categoryActive(m_doc, kat)) {
            // A deactivated heading whose sub-categories stay: the contents list them under
            // the heading before it.
            if (products.count() == 0 && hasContents() && activeSubcategory(kat))
                add(K::DeactivatedStillListed, kat, -1, {});
            return;
        }
        if (o && !o->Bild.isEmpty() && o->BildUnterName <= 1) {
            const PictureLoadResult* r = probed(o->Bild);
            if (r && r->problem != PictureFileProblem::None)
                pictureProblem(r->problem, kat, -1, resolvePicturePath(o->Bild, m_doc.afilename));
        }
        const bool ownContent = o && (o->InhaltsVerzeichnis || o->ShowOnlyPicture ||
                                      !o->Einfuehrungstext.isEmpty() || !o->Bild.isEmpty());
        if (products.count() == 0) {
            if (!ownContent && !activeSubcategory(kat))
                add(K::CategoryEmpty, kat, -1, {});
            return;
        }
        bool anyActive = false;
        for (const TProdukt& p : products)
            anyActive = anyActive || !p.DeactivateProd;
        if (!anyActive)
            add(K::CategoryAllDeactivated, kat, -1, {});
    }

    bool hasContents() const {
        for (int k = 0; k < m_doc.categoryCount(); ++k) {
            const TKategorie* o = m_doc.options(k);
            if (o && o->InhaltsVerzeichnis && !o->Deactivate)
                return true;
        }
        return false;
    }

    // Whether an active category with products follows `kat` before the next heading (a
    // category without products).
    bool activeSubcategory(int kat) const {
        for (int k = kat + 1; k < m_doc.categoryCount(); ++k) {
            if (m_doc.products(k).count() == 0)
                return false;
            if (categoryActive(m_doc, k))
                return true;
        }
        return false;
    }

    void productFindings(int kat, int index) {
        const TProdukt& p = m_doc.products(kat)[index];
        const TProdukt& laid = m_copy.products(kat)[index];
        const int page = laid.seite;
        auto addHere = [&](K kind, const QStringList& args) -> Finding& {
            Finding& f = add(kind, kat, index, args);
            f.page = page;
            return f;
        };

        // Pictures: the file, then the resolution at the size the layout printed it.
        for (int b = 0; b < p.bilder.count(); ++b) {
            const TBild& picture = p.bilder[b];
            if (picture.datei.isEmpty())
                continue;
            const PictureLoadResult* r = probed(picture.datei);
            if (r && r->problem != PictureFileProblem::None) {
                pictureProblem(r->problem, kat, index, resolvePicturePath(picture.datei, m_doc.afilename))
                    .picture = b;
                m_findings.back().page = page;
                continue;
            }
            auto placed = m_collector.pictures.constFind(&laid.bilder[b]);
            if (placed == m_collector.pictures.constEnd() || !r)
                continue;
            // Judged by the picture's own resolution where that is the lower; the PDF
            // resolution is reported as a setting.
            const double dpi = effectiveDpi(r->fullSize.width(), placed->widthMm, m_options.pdfDpi);
            if (dpi < kGoodDpi && dpi < m_options.pdfDpi) {
                const bool poor = dpi < kPoorDpi;
                Finding& f = addHere(poor ? K::PictureResolutionPoor : K::PictureResolutionLow,
                                     {QString::number(b + 1), QString::number(std::floor(dpi)),
                                      QString::number(poor ? kPoorDpi : kGoodDpi)});
                f.picture = b;
                f.page = placed->page;
            }
        }

        priceFindings(p, addHere);
        articleFinding(kat, index, addHere);

        if (m_collector.names.contains(&laid))
            addHere(K::NameBrokenInWord, {});
        for (auto it = m_collector.cells.lower_bound({&laid, -1, -1});
             it != m_collector.cells.end() && std::get<0>(it->first) == &laid; ++it) {
            const auto [product, row, column] = it->first;
            Finding& f = addHere(it->second.wrapped ? K::CellBrokenInWord : K::CellCut,
                                 {visibleText(CellText(p.varianten[row], column)), QString::number(row),
                                  QString::number(column + 1)});
            f.row = row;
            f.column = column;
            f.page = it->second.page;
        }
        if (auto it = m_collector.descriptions.constFind(&laid); it != m_collector.descriptions.constEnd())
            addHere(K::DescriptionSplit, {}).page = *it;

        // Text the editor's grid does not show.
        for (int r = 0; r < p.varianten.count(); ++r) {
            const TVariante& row = p.varianten[r];
            const int from = r < kGridSize ? kGridSize : 0;
            bool found = false;
            for (int c = from; c < row.props.count() && !found; ++c) {
                if (!row.props[c].text.isEmpty()) {
                    Finding& f =
                        addHere(K::CellOutsideGrid, {QString::number(r + 1), QString::number(c + 1)});
                    f.row = r;
                    f.column = c;
                    found = true;
                }
            }
            if (found)
                break;
        }
    }

    template <typename AddHere> void priceFindings(const TProdukt& p, AddHere& addHere) {
        if (p.anzpreis <= 0 || p.varianten.count() < 2)
            return;
        const int used = usedColumns(p);
        bool anyPrice = false;
        bool anyRow = false;
        for (int r = 1; r < p.varianten.count(); ++r) {
            const TVariante& row = p.varianten[r];
            if (FilledCellCount(row) == 0)
                continue;
            anyRow = true;
            for (int c = std::max(0, used - p.anzpreis); c < used; ++c) {
                const QString text = visibleText(CellText(row, c));
                if (text.isEmpty())
                    continue;
                if (m_prices.matches(text)) {
                    anyPrice = true;
                } else {
                    Finding& f = addHere(K::PriceNotNumber, {text, QString::number(r)});
                    f.row = r;
                    f.column = c;
                }
            }
        }
        if (anyRow && !anyPrice)
            addHere(K::PriceMissing, {});
    }

    template <typename AddHere> void articleFinding(int kat, int index, AddHere& addHere) {
        const TProdukt& p = m_doc.products(kat)[index];
        const int column = articleColumn(p);
        QSet<QString> own;
        for (int r = 1; r < p.varianten.count(); ++r) {
            const QString number = visibleText(CellText(p.varianten[r], column));
            if (number.isEmpty() || own.contains(number))
                continue;
            own.insert(number);
            auto it = m_articles.constFind(number);
            if (it == m_articles.constEnd()) {
                m_articles.insert(number, {kat, index});
                continue;
            }
            Finding& f = addHere(K::ArticleNumberTwice, {number, m_doc.products(it->first)[it->second].name,
                                                         m_doc.categoryName(it->first)});
            f.row = r;
            f.column = column;
        }
    }

    const CatalogDocument& m_doc;
    const CheckOptions& m_options;
    const Clock& m_clock;
    TranslationStore& m_texts;
    PriceRule m_prices;
    CatalogDocument m_copy;
    Collector m_collector;
    QHash<QString, PictureLoadResult> m_probed;
    std::vector<PictureFailure> m_environmentFailures;
    QHash<QString, std::pair<int, int>> m_articles; // article number -> first product
    std::vector<Finding> m_findings;
};

} // namespace

const std::vector<FindingKindInfo>& findingKinds() {
    return kKinds;
}

const FindingKindInfo& findingKindInfo(FindingKind kind) {
    return kKinds[std::size_t(kind)];
}

const char* severityName(Severity severity) {
    switch (severity) {
    case Severity::Error:
        return "error";
    case Severity::Warning:
        return "warning";
    case Severity::Note:
        break;
    }
    return "note";
}

std::vector<Finding> checkCatalogue(const CatalogDocument& doc, const CheckOptions& options,
                                    const Clock& clock, TranslationStore& texts) {
    return Checker(doc, options, clock, texts).run();
}

bool hasErrors(const std::vector<Finding>& findings) {
    return std::any_of(findings.begin(), findings.end(),
                       [](const Finding& f) { return f.severity() == Severity::Error; });
}

bool isPriceNumber(const QString& text, const QLocale& locale) {
    return PriceRule(locale).matches(text);
}

double effectiveDpi(int pixelWidth, double widthMm, int pdfDpi) {
    if (widthMm <= 0)
        return pdfDpi;
    return std::min(double(pixelWidth) * kMmPerInch / widthMm, double(pdfDpi));
}

} // namespace pw
