#pragma once

// "Übersetzen": the translation store as a grid of 20 columns (German, English, Français,
// Nederlands, then language4 to language19), one row per German text. A changed cell is
// written to translate.dat at once; the windows show the change after the next start,
// messages fetched later at once.
//
// "Suchen" walks every cell from the first row, row by row, and stops at each one that
// holds the search text (ignoring case) with the question "Nochmal suchen?". "Zeile
// löchen", the Delete key outside an edit and Escape ask whether to delete the current row
// (its German text as the question). "Erste Spalte fixieren" keeps the German texts in
// view while the other columns scroll: they move into the row headers. "Zurück..." closes.

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QTableWidget;

namespace pw {

class Prompts;
class TranslationStore;

class TranslateEditor : public QDialog {
    Q_OBJECT
public:
    // `store` and `prompts` must outlive the editor.
    TranslateEditor(TranslationStore& store, Prompts& prompts, QWidget* parent = nullptr);

    QTableWidget* grid() const { return m_grid; }
    QLineEdit* searchField() const { return m_search; }

    void search();
    void deleteCurrentRow();
    void setFirstColumnFixed(bool fixed);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fill();
    void cellEdited(int row, int column);

    TranslationStore& m_store;
    Prompts& m_prompts;
    QTableWidget* m_grid;
    QLineEdit* m_search;
    QCheckBox* m_fixed;
    bool m_filling = false;
};

} // namespace pw
