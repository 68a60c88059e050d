#pragma once

// The dialogs of "Artikel suchen..." and "Suchen und Ersetzen in den Variantentabellen...":
// the search text ("Artikel suchen", with "Auch in Artikelbeschreibung suchen"), the list
// of products found ("Gefundene Artikel"; a double click on a row is OK), and the pair of
// texts to find and to put in ("Suchen und ersetzen"). Each gives the focus to its first
// field, its text selected.

#include "model/bulkoperations.h"

#include <QDialog>

#include <vector>

class QCheckBox;
class QLineEdit;
class QTreeWidget;

namespace pw {

class CatalogDocument;

class SearchDialog : public QDialog {
    Q_OBJECT
public:
    SearchDialog(const QString& text, bool inDescriptions, QWidget* parent = nullptr);
    QString text() const;
    bool inDescriptions() const;

private:
    QLineEdit* m_text;
    QCheckBox* m_inDescriptions;
};

class FoundDialog : public QDialog {
    Q_OBJECT
public:
    // One row per match: name, description, category and product number (0-based).
    FoundDialog(const CatalogDocument& doc, const std::vector<SearchMatch>& matches,
                QWidget* parent = nullptr);
    QTreeWidget* list() const { return m_list; }
    // The match of the selected row; nullopt when none is selected.
    std::optional<SearchMatch> chosen() const;

private:
    QTreeWidget* m_list;
};

class SearchReplaceDialog : public QDialog {
    Q_OBJECT
public:
    explicit SearchReplaceDialog(QWidget* parent = nullptr);
    QString find() const;
    QString replacement() const;

private:
    QLineEdit* m_find;
    QLineEdit* m_replace;
};

} // namespace pw
