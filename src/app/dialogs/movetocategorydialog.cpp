#include "movetocategorydialog.h"

#include "app/dialogs/dialogbuttons.h"
#include "app/translate/translatecomponents.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace pw {

MoveToCategoryDialog::MoveToCategoryDialog(const QStringList& names, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TAndereKategorieForm"));
    setWindowTitle(QStringLiteral("In andere Kategorie verschieben"));
    m_names = new QComboBox(this);
    m_names->setObjectName(QStringLiteral("ComboBox1"));
    markAsData(m_names); // the user's category names
    m_names->addItems(names);
    m_names->setCurrentIndex(names.isEmpty() ? -1 : 0);
    auto* label = new QLabel(QStringLiteral("Kategorie:"), this);
    label->setBuddy(m_names);
    auto* form = new QFormLayout;
    form->addRow(label, m_names);
    auto* buttons = dialogButtons(this, true);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setMinimumWidth(360);
}

int MoveToCategoryDialog::choice() const {
    return m_names->currentIndex();
}

} // namespace pw
