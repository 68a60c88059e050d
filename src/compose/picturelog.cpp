#include "picturelog.h"

#include <QFileInfo>

namespace pw {

void PictureLog::add(const PictureFailure& failure) {
    const QString key = QString::number(int(failure.use)) + u'\n' + failure.owner + u'\n' + failure.file;
    const QFileInfo info(failure.file);
    m_problems.insert(failure.file, {failure.problem, info.lastModified(), info.exists() ? info.size() : -1});
    if (m_seen.contains(key))
        return;
    m_seen.insert(key);
    m_failures.push_back(failure);
}

PictureFileProblem PictureLog::problemOf(const QString& file) const {
    const auto noted = m_problems.constFind(file);
    if (noted == m_problems.constEnd())
        return PictureFileProblem::None;
    const QFileInfo info(file);
    if (info.lastModified() != noted->modified || (info.exists() ? info.size() : -1) != noted->size)
        return PictureFileProblem::None;
    return noted->problem;
}

Error pictureFailureError(const PictureFailure& failure) {
    Error e = Error::text(QString());
    switch (failure.use) {
    case PictureUse::Product:
        e = Error::format(QStringLiteral("Bild des Produkts „%1“ nicht geladen: %2"), {failure.owner},
                          failure.file);
        break;
    case PictureUse::Category:
        e = Error::format(QStringLiteral("Bild der Kategorie „%1“ nicht geladen: %2"), {failure.owner},
                          failure.file);
        break;
    case PictureUse::Logo:
        e = Error::format(QStringLiteral("Logo nicht geladen: %1"), {}, failure.file);
        break;
    case PictureUse::Background:
        e = Error::format(QStringLiteral("Hintergrundbild nicht geladen: %1"), {}, failure.file);
        break;
    }
    return e.causedBy(Error::text(pictureProblemText(failure.problem)));
}

PictureLoadResult loadLayoutPicture(dib& d, const QString& stored, const QString& catalogueFile,
                                    PictureUse use, const QString& owner, PictureLog* log, int atLeast) {
    const QString file = resolvePicturePath(stored, catalogueFile);
    const PictureLoadResult result = loadPictureForDrawing(d, file, atLeast);
    if (d.poi) {
        d.sourceFile = file;
        d.sourceWidth = result.fullSize.width();
        d.sourceHeight = result.fullSize.height();
    }
    if (result.problem != PictureFileProblem::None && log)
        log->add({file, use, owner, result.problem});
    return result;
}

} // namespace pw

namespace pw {

PictureLoadResult layoutPictureSize(const QString& stored, const QString& catalogueFile, PictureUse use,
                                    const QString& owner, PictureLog* log, int atLeast) {
    const QString file = resolvePicturePath(stored, catalogueFile);
    PictureLoadResult result;
    result.problem = log ? log->problemOf(file) : PictureFileProblem::None;
    if (result.problem == PictureFileProblem::None)
        result = readPictureSize(file, atLeast);
    if (result.problem != PictureFileProblem::None && log)
        log->add({file, use, owner, result.problem});
    return result;
}

} // namespace pw
