#include "recovery.h"

#include "model/catalogfile.h"
#include "model/savefile.h"
#include "session/catalogsession.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace pw {

RecoveryCopy::RecoveryCopy(QString folder) : m_folder(std::move(folder)) {}

QString RecoveryCopy::documentPath() const {
    return QDir(m_folder).filePath(QStringLiteral("recovery.pk2"));
}

QString RecoveryCopy::namePath() const {
    return QDir(m_folder).filePath(QStringLiteral("recovery.txt"));
}

void RecoveryCopy::write(const CatalogDocument& doc) const {
    if (!QDir().mkpath(m_folder))
        throw Error(49, m_folder);
    // Pictures beside the catalogue are stored by their bare name; in the copy, which lives
    // elsewhere, they keep their full path.
    const QByteArray image = CatalogFileImage(doc, documentPath());
    if (!WriteFileAtomically(namePath(), doc.afilename.toUtf8()))
        throw Error(49, namePath());
    if (!WriteFileAtomically(documentPath(), image))
        throw Error(49, documentPath());
}

bool RecoveryCopy::exists() const {
    return QFileInfo(documentPath()).isFile();
}

QString RecoveryCopy::originalName() const {
    QFile f(namePath());
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
}

std::vector<Error> RecoveryCopy::restoreInto(CatalogSession& session) const {
    const QString name = originalName();
    ReadOptions asWritten; // the copy is the document as it was: nothing is trimmed
    asWritten.trimVariants = false;
    std::vector<Error> warnings = session.open(documentPath(), asWritten);
    session.doc().afilename = name;
    session.edit().SetChanged();
    return warnings;
}

void RecoveryCopy::remove() const {
    QFile::remove(documentPath());
    QFile::remove(namePath());
}

} // namespace pw
