#pragma once

// What the export tests share: a plain catalogue of long descriptions that fills as many
// pages as wanted, and a progress that cancels.

#include "model/catalog.h"
#include "model/services.h"

#include <QProcess>
#include <QStringList>

namespace pw::test {

// What a command-line tool said: its exit code (-1 when it did not end normally) and its
// output and error output together.
struct Tool {
    int code = -1;
    QByteArray out;
};

inline Tool runTool(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    p.waitForFinished(120000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            p.readAllStandardOutput() + p.readAllStandardError()};
}

// Cancels once `pages` pages are done.
class CancelAfter final : public Progress {
public:
    explicit CancelAfter(int pages) : m_pages(pages) {}
    bool report(int done, int) override { return done < m_pages; }

private:
    int m_pages;
};

// One category "Werkzeug" of `products` products with descriptions of `length` characters;
// no header, footer, logo or background.
inline void fillPlainCatalogue(CatalogDocument& doc, int products, int length = 2000) {
    doc.settings.KopfEd.clear();
    doc.settings.FussEd.clear();
    doc.settings.LogoChecked = false;
    doc.settings.FilenameEdit1.clear();
    doc.settings.BackgroundColorCheck = false;
    const int k = doc.addCategory(QStringLiteral("Werkzeug"));
    for (int i = 0; i < products; ++i) {
        TProdukt& p = *doc.products(k).Add();
        SetProductTableDefaults(p);
        p.name = QStringLiteral("Produkt %1").arg(i);
        p.desc = QString(length, QLatin1Char('x'))
                     .replace(QStringLiteral("xxxxxxxx"), QStringLiteral("Wort und "));
    }
}

} // namespace pw::test
