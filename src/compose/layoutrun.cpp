#include "layoutrun.h"

#include "model/picturefile.h"
#include "model/pictures.h"

#include <algorithm>

namespace pw {

namespace {

const QString kBlank = QStringLiteral(" ");

void solidArea(Canvas& c, quint32 color) {
    c.brush = {color, BrushStyle::Solid};
    c.pen = {color, 1, PenStyle::Solid, PenEnds::Flat};
}

// The introduction text's wrapping: characters move from the end of the line to the
// remainder until the line fits or holds one character; a shortened line that contains a
// blank then gives back characters until it ends with that blank, which stays printed.
QStringList wrapIntroductionLine(Canvas& c, const QString& line, double widthMm, double unzoomed) {
    if (line.isEmpty())
        return {QString()}; // an empty line still takes its line
    QStringList pieces;
    MmMeasurer measure(c, unzoomed);
    QString rest = line;
    while (!rest.isEmpty()) {
        qint64 sum = 0;
        qsizetype fit = 0; // the longest prefix that fits
        for (qsizetype i = 0; i < rest.size(); ++i) {
            sum += measure.advance(rest, i);
            if (MmMeasurer::pxToMm(sum) > widthMm)
                break;
            fit = i + 1;
        }
        fit = std::max<qsizetype>(fit, 1);
        if (fit < rest.size() && rest[fit] == QLatin1Char(' ')) {
            ++fit; // the line already ends before a blank, which it keeps
        } else if (fit < rest.size()) {
            const qsizetype blank = rest.left(fit).lastIndexOf(QLatin1Char(' '));
            if (blank >= 0)
                fit = blank + 1;
        }
        pieces.append(rest.left(fit));
        rest.remove(0, fit);
    }
    return pieces;
}

} // namespace

LayoutRun::LayoutRun(Canvas& canvas, CatalogDocument& doc, const ViewState& view, EngineEnvironment& env,
                     const EngineCall& call)
    : m_c(canvas), m_doc(doc), m_s(doc.settings), m_view(view), m_env(env), m_call(call) {
    m_env.pictures.update(m_s, m_doc.afilename, &m_env.pictureFailures);
    m_today = m_env.clock ? m_env.clock->today() : QDate();
}

void LayoutRun::selectFont(const FontSpec& font) {
    m_unzoomed = SelectZoomedFont(m_c, font, m_call.dpi, m_call.zoomedvalue);
    m_thmm = -1;
}

void LayoutRun::selectHeadingFont(const FontSpec& font) {
    m_unzoomed = SelectHeadingFont(m_c, font, m_call.dpi, m_call.zoomedvalue);
    m_thmm = -1;
}

double LayoutRun::thmm() {
    if (m_thmm < 0)
        m_thmm = TextHeightMM(m_c, kBlank, m_unzoomed);
    return m_thmm;
}

void LayoutRun::startRun() {
    m_c.bkMode = BkMode::Transparent;
    m_c.font.PixelsPerInch = m_call.dpi;
    if (!m_call.printit) {
        m_c.brush = {0x00FFFFFF, BrushStyle::Solid};
        m_c.pen = {0, 1, PenStyle::Solid, PenEnds::Round};
        m_c.Rectangle(0, 0, m_call.width, m_call.height);
    }
    m_left = px(m_s.LinksEd);
    m_top = px(m_s.ObenEd);
    m_right = px(m_s.RechtsEd);
    m_bottom = px(m_s.UntenEd);
    m_randBild = px(m_s.RandBildEd);
    m_page = 1;
    runPageFrame();
    m_x = m_left;
    m_y = m_s.ObenEd + m_frame.headerMm;
}

bool LayoutRun::runCatalogue() {
    startRun();
    for (int kat = 0; kat < m_doc.categoryCount(); ++kat) {
        const TKategorie* o = m_doc.options(kat);
        if (!(o && o->Deactivate))
            category(kat);
    }
    return finishRun();
}

bool LayoutRun::finishRun() {
    if (!m_call.printit) {
        m_c.pen = {0, 1, PenStyle::Solid, PenEnds::Flat};
        m_c.brush.style = BrushStyle::Clear;
        m_c.Rectangle(0, 0, m_call.width, m_call.height);
    }
    m_doc.anzpages = m_page;
    if (m_call.pages)
        m_call.pages->endRun(m_page);
    return m_call.seiteedvalue < m_page;
}

void LayoutRun::runPageFrame() {
    PageFrameInput in;
    in.dpi = m_call.dpi;
    in.zoom = m_call.zoomedvalue;
    in.width = m_call.width;
    in.height = m_call.height;
    in.page = m_page;
    framePrologue();
    // The previous page is complete once its frame is closed above.
    if (m_call.pages)
        m_call.seiteedvalue = m_call.pages->beginPage(m_page) ? m_page : -1;
    in.seiteedvalue = m_call.seiteedvalue;
    in.anzpages = m_doc.anzpages;
    in.lastkat = &m_doc.lastkat;
    in.today = m_today;
    in.locale = m_env.locale;
    m_frame = PageFrame(m_c, m_s, m_env.pictures, in);
    m_items = 0;
    frameEpilogue();
}

void LayoutRun::pageBreak(const QString& caption, bool extraLine) {
    m_doc.lastkat.set(m_page, caption);
    ++m_page;
    runPageFrame();
    m_y = m_s.ObenEd + m_frame.headerMm;
    if (extraLine)
        m_y += thmm();
}

// ---- Categories

bool LayoutRun::isMainCategory(const CatalogDocument& doc, int kat) {
    const TKategorie* o = doc.options(kat);
    return doc.products(kat).count() == 0 && !(o && o->InhaltsVerzeichnis);
}

TKategorie& LayoutRun::categoryOptions(int kat) {
    if (TKategorie* o = m_doc.options(kat))
        return *o;
    TKategorie& o = m_doc.createOptions(kat);
    o.BildBreite = m_view.BildBreitEd;
    return o;
}

void LayoutRun::SetCategoryFont(int kat) {
    const TKategorie* o = m_doc.options(kat);
    const bool toc = o && o->InhaltsVerzeichnis;
    if (toc)
        m_items = 1;
    if (m_doc.products(kat).count() > 0 || toc || m_s.DonotIncreaseFontSizeCheck)
        selectFont(m_s.FontDialog2);
    else
        selectHeadingFont(m_s.FontDialog2);
    if (o && o->OwnFontColor)
        m_c.font.Color = o->FontColor;
}

void LayoutRun::category(int kat) {
    const QString previous = kat > 0 ? m_doc.categoryName(kat - 1) : QString();
    const TKategorie* given = m_doc.options(kat);
    const bool noNeed = given && given->NoNeedForNewPage;
    beginCategory();
    if (kat == 0 || m_items == 0 || noNeed) {
        SetCategoryFont(kat);
        if (noNeed) {
            if (m_noNeedGap)
                m_y += 3 * m_s.RandBildEd;
            // Only tested: the heading's two lines (and a half for a main category).
            const double e = m_y + thmm() * 2 + (isMainCategory(m_doc, kat) ? thmm() / 2 : 0);
            if (!fits(e))
                pageBreak(previous, false);
        }
    } else {
        pageBreak(previous, false);
        SetCategoryFont(kat);
    }

    TKategorie& o = categoryOptions(kat);
    const QString caption = m_doc.categoryName(kat);
    o.seite = SaturatedInt(qint64(m_s.FirstPageNr) + m_page - 1);
    DrawCategoryHeading(kat);
    m_x = m_left;
    selectFont(m_s.FontDialog11);
    m_c.brush.style = BrushStyle::Clear;
    if (o.InhaltsVerzeichnis)
        TableOfContents(kat);
    m_y += thmm();
    if (!fits(m_y) || o.ErstesAufneuerSeite)
        pageBreak(caption, false);

    beginProducts();
    TProduktListe& products = m_doc.products(kat);
    for (int i = 0; i < products.count(); ++i) {
        if (!products[i].DeactivateProd) {
            // A run that draws every page from here on (an export) draws the next product's
            // pictures soon too: they decode on another core while this product is set.
            if (m_call.pages && drawn()) {
                for (int next = i + 1; next < products.count(); ++next) {
                    if (products[next].DeactivateProd)
                        continue;
                    for (const TBild& b : products[next].bilder)
                        decodeAhead(b);
                    break;
                }
            }
            m_product = &products[i];
            product(kat, products[i]);
        }
    }
    m_product = nullptr;
    endProducts();
    // A table of contents or a picture page keeps the next category off its page.
    if (o.InhaltsVerzeichnis || o.ShowOnlyPicture) {
        m_items = 1;
        m_x = columnLeft();
    }
}

void LayoutRun::TableOfContents(int tocKat) {
    const TKategorie& toc = *m_doc.options(tocKat);
    const bool stopAtMain = toc.Unterkategorien && !toc.ListAllKategoires;
    const int m = m_randBild;
    bool mainLevel = true;
    const FontSpec* current = &m_s.FontDialog11; // selected by the caller
    auto useFont = [&](const FontSpec& f) {
        if (current != &f) {
            selectFont(f);
            m_c.brush.style = BrushStyle::Clear;
            current = &f;
        }
    };
    // With UseColorInInhaltCheck a category with a coloured band lists in that colour; the
    // colour stays on the font until a level change selects a font again.
    auto applyColour = [&](const TKategorie* x) {
        if (m_s.UseColorInInhaltCheck && x && x->KatBereichUnter)
            m_c.font.Color = x->BereichFarbe;
    };
    // A page break before a line that would not fit, named after the listed category.
    auto roomForLine = [&](const QString& caption) {
        if (!fits(m_y + 2 * thmm())) {
            pageBreak(caption, false);
            m_y += thmm();
        }
    };

    for (int k = toc.ListAllKategoires ? 0 : tocKat + 1; k < m_doc.categoryCount(); ++k) {
        const TKategorie* x = m_doc.options(k);
        if (k == tocKat || (x && (x->DoNotListinInhalt || x->Deactivate)))
            continue;
        const bool main = m_doc.products(k).count() == 0;
        if (main) {
            mainLevel = true;
            if (stopAtMain)
                break;
        }
        useFont(mainLevel ? m_s.FontDialog11 : m_s.FontDialog1);
        applyColour(x);
        const QString& caption = m_doc.categoryName(k);
        roomForLine(caption);
        int indent = mainLevel ? 0 : 4 * m;
        if (!toc.DoNotListCategories)
            listingLine(caption, x ? QString::number(x->seite) : QString(), indent);
        if (toc.ProdukteInhalt) {
            if (current == &m_s.FontDialog11) {
                useFont(m_s.FontDialog1);
                applyColour(x);
            }
            if (!toc.DoNotListCategories)
                indent += 4 * m;
            for (const TProdukt& p : m_doc.products(k)) {
                if (p.DeactivateProd)
                    continue;
                roomForLine(caption);
                listingLine(p.name, QString::number(p.seite), indent);
            }
        }
        if (main)
            mainLevel = false;
    }
}

void LayoutRun::listingLine(const QString& text, const QString& number, int indent) {
    if (drawn()) {
        const QString shown = StripControlChars(text);
        const int at = pxRound(m_y);
        m_c.TextOut(m_left + indent, at, shown);
        const int xn = m_call.width - m_right - m_c.TextWidth(number);
        m_c.TextOut(xn, at, number);
        bool isNumber = false;
        const int target = number.toInt(&isNumber);
        if (isNumber && observer()) {
            const int x = m_left + indent;
            observer()->contentsLine(printedPage(),
                                     QRect(x, at, m_call.width - m_right - x, m_c.TextHeight(shown)), target);
        }
        // The dots stand on a grid of their own width, so that all leaders line up; a
        // font too small to give a dot any width has no leader.
        const int dot = m_c.TextWidth(QStringLiteral("."));
        if (dot > 0) {
            int x0 = m_left + indent + m_c.TextWidth(shown);
            x0 = (x0 + dot - 1) / dot * dot;
            for (; x0 + dot < xn; x0 += dot)
                m_c.TextOut(x0, at, QStringLiteral("."));
        }
    }
    m_y += thmm();
}

bool LayoutRun::categoryPicture(const QString& stored, const QString& caption, bool load, dib& picture,
                                QSize& size) {
    if (stored.isEmpty())
        return false;
    const QString file = resolvePicturePath(stored, m_doc.afilename);
    auto cached = m_env.categoryPictureSizes.constFind(file);
    if (load || cached == m_env.categoryPictureSizes.constEnd()) {
        loadLayoutPicture(picture, stored, m_doc.afilename, PictureUse::Category, caption,
                          &m_env.pictureFailures);
        size = picture.poi ? QSize(dibwidth(picture), dibheight(picture)) : QSize();
        m_env.categoryPictureSizes.insert(file, size);
        if (!load)
            freedib(picture);
    } else {
        size = *cached;
    }
    return size.width() > 0 && size.height() > 0;
}

void LayoutRun::DrawCategoryHeading(int kat) {
    TKategorie& o = categoryOptions(kat);
    const bool main = isMainCategory(m_doc, kat);
    const QString& caption = m_doc.categoryName(kat);
    const int th = m_c.TextHeight(kBlank);
    const int m = m_randBild;

    dib picture;
    QSize size;
    const bool hasPicture = (o.BildUnterName == 0 || o.BildUnterName == 1) &&
                            categoryPicture(o.Bild, caption, drawn(), picture, size);

    if (drawn()) {
        const int ypx = pxRound(m_y);
        int band = main ? th + th : th + th / 2;
        if (m_s.KatBereichUnterCheck && !o.ShowOnlyPicture) {
            solidArea(m_c, o.KatBereichUnter ? o.BereichFarbe : m_s.Shape4);
            m_c.Rectangle(0, ypx, m_call.width, ypx + band);
        }
        if (o.BildUnterName == 0 && hasPicture) {
            int f = cmPx(o.BildBreite);
            int l = int(qint64(size.height()) * f / size.width());
            if (band > 2 * m)
                band -= 2 * m;
            if (band < l) {
                l = band;
                f = int(qint64(size.width()) * band / size.height());
            }
            if (o.UseAsBackgroundPic)
                PaintDib(m_c, 0, 0, m_call.width, m_call.height, picture, 0, 0, size.width(), size.height(),
                         false);
            else
                PaintDib(m_c, m_x, m + ypx, f, l, picture, 0, 0, size.width(), size.height(), false);
            m_x += m + f;
        }
        if (m_s.UnterlegeKategorie)
            m_c.brush = {o.UnterlegeKategorie ? o.UnterlegFarbe : m_s.Shape3, BrushStyle::Solid};
        else
            m_c.brush.style = BrushStyle::Clear;
        if (!o.ShowOnlyPicture) {
            const QString text = StripControlChars(m_s.CapsCheck ? caption.toUpper() : caption);
            m_c.TextOut(m_x, ypx + (main ? th / 2 : th / 4), text);
        }
    }
    if (!o.ShowOnlyPicture)
        m_y += thmm() * 2 + (main ? thmm() / 2 : 0);
    m_x = m_left;
    double xm = m_s.LinksEd;

    bool besideText = false;
    double y0 = 0;
    double h0 = 0;
    if (o.BildUnterName == 1 && hasPicture) {
        const int f = cmPx(o.BildBreite);
        const int l = int(qint64(size.height()) * f / size.width());
        const double k = size.height() * o.BildBreite * 10 / size.width();
        if (drawn()) {
            if (o.UseAsBackgroundPic)
                PaintDib(m_c, 0, 0, m_call.width, m_call.height, picture, 0, 0, size.width(), size.height(),
                         false);
            else
                PaintDib(m_c, m_x, pxRound(m_y), f, l, picture, 0, 0, size.width(), size.height(), false);
        }
        y0 = m_y;
        h0 = m_s.RandBildEd + k;
        if (o.TextUnterBild) {
            m_y += m_s.RandBildEd + k;
        } else {
            besideText = true;
            m_x += m + f;
            xm += m_s.RandBildEd + o.BildBreite * 10;
        }
    }
    freedib(picture);

    if (!o.Einfuehrungstext.isEmpty())
        introductionText(o.Einfuehrungstext, xm, caption);
    if (besideText)
        m_y = std::max(m_y, y0 + h0);
}

void LayoutRun::introductionText(const QString& text, double xm, const QString& caption) {
    selectFont(m_s.FontDialog12);
    // The caption's highlight is for the caption alone; the text is set without it.
    m_c.brush.style = BrushStyle::Clear;
    const double width = m_call.widthmm - m_s.RechtsEd - xm;
    QString normalized = text;
    normalized.replace(QLatin1String("\r\n"), QLatin1String("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    for (const QString& line : normalized.split(QLatin1Char('\n'))) {
        for (const QString& piece : wrapIntroductionLine(m_c, line, width, m_unzoomed)) {
            if (drawn())
                m_c.TextOut(pxRound(xm), pxRound(m_y), StripControlChars(piece));
            m_y += thmm();
            // Each piece is placed before the page can break, so the loop ends on any page.
            if (!fits(m_y)) {
                pageBreak(caption, false);
                selectFont(m_s.FontDialog12);
                m_y += thmm();
            }
        }
    }
    m_y += thmm();
}

void LayoutRun::productName(TProdukt& p, bool drawingPass, double widthMm, int x, QStringList& lines) {
    selectFont(m_s.FontDialog3);
    m_c.brush.style = BrushStyle::Clear;
    p.seite = printedPage();
    if (!drawingPass) {
        bool broken = false;
        lines = BreakLines(m_c, p.name, widthMm, unzoomed(), observer() ? &broken : nullptr);
        if (broken)
            observer()->nameBrokenInWord(p, p.seite);
    }
    for (const QString& line : lines) {
        if (drawingPass && drawn())
            m_c.TextOut(x, pxRound(m_y), line);
        m_y += thmm();
    }
}

namespace {

// The side a picture `full` pixels large is decoded for when it is drawn `atLeast` wide
// (or, byHeight, high) and the other side in proportion: the decoder may go down to that
// smaller side, which it keeps both sides above. `atLeast` itself when the size is unknown.
int decodeSideFor(QSize full, int atLeast, bool byHeight) {
    if (full.isEmpty())
        return atLeast;
    const qint64 along = byHeight ? full.height() : full.width();
    const qint64 across = byHeight ? full.width() : full.height();
    const qint64 other = (across * atLeast + along - 1) / along; // rounded up
    return int(std::clamp<qint64>(other, 1, atLeast));
}

} // namespace

int LayoutRun::drawnSide(const TBild& b) const {
    // Never drawn wider than breite, or (with the picture height set instead) higher.
    return std::max(cmPx(b.breite > 0 ? std::min(b.breite, kMaxPictureWidth) : 0.0), 1);
}

void LayoutRun::decodeAhead(const TBild& b) {
    if (b.pixbreite <= 0 || b.pixhoehe <= 0 || m_env.decodedPictures.budget() <= 0)
        return;
    const QString file = resolvePicturePath(b.datei, m_doc.afilename);
    if (!m_env.pictureFailures.empty() && m_env.pictureFailures.problemOf(file) != PictureFileProblem::None)
        return;
    const int atLeast = drawnSide(b);
    const int decodeSide = decodeSideFor(QSize(b.pixbreite, b.pixhoehe), atLeast, picturesByHeight());
    // As productPictureSize loads it, but without noting a failure: the drawing notes it.
    m_env.decodedPictures.decodeAhead(file, decodeSide,
                                      [stored = b.datei, catalogue = m_doc.afilename, decodeSide](dib& d) {
                                          return loadLayoutPicture(d, stored, catalogue, PictureUse::Product,
                                                                   QString(), nullptr, decodeSide);
                                      });
}

bool LayoutRun::productPictureSize(TBild& b, bool load, dib* picture, bool byHeight) {
    // A size read from the header stands until the picture fails to draw; from then on
    // it takes no room anywhere (until the file changes).
    if (!load && b.pixbreite > 0 && !m_env.pictureFailures.empty() &&
        m_env.pictureFailures.problemOf(resolvePicturePath(b.datei, m_doc.afilename)) !=
            PictureFileProblem::None)
        b.pixbreite = b.pixhoehe = 0;
    const int atLeast = drawnSide(b);
    const QString owner = m_product ? m_product->name : QString();
    if (load || b.pixbreite <= 0 || b.pixhoehe <= 0) {
        if (!picture) {
            // Only the size is wanted: the file's header has it.
            const PictureLoadResult r = layoutPictureSize(b.datei, m_doc.afilename, PictureUse::Product,
                                                          owner, &m_env.pictureFailures, atLeast);
            const bool ok = r.problem == PictureFileProblem::None;
            b.pixbreite = ok ? r.fullSize.width() : 0;
            b.pixhoehe = ok ? r.fullSize.height() : 0;
        } else {
            dib& d = *picture;
            QSize full(b.pixbreite, b.pixhoehe);
            if (full.isEmpty()) {
                const PictureLoadResult measured =
                    readPictureSize(resolvePicturePath(b.datei, m_doc.afilename));
                full = measured.problem == PictureFileProblem::None ? measured.fullSize : QSize();
            }
            const int decodeSide = decodeSideFor(full, atLeast, byHeight);
            // A picture drawn again (the preview), or decoded ahead, may come decoded from
            // the environment's cache.
            const bool cache = m_env.decodedPictures.budget() > 0;
            const QString file = cache ? resolvePicturePath(b.datei, m_doc.afilename) : QString();
            std::optional<PictureLoadResult> kept;
            if (cache)
                kept = m_env.decodedPictures.find(file, decodeSide, d);
            const PictureLoadResult r =
                kept ? *kept
                     : loadLayoutPicture(d, b.datei, m_doc.afilename, PictureUse::Product, owner,
                                         &m_env.pictureFailures, decodeSide);
            if (cache && !kept)
                m_env.decodedPictures.keep(file, decodeSide, r, d);
            b.pixbreite = d.poi ? r.fullSize.width() : 0;
            b.pixhoehe = d.poi ? r.fullSize.height() : 0;
            return b.pixbreite > 0 && b.pixhoehe > 0;
        }
    }
    // Measured on a page that is drawn: the picture is drawn next, so it may start decoding
    // on another core now.
    if (!load && drawn())
        decodeAhead(b);
    return b.pixbreite > 0 && b.pixhoehe > 0;
}

} // namespace pw
