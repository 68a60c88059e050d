#include "layoutcli.h"

#include "cli/interrupt.h"
#include "cli/load.h"
#include "output/exportpage.h"

#include <cstdio>
#include <limits>
#include <unistd.h>

namespace pw::cli {

namespace {

// The layout to use: --layout N (1..8), else the catalogue's own. Prints the error and
// returns -1 for a stored layout that does not exist.
int chooseLayout(const CatalogDocument& doc, int requested) {
    const int layout = requested > 0 ? requested - 1 : doc.settings.LayoutCombo;
    if (layout < 0 || layout >= kLayoutCount) {
        const QByteArray line = QStringLiteral("pagewright-cli: Layout %1 gibt es nicht (1 bis 8)\n")
                                    .arg(qint64(layout) + 1)
                                    .toUtf8();
        std::fwrite(line.constData(), 1, std::size_t(line.size()), stderr);
        return -1;
    }
    return layout;
}

} // namespace

bool checkDpiLimit(const char* command, int dpi, int low, int high, const std::function<QSize(int)>& pageAt,
                   const QString& where, const char* option) {
    const int limit = HighestPageDpi(pageAt, high);
    if (dpi <= limit)
        return true;
    if (limit < low)
        usageError(QStringLiteral("%1: die Seite ist schon bei %2 %3 größer als %4 Pixel (%5)"),
                   QLatin1String(command), QLatin1String(option), low, kMostPagePixels, where);
    else
        usageError(QStringLiteral("%1: %2 erwartet %3 bis %4 (%5; darüber hat eine Seite mehr als %6 Pixel)"),
                   QLatin1String(command), QLatin1String(option), low, limit, where, kMostPagePixels);
    return false;
}

bool openForLayout(Context& context, CatalogSession& session, const QString& file, int requested,
                   int& layout) {
    if (!openCatalog(context, session, file))
        return false;
    layout = chooseLayout(session.doc(), requested);
    return layout >= 0;
}

void printPictureFailures(Context& context, const EngineEnvironment& env) {
    for (const PictureFailure& f : env.pictureFailures.failures())
        printWarning(context, pictureFailureError(f));
}

bool strictStop(Context& context, const EngineEnvironment& env, bool strict) {
    if (!strict || env.pictureFailures.empty())
        return false;
    printPictureFailures(context, env);
    printError(context, Error::text(QStringLiteral("--strict: Bilder fehlen, nichts geschrieben")));
    return true;
}

TerminalProgress::TerminalProgress(const char* what) : m_what(what), m_show(isatty(STDERR_FILENO) != 0) {}

TerminalProgress::~TerminalProgress() {
    if (m_show && m_shown)
        std::fputs("\n", stderr);
}

bool TerminalProgress::report(int done, int total) {
    if (m_show) {
        std::fprintf(stderr, "\r%s: %d / %d", m_what, done, total);
        std::fflush(stderr);
        m_shown = true;
    }
    return caughtSignal() == 0;
}

} // namespace pw::cli
