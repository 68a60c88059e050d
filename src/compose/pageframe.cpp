#include "pageframe.h"

#include "compose/text.h"
#include "compose/texture.h"
#include "compose/units.h"

namespace pw {

void FramePictures::update(const LayoutSettings& s, const QString& catalogueFile, PictureLog* log) {
    const QString file2 = resolvePicturePath(s.FilenameEdit2, catalogueFile);
    const QString file3 = resolvePicturePath(s.FilenameEdit1, catalogueFile);
    const QString file4 = resolvePicturePath(s.FilenameEdit3, catalogueFile);
    const auto load = [&](dib& slot, const QString& stored, PictureUse use, PictureLog* to) {
        freedib(slot);
        if (stored.isEmpty())
            return PictureFileProblem::None;
        return loadLayoutPicture(slot, stored, catalogueFile, use, QString(), to).problem;
    };
    const QString key2 =
        file2 +
        QStringLiteral("|%1|%2|%3|%4").arg(s.GrayScaleCheck).arg(s.LightenCheck).arg(s.HellEd).arg(s.SatEd);
    if (!m_loaded || key2 != m_key2) {
        load(m_di2, s.FilenameEdit2, PictureUse::Background, log);
        ApplyTextureSteps(m_di2, s);
        m_key2 = key2;
    }
    if (!m_loaded || file4 != m_key4) {
        load(m_di4, s.FilenameEdit3, PictureUse::Background, log);
        ApplyTextureSteps(m_di4, s);
        m_key4 = file4;
    }
    if (!m_loaded || file3 != m_key3) {
        m_problem3 = load(m_di3, s.FilenameEdit1, PictureUse::Logo, nullptr);
        m_key3 = file3;
    }
    // The logo counts as missing only while it is switched on.
    if (log && s.LogoChecked && m_problem3 != PictureFileProblem::None)
        log->add({file3, PictureUse::Logo, QString(), m_problem3});
    m_loaded = true;
}

namespace {

void flatPen(Canvas& c, quint32 color, int width) {
    c.pen = {color, width, PenStyle::Solid, PenEnds::Flat};
}

void solidArea(Canvas& c, quint32 color) {
    c.brush = {color, BrushStyle::Solid};
    flatPen(c, color, 1);
}

int channel(quint32 color, int shift) {
    return int((color >> shift) & 0xFF);
}

void drawBackgroundColour(Canvas& c, const LayoutSettings& s, int width, int height) {
    if (s.Shape5 == s.Shape6) {
        solidArea(c, s.Shape5);
        c.Rectangle(0, 0, width, height);
        return;
    }
    for (int j = 1; j <= height; ++j) {
        quint32 color = 0;
        for (int shift : {0, 8, 16}) {
            const int v =
                channel(s.Shape5, shift) * (height - j) / height + j * channel(s.Shape6, shift) / height;
            color |= quint32(v) << shift;
        }
        solidArea(c, color);
        c.Rectangle(0, j - 1, width, j);
    }
}

void drawBackgroundPicture(Canvas& c, const LayoutSettings& s, const FramePictures& pics,
                           const PageFrameInput& in) {
    const dib& picture = (in.page % 2 == 0 && pics.di4().poi) ? pics.di4() : pics.di2();
    if (!picture.poi)
        return;
    const int w = CmToPx(s.BreitEd2, in.dpi, in.zoom);
    int h = CmToPx(s.HochEd2, in.dpi, in.zoom);
    if (s.SVerh2Check)
        h = int(qint64(w) * dibheight(picture) / dibwidth(picture));
    // At very small zooms a tile can shrink to nothing; the tiling still steps on.
    const int stepX = std::max(1, w);
    const int stepY = std::max(1, h);
    for (int y = 0; y < in.height; y += stepY) {
        for (int x = 0; x < in.width; x += stepX)
            PaintDib(c, x, y, w, h, picture, 0, 0, dibwidth(picture), dibheight(picture), false);
    }
}

bool coverPage(const LayoutSettings& s, const PageFrameInput& in) {
    return s.CoverCheck && (in.page == 1 || in.page == in.anzpages);
}

QString lastKat(const PageFrameInput& in) {
    return in.lastkat ? in.lastkat->get(in.page) : QString();
}

} // namespace

QString ExpandFooterText(const QString& text, const LayoutSettings& s, const PageFrameInput& in) {
    const qint64 number = qint64(s.FirstPageNr) + in.page - 1;
    QString out = text;
    out.replace(QStringLiteral("%PAGE%"), number < 1 ? QString() : QString::number(number),
                Qt::CaseInsensitive);
    out.replace(QStringLiteral("%DATE%"), in.locale.toString(in.today, QLocale::ShortFormat),
                Qt::CaseInsensitive);
    out.replace(QStringLiteral("%CATEGORY%"), lastKat(in), Qt::CaseInsensitive);
    return out;
}

PageFrameResult PageFrame(Canvas& c, const LayoutSettings& s, const FramePictures& pics,
                          const PageFrameInput& in) {
    PageFrameResult r;
    const bool drawn = in.page == in.seiteedvalue;
    auto px = [&](double mm) { return MmToPx(mm, in.dpi, in.zoom); };

    if (drawn && s.BackgroundColorCheck)
        drawBackgroundColour(c, s, in.width, in.height);
    if (drawn)
        drawBackgroundPicture(c, s, pics, in);

    if (!s.KopfEd.isEmpty() && !coverPage(s, in)) {
        const FontSpec saved = c.font;
        const double unzoomed = SelectZoomedFont(c, s.FontDialog9, in.dpi, in.zoom);
        const int th = c.TextHeight(QStringLiteral(" "));
        if (drawn && s.FarbRechtKopfCheck) {
            solidArea(c, s.Shape1);
            c.Rectangle(0, 0, in.width, th + px(s.ObenEd) + px(s.KopfEdmm));
        }
        int indent = 0;
        if (drawn && pics.di3().poi && s.LogoChecked) {
            const dib& logo = pics.di3();
            const int w = CmToPx(s.BreitEd3, in.dpi, in.zoom);
            int h = CmToPx(s.HochEd3, in.dpi, in.zoom);
            if (s.sverhlogo)
                h = int(qint64(w) * dibheight(logo) / dibwidth(logo));
            const int x = s.ShowLogoRightAlignedCheck ? in.width - px(s.RandKopfEd) - w : px(s.RandKopfEd);
            PaintDib(c, x, px(s.ObenEd), w, h, logo, 0, 0, dibwidth(logo), dibheight(logo), false);
            indent = s.ShowLogoRightAlignedCheck ? 0 : w + px(s.RandBildEd);
        }
        if (drawn) {
            QString text = s.KopfEd;
            text.replace(QStringLiteral("%CATEGORY%"), lastKat(in), Qt::CaseInsensitive);
            c.TextOut(indent + px(s.RandKopfEd), px(s.ObenEd), StripControlChars(text));
        }
        if (s.KopfEdmm != 0) {
            r.headerPx = th + px(s.KopfEdmm);
            r.headerMm = TextHeightMM(c, QStringLiteral(" "), unzoomed) + s.KopfEdmm;
        }
        c.font = saved;
    }

    if (!s.FussEd.isEmpty() && !coverPage(s, in)) {
        const int z = s.Fuss2Ed.isEmpty() ? 0 : 1;
        const FontSpec saved = c.font;
        const double unzoomed = SelectZoomedFont(c, s.FontDialog8, in.dpi, in.zoom);
        const int th = c.TextHeight(QStringLiteral(" "));
        if (drawn && s.FarbrechtFussCheck) {
            solidArea(c, s.Shape2);
            c.Rectangle(0, in.height - px(s.UntenEd) - th - z * th - px(s.PlatzueberEd), in.width, in.height);
        }
        if (drawn) {
            const bool odd = in.page % 2 != 0;
            const bool left = s.FooterLeftCheck || (odd && !s.xchangecheck) || (!odd && s.xchangecheck);
            auto place = [&](const QString& raw, int y) {
                const QString text = StripControlChars(ExpandFooterText(raw, s, in));
                const int w = c.TextWidth(text);
                const int x = s.ZentrFussCheck ? (in.width - w) / 2
                              : left           ? px(s.LinkRandFussEd)
                                               : in.width - w - px(s.LinkRandFussEd);
                c.TextOut(x, y, text);
            };
            if (z == 1)
                place(s.Fuss2Ed, in.height - px(s.UntenEd) - th);
            place(odd != s.xchangecheck ? s.FussEd : s.FussEd2, in.height - px(s.UntenEd) - th - z * th);
        }
        r.footerPx = th * z + th + px(s.PlatzueberEd) + FiveMmPx(in.dpi, in.zoom);
        r.footerMm = TextHeightMM(c, QStringLiteral(" "), unzoomed) * (1 + z) + s.PlatzueberEd + 5;
        c.font = saved;
    }

    if (s.RahmenCheck) {
        const int L = px(s.LinksEd);
        const int T = px(s.ObenEd);
        const int R = px(s.RechtsEd);
        const int B = px(s.UntenEd);
        const int W = in.width;
        const int H = in.height;
        flatPen(c, s.Shape11, OneMmPx(in.dpi, in.zoom));
        c.MoveTo(L, T / 2);
        c.LineTo(W - R, T / 2);
        c.MoveTo(W - R / 2, T);
        c.LineTo(W - R / 2, H - B);
        c.MoveTo(L, H - B / 2);
        c.LineTo(W - R, H - B / 2);
        c.MoveTo(L / 2, T);
        c.LineTo(L / 2, H - B);
        // Quarter ellipses in the corner boxes, each joining the two side ends beside it.
        c.Arc(0, 0, L, T, L / 2, T, L, T / 2);
        c.Arc(W - R, 0, W, T, W - R, T / 2, W - R / 2, T);
        c.Arc(0, H - B, L, H, L, H - B / 2, L / 2, H - B);
        c.Arc(W - R, H - B, W, H, W - R / 2, H - B, W - R, H - B / 2);
    }
    c.brush.style = BrushStyle::Clear;
    return r;
}

} // namespace pw
