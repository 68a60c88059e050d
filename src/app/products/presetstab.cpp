#include "presetstab.h"

#include "app/layout/settingcontrols.h"
#include "i18n/translateunit.h"
#include "model/editcommands.h"
#include "model/services.h"
#include "model/varianttableedit.h"
#include "model/vorlage.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <set>

namespace pw {

namespace {

const char kTemplateFilter[] = "Vorlagen für Varianten Tabelle (*.vor)|*.vor";

} // namespace

PresetsTab::PresetsTab(EditContext& edit, Prompts& prompts, TranslationStore& texts, QWidget* parent)
    : QWidget(parent), m_edit(edit), m_prompts(prompts), m_texts(texts),
      m_binder(new SettingsBinder(edit, prompts, texts, this)) {
    setObjectName(QStringLiteral("VoreinstellungenTab"));
    auto* group = new QGroupBox(
        QStringLiteral("Vorlage für die Spalten der Varianten Tabelle eines neuen Produktes"), this);
    m_columns = new QListWidget(group);
    m_columns->setObjectName(QStringLiteral("VorlageListView"));
    m_columns->setAccessibleName(group->title());
    m_columns->setSelectionMode(QAbstractItemView::ExtendedSelection); // Ctrl+A selects all
    m_columns->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::DoubleClicked);
    connect(m_columns, &QListWidget::itemChanged, this, &PresetsTab::columnEdited);

    struct Command {
        const char* caption;
        const char* name;
        void (PresetsTab::*run)();
    };
    const Command commands[] = {
        {"Neue Spalte", "NeueSpalteBtn", &PresetsTab::newColumnClick},
        {"Bearbeiten", "SpalteBearbeitenBtn", &PresetsTab::editColumnClick},
        {"Nach oben", "SpalteNachObenBtn", &PresetsTab::columnUpClick},
        {"Nach unten", "SpalteNachUntenBtn", &PresetsTab::columnDownClick},
        {"Löschen", "SpalteLoeschenBtn", &PresetsTab::deleteColumnsClick},
        {"Vorlage öffnen...", "OpenVorlageBtn", &PresetsTab::openTemplateClick},
        {"Vorlage speichern unter...", "SaveVorlageBtn", &PresetsTab::saveTemplateClick},
    };
    auto* buttons = new QVBoxLayout;
    for (const Command& c : commands) {
        auto* b = new QPushButton(QString::fromUtf8(c.caption), group);
        b->setObjectName(QLatin1String(c.name));
        connect(b, &QPushButton::clicked, this, c.run);
        buttons->addWidget(b);
    }
    buttons->addStretch(1);
    auto* list = new QHBoxLayout(group);
    list->addWidget(m_columns, 1);
    list->addLayout(buttons);

    m_anzPreis = new QSpinBox(this);
    m_anzPreis->setObjectName(QStringLiteral("PreDefAnzPreisEd"));
    m_anzPreis->setRange(1, 100);
    m_anzPreis->setMaximumWidth(120);
    auto* anzLabel = new QLabel(QStringLiteral("Anzahl Preisspalten:"), this);
    anzLabel->setBuddy(m_anzPreis);
    m_anzPreis->setAccessibleName(anzLabel->text());
    connect(m_anzPreis, &QSpinBox::valueChanged, this, [this](int n) {
        if (!m_showing)
            report([this, n] { setPreDefAnzPreis(m_edit, n); });
    });
    auto* form = new QFormLayout;
    form->addRow(anzLabel, m_anzPreis);

    auto* left = new QVBoxLayout;
    left->addWidget(group, 1);
    left->addLayout(form);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addWidget(tableDefaults(), 0, Qt::AlignTop);
    m_edit.addObserver(this);
    showColumns(-1);
}

// The table defaults of products that do not bring their own: the fixed cell widths of
// columns 1 to 10 (two rows of five), the fixed row height, the fixed table width and the
// largest cell width, each switched on by its check box.
QWidget* PresetsTab::tableDefaults() {
    auto* box = new QGroupBox(this);
    box->setObjectName(QStringLiteral("TableDefaults"));
    auto* grid = new QGridLayout(box);
    int row = 0;
    const auto check = [&](const char* name) {
        grid->addWidget(m_binder->makeControl(name, box), row++, 0, 1, 4);
    };
    const auto field = [&](const char* name, int column) {
        QLabel* label = nullptr;
        QWidget* control = m_binder->makeControl(name, box, &label);
        grid->addWidget(label, row, column * 2);
        grid->addWidget(control, row, column * 2 + 1);
    };
    check("DefineFixedWidthCheck");
    const char* const left[] = {"RxSpinEdit1", "RxSpinEdit2", "RxSpinEdit3", "RxSpinEdit4", "RxSpinEdit5"};
    const char* const right[] = {"RxSpinEdit7", "RxSpinEdit8", "RxSpinEdit9", "RxSpinEdit10", "RxSpinEdit11"};
    for (int i = 0; i < 5; ++i, ++row) {
        field(left[i], 0);
        field(right[i], 1);
    }
    const auto gap = [&] { grid->setRowMinimumHeight(row++, 8); };
    gap();
    check("DefineFixedHeightCheck");
    field("RxSpinEdit6", 0);
    ++row;
    gap();
    check("FixWidthForTableCheck");
    field("FixedWidthForTableEd", 0);
    ++row;
    gap();
    check("DefMaxCellWidthCheck");
    field("MaxCellWidthEd", 0);
    ++row;
    grid->setColumnMinimumWidth(2, 100);
    return box;
}

PresetsTab::~PresetsTab() {
    m_edit.removeObserver(this);
}

void PresetsTab::documentChanged(const DocumentChange& change) {
    if (change.kind == DocumentChange::Kind::TemplateColumns ||
        change.kind == DocumentChange::Kind::Everything ||
        change.kind == DocumentChange::Kind::LayoutSettings)
        showColumns(m_columns->currentRow());
}

void PresetsTab::showColumns(int current) {
    m_showing = true;
    m_columns->clear();
    for (const QString& caption : m_edit.doc.VorlageSpalten) {
        auto* item = new QListWidgetItem(caption, m_columns);
        item->setFlags(item->flags() | Qt::ItemIsEditable);
    }
    if (current >= 0 && current < m_columns->count())
        m_columns->setCurrentRow(current);
    m_anzPreis->setValue(std::clamp(int(m_edit.doc.settings.PreDefAnzPreisEd), 1, 100));
    m_showing = false;
}

void PresetsTab::columnEdited(QListWidgetItem* item) {
    if (!m_showing)
        editTemplateColumn(m_edit, m_columns->row(item), item->text());
}

void PresetsTab::report(const std::function<void()>& command) {
    try {
        command();
    } catch (const Error& e) {
        m_prompts.message(errorText(e, m_texts), QString(), Prompts::Icon::Error);
    }
}

void PresetsTab::newColumnClick() {
    const int row = addTemplateColumn(m_edit);
    showColumns(row);
    m_columns->editItem(m_columns->item(row));
}

void PresetsTab::editColumnClick() {
    if (QListWidgetItem* item = m_columns->currentItem())
        m_columns->editItem(item);
}

void PresetsTab::columnUpClick() {
    const int row = m_columns->currentRow();
    if (moveTemplateColumnUp(m_edit, row))
        showColumns(row - 1);
}

void PresetsTab::columnDownClick() {
    const int row = m_columns->currentRow();
    if (moveTemplateColumnDown(m_edit, row))
        showColumns(row + 1);
}

void PresetsTab::deleteColumnsClick() {
    std::set<int> rows;
    for (const QModelIndex& i : m_columns->selectionModel()->selectedRows())
        rows.insert(i.row());
    deleteTemplateColumns(m_edit, rows);
}

void PresetsTab::openTemplateClick() {
    const QString file = m_prompts.openFileName(QString::fromUtf8(kTemplateFilter));
    if (!file.isEmpty())
        report([&] { loadTemplateColumns(m_edit, file); });
}

void PresetsTab::saveTemplateClick() {
    const QString file = m_prompts.saveFileName(QString::fromUtf8(kTemplateFilter), QStringLiteral(".vor"));
    if (!file.isEmpty())
        report([&] { WriteVorlage(file, m_edit.doc.VorlageSpalten); });
}

} // namespace pw
