#include "catalogsession.h"

#include "i18n/translateunit.h"
#include "model/caption.h"
#include "model/vorlage.h"

namespace pw {

CatalogSession::CatalogSession(TranslationStore& texts, const Clock& clock, QLocale locale)
    : m_clock(&clock), m_locale(std::move(locale)) {
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

std::vector<Error> CatalogSession::open(const QString& path, const ReadOptions& options) {
    std::vector<Error> warnings = OpenCatalog(m_doc, path, options);
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

} // namespace pw
