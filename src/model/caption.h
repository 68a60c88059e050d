#pragma once

// The changed flag of the open document and the window caption that shows it.
//
// The caption is the window's own caption as it was first shown (`maincap`, already in
// the interface language), followed by the file: maincap + " - [" + file name without
// folder + "*]" while the document has unsaved changes, + "]" otherwise. An untitled
// document shows message 24 ("unbenannt") + ".pk2" as its file name.

#include "model/undo.h"

#include <QString>

namespace pw {

class TranslationStore;

QString documentCaption(const QString& maincap, const QString& afilename, bool changed,
                        TranslationStore& texts);

// Mark the document changed / unchanged and return the caption to show. Before the window
// is first shown (maincap still empty) nothing happens and the result is empty: the window
// keeps the caption it was designed with.
QString SetChanged(EditContext& ctx, const QString& maincap, TranslationStore& texts);
QString SetUnChanged(EditContext& ctx, const QString& maincap, TranslationStore& texts);

// "Neu" and the end of the window: every category goes, BackgroundColorCheck goes off and
// the file name is cleared (CatalogDocument::NewAll); the undo history is forgotten and the
// document is unchanged. Returns the caption as SetUnChanged does.
QString NewAll(EditContext& ctx, const QString& maincap, TranslationStore& texts);

} // namespace pw
