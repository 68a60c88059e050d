#include "app/dialogs/searchdialogs.h"

#include "app/dialogs/dialogbuttons.h"
#include "model/catalog.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace pw {

namespace {

QString oneLine(const QString& text) {
    QString line = text;
    line.replace(QLatin1String("\r\n"), QLatin1String(" "));
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return line;
}

} // namespace

SearchDialog::SearchDialog(const QString& text, bool inDescriptions, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TSuchenForm"));
    setWindowTitle(QStringLiteral("Artikel suchen"));
    auto* label = new QLabel(QStringLiteral("Suche nach Text in der Artikelbezeichnung:"), this);
    m_text = new QLineEdit(text, this);
    m_text->setObjectName(QStringLiteral("Edit1"));
    label->setBuddy(m_text);
    m_inDescriptions = new QCheckBox(QStringLiteral("Auch in Artikelbeschreibung suchen"), this);
    m_inDescriptions->setObjectName(QStringLiteral("CheckBox1"));
    m_inDescriptions->setChecked(inDescriptions);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_text);
    layout->addWidget(m_inDescriptions);
    // The search can be left with the window's close button or Escape; the dialog itself
    // offers OK, as a search box does.
    layout->addWidget(dialogButtons(this, true));
    m_text->selectAll();
    m_text->setFocus();
    setMinimumWidth(400);
}

QString SearchDialog::text() const {
    return m_text->text();
}

bool SearchDialog::inDescriptions() const {
    return m_inDescriptions->isChecked();
}

FoundDialog::FoundDialog(const CatalogDocument& doc, const std::vector<SearchMatch>& matches, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("TFoundForm"));
    setWindowTitle(QStringLiteral("Gefundene Artikel"));
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("ListView1"));
    m_list->setAccessibleName(QStringLiteral("Gefundene Artikel"));
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setHeaderLabels({QStringLiteral("Bezeichnung"), QStringLiteral("Beschreibung"),
                             QStringLiteral("Kategorienr"), QStringLiteral("Artikelnr")});
    QList<QTreeWidgetItem*> rows;
    for (const SearchMatch& m : matches) {
        const TProdukt& p = doc.products(m.kat)[m.prod];
        auto* row = new QTreeWidgetItem(
            {oneLine(p.name), oneLine(p.desc), QString::number(m.kat), QString::number(m.prod)});
        row->setData(0, Qt::UserRole, m.kat);
        row->setData(0, Qt::UserRole + 1, m.prod);
        rows.append(row);
    }
    m_list->addTopLevelItems(rows);
    if (!rows.isEmpty())
        m_list->setCurrentItem(rows.first());
    m_list->header()->resizeSection(0, 220);
    m_list->header()->resizeSection(1, 300);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addWidget(dialogButtons(this, false));
    resize(760, 380);
}

std::optional<SearchMatch> FoundDialog::chosen() const {
    const QTreeWidgetItem* row = m_list->currentItem();
    if (!row || !row->isSelected())
        return std::nullopt;
    bool katOk = false;
    bool prodOk = false;
    const int kat = row->data(0, Qt::UserRole).toInt(&katOk);
    const int prod = row->data(0, Qt::UserRole + 1).toInt(&prodOk);
    if (!katOk || !prodOk)
        return std::nullopt;
    return SearchMatch{kat, prod};
}

SearchReplaceDialog::SearchReplaceDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TSuchenundErsetzenForm"));
    setWindowTitle(QStringLiteral("Suchen und ersetzen"));
    m_find = new QLineEdit(this);
    m_find->setObjectName(QStringLiteral("SuchenEd"));
    m_replace = new QLineEdit(this);
    m_replace->setObjectName(QStringLiteral("ErsetzenEd"));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Suchen:"), m_find);
    form->addRow(QStringLiteral("Ersetzen durch:"), m_replace);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(dialogButtons(this, true));
    m_find->setFocus();
    setMinimumWidth(400);
}

QString SearchReplaceDialog::find() const {
    return m_find->text();
}

QString SearchReplaceDialog::replacement() const {
    return m_replace->text();
}

} // namespace pw
