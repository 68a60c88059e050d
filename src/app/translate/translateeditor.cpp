#include "app/translate/translateeditor.h"

#include "i18n/translateunit.h"
#include "model/services.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace pw {

namespace {

QString columnTitle(int slot) {
    static const char* const named[] = {"German", "English", "Français", "Nederlands"};
    return slot < 4 ? QString::fromUtf8(named[slot]) : QStringLiteral("language%1").arg(slot);
}

} // namespace

TranslateEditor::TranslateEditor(TranslationStore& store, Prompts& prompts, QWidget* parent)
    : QDialog(parent), m_store(store), m_prompts(prompts) {
    setObjectName(QStringLiteral("TTranslateForm"));
    setWindowTitle(QStringLiteral("Übersetzen"));

    auto* back = new QPushButton(QStringLiteral("Zurück..."), this);
    back->setObjectName(QStringLiteral("BackBtn"));
    back->setAutoDefault(false);
    connect(back, &QPushButton::clicked, this, &QDialog::accept);
    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("FilterEdit"));
    m_search->setAccessibleName(QStringLiteral("Suchen"));
    auto* find = new QPushButton(QStringLiteral("Suchen"), this);
    find->setObjectName(QStringLiteral("FilterBtn"));
    find->setAutoDefault(false);
    connect(find, &QPushButton::clicked, this, &TranslateEditor::search);
    connect(m_search, &QLineEdit::returnPressed, this, &TranslateEditor::search);
    auto* remove = new QPushButton(QStringLiteral("Zeile löchen"), this);
    remove->setObjectName(QStringLiteral("DeleteRowBtn"));
    remove->setAutoDefault(false);
    connect(remove, &QPushButton::clicked, this, &TranslateEditor::deleteCurrentRow);
    m_fixed = new QCheckBox(QStringLiteral("Erste Spalte fixieren"), this);
    m_fixed->setObjectName(QStringLiteral("FixedColCheck"));
    connect(m_fixed, &QCheckBox::toggled, this, &TranslateEditor::setFirstColumnFixed);

    auto* tools = new QHBoxLayout;
    tools->addWidget(back);
    tools->addSpacing(12);
    tools->addWidget(m_search, 1);
    tools->addWidget(find);
    tools->addSpacing(12);
    tools->addWidget(remove);
    tools->addWidget(m_fixed);

    m_grid = new QTableWidget(this);
    m_grid->setObjectName(QStringLiteral("StringGrid1"));
    m_grid->setAccessibleName(QStringLiteral("Übersetzungen"));
    m_grid->setColumnCount(TranslationStore::kSlots);
    QStringList titles;
    for (int slot = 0; slot < TranslationStore::kSlots; ++slot)
        titles << columnTitle(slot);
    m_grid->setHorizontalHeaderLabels(titles);
    m_grid->horizontalHeader()->setDefaultSectionSize(260);
    m_grid->verticalHeader()->setVisible(false);
    m_grid->setWordWrap(false);
    m_grid->installEventFilter(this);
    connect(m_grid, &QTableWidget::cellChanged, this, &TranslateEditor::cellEdited);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(tools);
    layout->addWidget(m_grid, 1);
    resize(1100, 640);
    fill();
}

void TranslateEditor::fill() {
    m_filling = true;
    m_grid->setRowCount(m_store.rowCount());
    for (int r = 0; r < m_store.rowCount(); ++r) {
        const TranslationStore::Row& row = m_store.row(r);
        for (int slot = 0; slot < TranslationStore::kSlots; ++slot) {
            QTableWidgetItem* item = m_grid->item(r, slot);
            if (!item) {
                item = new QTableWidgetItem;
                m_grid->setItem(r, slot, item);
            }
            item->setText(row[std::size_t(slot)]);
        }
    }
    m_filling = false;
    setFirstColumnFixed(m_fixed->isChecked());
}

void TranslateEditor::cellEdited(int row, int column) {
    if (m_filling)
        return;
    m_store.setText(row, column, m_grid->item(row, column)->text());
    m_store.SaveTranslateFile();
    if (column == 0 && m_fixed->isChecked())
        setFirstColumnFixed(true);
}

void TranslateEditor::search() {
    const QString wanted = m_search->text().toUpper();
    if (wanted.isEmpty())
        return;
    for (int r = 0; r < m_grid->rowCount(); ++r) {
        for (int c = 0; c < m_grid->columnCount(); ++c) {
            const QTableWidgetItem* item = m_grid->item(r, c);
            if (!item || !item->text().toUpper().contains(wanted))
                continue;
            m_grid->setCurrentCell(r, c);
            m_grid->scrollToItem(item, QAbstractItemView::PositionAtTop);
            if (m_prompts.ask(m_store.GetMessageText(30), m_store.GetMessageText(29),
                              Prompts::Buttons::YesNo) != Prompts::Answer::Yes)
                return;
        }
    }
}

void TranslateEditor::deleteCurrentRow() {
    const int r = m_grid->currentRow();
    if (r >= 0 && r < m_store.rowCount()) {
        const Prompts::Answer answer =
            m_prompts.ask(m_store.row(r)[0], m_store.GetMessageText(31), Prompts::Buttons::YesNoCancel);
        if (answer == Prompts::Answer::Yes)
            m_store.deleteRow(r);
    }
    m_store.SaveTranslateFile();
    fill();
    if (r >= 0 && r < m_grid->rowCount())
        m_grid->setCurrentCell(r, std::max(0, m_grid->currentColumn()));
}

void TranslateEditor::setFirstColumnFixed(bool fixed) {
    // The German texts stay in view as row headers while the other columns scroll.
    m_grid->setColumnHidden(0, fixed);
    m_grid->verticalHeader()->setVisible(fixed);
    if (fixed) {
        QStringList german;
        for (int r = 0; r < m_store.rowCount(); ++r)
            german << m_store.row(r)[0];
        m_grid->setVerticalHeaderLabels(german);
    }
}

void TranslateEditor::keyPressEvent(QKeyEvent* event) {
    // Escape asks to delete the current row, as "Zeile löchen" does; the window closes
    // with "Zurück..." or its close button.
    if (event->key() == Qt::Key_Escape) {
        deleteCurrentRow();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TranslateEditor::eventFilter(QObject* watched, QEvent* event) {
    // While a cell is edited its editor has the keyboard: a Delete here is not typing.
    if (watched == m_grid && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        deleteCurrentRow();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace pw
