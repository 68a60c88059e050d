#pragma once

// The "Voreinstellungen" tab: the template columns, the header row every new product
// gets ("Vorlage für die Spalten der Varianten Tabelle eines neuen Produktes"), with their
// commands and template files, and the price-column count of new products. Every change
// is a command of the core; the list refreshes when the edit context says the template
// columns or the settings changed.

#include "model/undo.h"

#include <QWidget>

class QListWidget;
class QListWidgetItem;
class QSpinBox;

namespace pw {

class Prompts;
class TranslationStore;

class PresetsTab : public QWidget, private DocumentObserver {
    Q_OBJECT
public:
    PresetsTab(EditContext& edit, Prompts& prompts, TranslationStore& texts, QWidget* parent = nullptr);
    ~PresetsTab() override;

    QListWidget* columnList() const { return m_columns; }

    void newColumnClick();
    void editColumnClick();
    void columnUpClick();
    void columnDownClick();
    void deleteColumnsClick();
    void openTemplateClick();
    void saveTemplateClick();

private:
    void documentChanged(const DocumentChange& change) override;
    void showColumns(int current);
    void columnEdited(QListWidgetItem* item);
    void report(const std::function<void()>& command);

    EditContext& m_edit;
    Prompts& m_prompts;
    TranslationStore& m_texts;
    bool m_showing = false;
    QListWidget* m_columns = nullptr;
    QSpinBox* m_anzPreis = nullptr;
};

} // namespace pw
