#pragma once

// The frame every page gets before its content: background colour or gradient, tiled
// background picture, header with logo, footer lines and the page border. It also fixes
// the vertical space the header and the footer take.

#include "compose/canvas.h"
#include "compose/picturelog.h"
#include "imagelib/PicIO3.h"
#include "model/catalog.h"

#include <QDate>
#include <QLocale>

namespace pw {

// The frame's pictures, loaded and preprocessed once rather than once per page. The
// background of odd pages (di2) is reloaded when its file name or the texture settings
// change; the even-page background (di4) and the logo (di3) only when their file names
// change, so di4 keeps the processing it got when its name last changed. The file names
// are resolved for the catalogue file `catalogueFile` (resolvePicturePath); a background
// that does not load, and a logo that does not load while the logo is switched on, are
// noted in `log` when one is given.
class FramePictures {
public:
    void update(const LayoutSettings& s, const QString& catalogueFile = {}, PictureLog* log = nullptr);
    const dib& di2() const { return m_di2; }
    const dib& di3() const { return m_di3; }
    const dib& di4() const { return m_di4; }

private:
    dib m_di2;
    dib m_di3;
    dib m_di4;
    QString m_key2;
    QString m_key3;
    QString m_key4;
    PictureFileProblem m_problem3 = PictureFileProblem::None;
    bool m_loaded = false;
};

struct PageFrameInput {
    int dpi = 96;
    double zoom = 100;
    int width = 0; // page size in pixels
    int height = 0;
    int page = 1;         // the page being started, 1-based
    int seiteedvalue = 1; // the page that is drawn
    int anzpages = 0;     // the page count of the previous run
    const LastKatTable* lastkat = nullptr;
    QDate today;
    QLocale locale; // the interface language's, for "%DATE%"
};

struct PageFrameResult {
    int headerPx = 0;
    double headerMm = 0;
    int footerPx = 0;
    double footerMm = 0;
};

// Runs the frame of one page. Draws only when page == seiteedvalue, except the page
// border, which is drawn on every call. Leaves the brush clear.
PageFrameResult PageFrame(Canvas& canvas, const LayoutSettings& s, const FramePictures& pictures,
                          const PageFrameInput& in);

// "%PAGE%", "%DATE%" and "%CATEGORY%" of a footer text, replaced ignoring case.
QString ExpandFooterText(const QString& text, const LayoutSettings& s, const PageFrameInput& in);

} // namespace pw
