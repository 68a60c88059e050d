#include "catalogsession.h"

#include "i18n/translateunit.h"
#include "model/bulkoperations.h"
#include "model/caption.h"
#include "model/vorlage.h"

namespace pw {

CatalogSession::CatalogSession(TranslationStore& texts, const Clock& clock, QLocale locale)
    : m_texts(&texts), m_clock(&clock), m_locale(std::move(locale)) {
    m_doc.VorlageSpalten = DefaultTemplateColumns(texts);
    m_env.emplace(*m_clock, m_locale);
}

void CatalogSession::newDocument() {
    m_doc.NewAll();
    m_edit.history.clear();
    m_edit.SetUnChanged();
    m_env.emplace(*m_clock, m_locale);
    m_edit.notify({DocumentChange::everything()});
}

std::vector<Error> CatalogSession::open(const QString& path, const ReadOptions& options, Reader reader) {
    std::vector<Error> warnings = reader == Reader::CurrentFormat ? OpenFileWithName(m_doc, path, options)
                                                                  : OpenCatalog(m_doc, path, options);
    m_edit.history.clear();
    m_edit.SetUnChanged();
    m_env.emplace(*m_clock, m_locale);
    m_edit.notify({DocumentChange::everything()});
    return warnings;
}

std::vector<Error> CatalogSession::newFromModel(const QString& path, const ReadOptions& options) {
    CatalogDocument model;
    model.VorlageSpalten = DefaultTemplateColumns(*m_texts);
    std::vector<Error> warnings = OpenCatalog(model, path, options);
    m_doc = CatalogDocument{};
    m_doc.settings = model.settings;
    m_doc.VorlageSpalten = model.VorlageSpalten;
    m_edit.history.clear();
    m_edit.SetUnChanged();
    m_env.emplace(*m_clock, m_locale);
    m_edit.notify({DocumentChange::everything()});
    return warnings;
}

void CatalogSession::save() {
    if (m_doc.afilename.isEmpty())
        throw Error::text(QStringLiteral("Der Katalog hat noch keinen Dateinamen"));
    saveAs(m_doc.afilename);
}

void CatalogSession::saveAs(const QString& path) {
    SaveTheFile(m_doc, path);
    m_doc.afilename = path;
    m_edit.SetUnChanged();
}

void CatalogSession::measuringRun(int layout, EngineCall call) {
    pw::measuringRun(layout, m_doc, *m_env, call);
}

QStringList pictureCopyFailureLines(const std::vector<Error>& failures, TranslationStore& texts) {
    QStringList lines;
    for (const Error& e : failures) {
        QString line = texts.GetMessageText(45) + QLatin1Char(' ') + e.args().value(0) + QLatin1Char(' ') +
                       texts.GetMessageText(46) + QLatin1Char(' ') + e.args().value(1) + QStringLiteral(" !");
        if (e.args().size() > 2)
            line += QStringLiteral(" (") + e.args().value(2) + QLatin1Char(')');
        lines.append(line);
    }
    return lines;
}

QStringList CatalogSession::copyAllPictures(const QString& folder) {
    return pictureCopyFailureLines(pw::copyAllPictures(m_edit, folder), *m_texts);
}

} // namespace pw
