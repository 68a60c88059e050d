#pragma once

// "In andere Kategorie verschieben": the category the selected products go to, chosen
// from the names of the other categories (the first preselected).

#include <QDialog>

class QComboBox;

namespace pw {

class MoveToCategoryDialog : public QDialog {
    Q_OBJECT
public:
    explicit MoveToCategoryDialog(const QStringList& names, QWidget* parent = nullptr);
    // The index into the names of the chosen entry; -1 for none.
    int choice() const;

private:
    QComboBox* m_names;
};

} // namespace pw
