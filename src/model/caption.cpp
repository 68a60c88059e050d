#include "caption.h"

#include "i18n/translateunit.h"

#include <QFileInfo>

namespace pw {

QString documentCaption(const QString& maincap, const QString& afilename, bool changed,
                        TranslationStore& texts) {
    const QString file = afilename.isEmpty() ? texts.GetMessageText(24) + QStringLiteral(".pk2")
                                             : QFileInfo(afilename).fileName();
    return maincap + QStringLiteral(" - [") + file + (changed ? QStringLiteral("*]") : QStringLiteral("]"));
}

QString SetChanged(EditContext& ctx, const QString& maincap, TranslationStore& texts) {
    if (maincap.isEmpty())
        return QString();
    ctx.SetChanged();
    return documentCaption(maincap, ctx.doc.afilename, true, texts);
}

QString SetUnChanged(EditContext& ctx, const QString& maincap, TranslationStore& texts) {
    if (maincap.isEmpty())
        return QString();
    ctx.SetUnChanged();
    return documentCaption(maincap, ctx.doc.afilename, false, texts);
}

QString NewAll(EditContext& ctx, const QString& maincap, TranslationStore& texts) {
    ctx.doc.NewAll();
    ctx.history.clear();
    // The flag is cleared even before the window is first shown: the document is empty.
    ctx.SetUnChanged();
    ctx.notify({DocumentChange::everything()});
    return SetUnChanged(ctx, maincap, texts);
}

} // namespace pw
