#include "picturelog.h"

namespace pw {

void PictureLog::add(const PictureFailure& failure) {
    const QString key = QString::number(int(failure.use)) + u'\n' + failure.owner + u'\n' + failure.file;
    if (m_seen.contains(key))
        return;
    m_seen.insert(key);
    m_failures.push_back(failure);
}

QString pictureFailureText(const PictureFailure& failure) {
    QString what;
    switch (failure.use) {
    case PictureUse::Product:
        what = QStringLiteral("Bild des Produkts „%1“").arg(failure.owner);
        break;
    case PictureUse::Category:
        what = QStringLiteral("Bild der Kategorie „%1“").arg(failure.owner);
        break;
    case PictureUse::Logo:
        what = QStringLiteral("Logo");
        break;
    case PictureUse::Background:
        what = QStringLiteral("Hintergrundbild");
        break;
    }
    return what + QStringLiteral(" nicht geladen: ") + pictureProblemText(failure.problem);
}

PictureLoadResult loadLayoutPicture(dib& d, const QString& stored, const QString& catalogueFile,
                                    PictureUse use, const QString& owner, PictureLog* log, int atLeast) {
    const QString file = resolvePicturePath(stored, catalogueFile);
    const PictureLoadResult result = loadPictureForDrawing(d, file, atLeast);
    if (result.problem != PictureFileProblem::None && log)
        log->add({file, use, owner, result.problem});
    return result;
}

} // namespace pw
