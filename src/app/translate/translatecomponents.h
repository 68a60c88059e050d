#pragma once

// Puts a window's texts into the interface language, once, at the first showing of the
// main window when that language is not German.
//
// Every widget and action below `root` is visited breadth first (each once) and its
// German texts are passed through the translation store: window titles, captions of
// labels, buttons, check boxes, group boxes and tabs, menu titles, action texts, tool tips,
// and the items of combo boxes (the selected item stays selected). An "&" that marks a
// keyboard accelerator is kept in front of the translation's first letter. Texts the store
// does not know stay as they are.

class QWidget;

namespace pw {

class TranslationStore;

void translateComponents(QWidget* root, TranslationStore& texts);

} // namespace pw
