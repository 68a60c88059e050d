#pragma once

// The "Voreinstellungen" tab: the template columns, the header row every new product
// gets ("Vorlage für die Spalten der Varianten Tabelle eines neuen Produktes"), with their
// commands and template files, the price-column count of new products, and the table
// defaults of products without table settings of their own (controls made by the
// settings binder). Every change is a command of the core; the tab refreshes when the
// edit context says the template columns or the settings changed.

#include "model/undo.h"

#include <QWidget>

class QListWidget;
class QListWidgetItem;
class QSpinBox;

namespace pw {

class Prompts;
class SettingsBinder;
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
    QWidget* tableDefaults();

    EditContext& m_edit;
    Prompts& m_prompts;
    TranslationStore& m_texts;
    SettingsBinder* m_binder;
    bool m_showing = false;
    QListWidget* m_columns = nullptr;
    QSpinBox* m_anzPreis = nullptr;
};

} // namespace pw
