#pragma once

// The core's services in the window: questions and messages as message boxes, file choice
// as file dialogs, progress as a progress dialog that can cancel.

#include "model/services.h"

#include <QPointer>
#include <QString>
#include <QWidget>

namespace pw {

// The program's file filters ("Description (*.a;*.b)|*.a;*.b", several pairs joined by
// "|") in the form Qt's file dialogs take ("Description (*.a *.b)", joined by ";;").
QString qtFileFilter(const QString& programFilter);

class TranslationStore;

class QtPrompts final : public Prompts {
public:
    // `texts` translates the few words the boxes add themselves ("Nicht mehr fragen"); it
    // must outlive the prompts.
    explicit QtPrompts(TranslationStore& texts, QWidget* parent = nullptr)
        : m_texts(texts), m_parent(parent) {}
    // The window the boxes and dialogs belong to (they are modal to it).
    void setParentWidget(QWidget* parent) { m_parent = parent; }

    Answer ask(const QString& text, const QString& caption, Buttons buttons) override;
    Answer askOnce(const QString& text, const QString& caption, Buttons buttons, bool& dontAskAgain) override;
    void message(const QString& text, const QString& caption, Icon icon) override;
    // The save dialog asks before replacing a file and appends `defaultSuffix` (with or
    // without its dot) to a name typed without extension.
    QString openFileName(const QString& filter) override;
    QString saveFileName(const QString& filter, const QString& defaultSuffix) override;
    QString folderName(const QString& caption) override;

private:
    TranslationStore& m_texts;
    QPointer<QWidget> m_parent;
};

} // namespace pw
