#include "vectorexport.h"

#include "compose/pageframe.h"
#include "model/error.h"
#include "output/pagesource.h"
#include "output/vectorpdf.h"

namespace pw {

namespace {

// The pages of the run as pages of the document.
class VectorSurface final : public PageSurface {
public:
    VectorSurface(VectorPdfDocument& pdf, const PdfPageGeometry& g,
                  const std::function<bool(int, bool)>& done)
        : m_pdf(pdf), m_canvas(pdf), m_geometry(g), m_done(done) {}

    Canvas& canvas() override { return m_canvas; }
    void startPage(int) override {
        m_pdf.beginPage(m_geometry.pageWidth, m_geometry.pageHeight, m_geometry.bitmapWidth,
                        m_geometry.bitmapHeight);
    }
    void stopDrawing() override { m_pdf.endPage(); }
    bool finishPage(int page, bool more) override { return m_done(page, more); }

private:
    VectorPdfDocument& m_pdf;
    VectorPdfCanvas m_canvas;
    PdfPageGeometry m_geometry;
    const std::function<bool(int, bool)>& m_done;
};

// Turns the lines of a table of contents into links to their pages.
class ContentsLinks final : public LayoutObserver {
public:
    ContentsLinks(VectorPdfDocument& pdf, int firstPageNumber) : m_pdf(pdf), m_first(firstPageNumber) {}
    void contentsLine(int, const QRect& area, int target) override {
        if (m_pdf.inPage())
            m_pdf.addLink(area, int(qint64(target) - m_first));
    }

private:
    VectorPdfDocument& m_pdf;
    qint64 m_first;
};

// Puts an observer into the environment for the export and the previous one back after.
class ObserverSwap {
public:
    ObserverSwap(EngineEnvironment& env, LayoutObserver* observer) : m_env(env), m_previous(env.observer) {
        env.observer = observer;
    }
    ~ObserverSwap() { m_env.observer = m_previous; }
    ObserverSwap(const ObserverSwap&) = delete;
    ObserverSwap& operator=(const ObserverSwap&) = delete;

private:
    EngineEnvironment& m_env;
    LayoutObserver* m_previous;
};

} // namespace

std::vector<PdfBookmark> CatalogueBookmarks(const CatalogDocument& doc) {
    const qint64 first = doc.settings.FirstPageNr;
    const auto index = [&](int printed) { return int(std::clamp<qint64>(printed - first, -1, INT_MAX)); };
    std::vector<PdfBookmark> top;
    bool inMain = false; // the categories after a main category go below it
    for (int kat = 0; kat < doc.categoryCount(); ++kat) {
        const TKategorie* o = doc.options(kat);
        if (!o || o->Deactivate)
            continue;
        PdfBookmark b{doc.categoryName(kat), index(o->seite), {}};
        const TProduktListe& products = doc.products(kat);
        for (int i = 0; i < products.count(); ++i) {
            if (!products[i].DeactivateProd)
                b.children.push_back(PdfBookmark{products[i].name, index(products[i].seite), {}});
        }
        const bool main = products.count() == 0;
        if (main || !inMain || top.empty()) {
            top.push_back(std::move(b));
            inMain = main;
        } else {
            top.back().children.push_back(std::move(b));
        }
    }
    return top;
}

QString DocumentTitle(const CatalogDocument& doc, const EngineEnvironment& env) {
    PageFrameInput in;
    in.page = int(std::clamp<qint64>(1 - qint64(doc.settings.FirstPageNr), INT_MIN, INT_MAX)); // no number
    in.today = env.clock->today();
    in.locale = env.locale;
    QString title = ExpandFooterText(doc.settings.KopfEd, doc.settings, in).simplified();
    // A separator that stood before the page number or category goes with it.
    static const QString kSeparators = QStringLiteral(" -\u2013\u2014\u00B7:|,/");
    while (!title.isEmpty() && kSeparators.contains(title.back()))
        title.chop(1);
    return title;
}

bool ExportVectorPdf(CatalogDocument& doc, int layoutCombo, EngineEnvironment& env,
                     const PdfExportSettings& settings, const QString& file, Progress& progress) {
    const PdfPageGeometry g = PdfExportGeometry(doc.settings, settings);
    VectorPdfOptions options;
    options.cmyk = settings.cmyk;
    options.programFolder = settings.programFolder;
    options.title = DocumentTitle(doc, env);
    options.creator = QStringLiteral("Pagewright " PW_VERSION);
    VectorPdfDocument pdf(file, options); // abandoned by its destructor unless finished
    const int expected = std::max(1, doc.anzpages);
    if (!progress.report(0, expected))
        return false;
    int last = 0;
    const std::function<bool(int, bool)> done = [&](int page, bool more) {
        last = page;
        return progress.report(page, std::max(expected, page + (more ? 1 : 0)));
    };
    VectorSurface surface(pdf, g, done);
    ContentsLinks links(pdf, doc.settings.FirstPageNr);
    {
        const ObserverSwap swap(env, &links);
        if (!RenderPagesTo(doc, layoutCombo, env, PdfExportCall(doc.settings, settings), surface))
            return false;
    }
    pdf.setBookmarks(CatalogueBookmarks(doc));
    pdf.setFirstPageNumber(doc.settings.FirstPageNr);
    pdf.finish();
    doc.anzpages = last;
    return true;
}

} // namespace pw
