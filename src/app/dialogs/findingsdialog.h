#pragma once

// The findings of "Katalog prüfen...": one list grouped by severity ("Fehler", "Warnungen",
// "Hinweise", each with its count), one row per finding with its message, category,
// product and page. A double click (or Enter) on a finding asks the window to show what
// the finding names (findingChosen); the dialog stays open, so the user can go from one
// finding to the next while correcting them. The rows are the findings as given: they say
// what the catalogue was like when it was checked.

#include "check/catalogcheck.h"

#include <QDialog>

#include <vector>

class QTreeWidget;
class QTreeWidgetItem;

namespace pw {

class TranslationStore;

class FindingsDialog : public QDialog {
    Q_OBJECT
public:
    // `texts` translates the group captions (the rest is translated as every dialog is).
    FindingsDialog(std::vector<Finding> findings, TranslationStore& texts, QWidget* parent = nullptr);
    QTreeWidget* list() const { return m_list; }
    // The finding a row shows; nullptr for a group row.
    const Finding* finding(const QTreeWidgetItem* item) const;

signals:
    void findingChosen(const pw::Finding& finding);

private:
    std::vector<Finding> m_findings;
    QTreeWidget* m_list;
};

} // namespace pw
