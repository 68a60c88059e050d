#include "app/dialogs/numberdialog.h"

#include "app/dialogs/dialogbuttons.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace pw {

NumberDialog::NumberDialog(const NumberDialogSpec& spec, int value, QWidget* parent) : QDialog(parent) {
    setObjectName(QLatin1String(spec.objectName));
    setWindowTitle(QString::fromUtf8(spec.caption));
    auto* label = new QLabel(QString::fromUtf8(spec.label), this);
    m_value = new QSpinBox(this);
    m_value->setObjectName(QLatin1String(spec.fieldName));
    m_value->setRange(spec.lowest, spec.highest);
    m_value->setValue(value);
    label->setBuddy(m_value);
    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(m_value, 1);
    auto* buttons = dialogButtons(this, true);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    setMinimumWidth(340);
    m_value->selectAll();
}

int NumberDialog::value() const {
    return m_value->value();
}

} // namespace pw
