#pragma once

// Puts a window's texts into the interface language, once, at the first showing of the
// main window when that language is not German.
//
// Every widget and action below `root` is visited breadth first (each once) and its
// German texts are passed through the translation store: window titles, captions of
// labels, buttons, check boxes, group boxes and tabs, menu titles, action texts, tool tips,
// accessible names, the column titles of table and tree widgets (not their cells, which
// are data), and the items of combo boxes (the selected item stays selected). An "&" that
// marks a keyboard accelerator is kept in front of the translation's first letter. Texts
// the store does not know stay as they are. Text fields are left alone: in this program
// they only ever hold what the user typed. The views over the document translate their
// own column titles, and the file dialogs their filters.

#include <QStringList>

#include <functional>

class QWidget;

namespace pw {

class TranslationStore;

void translateComponents(QWidget* root, TranslationStore& texts);

// A dialog about to be shown for the first time: translated unless the interface is German,
// the language it is written in.
void translateDialog(QWidget* dialog, TranslationStore& texts);

// Every such text below `root`, in the order visited, without accelerator marks and
// surrounding spaces: what the translation store must know for the window to be shown
// in another language.
QStringList interfaceTexts(QWidget* root);

// Marks a widget whose text or items are data (a category name, a font chosen, a page
// count already put together in the interface language): the walk leaves it alone.
void markAsData(QWidget* widget);

// The walk itself: each text is replaced by what `map` returns for it.
using TextMap = std::function<QString(const QString&)>;
void mapInterfaceTexts(QWidget* root, const TextMap& map);

} // namespace pw
