#include "app/dialogs/findingsdialog.h"

#include "app/dialogs/dialogbuttons.h"
#include "i18n/translateunit.h"

#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace pw {

namespace {

constexpr int kFindingRole = Qt::UserRole;

struct Group {
    Severity severity;
    const char* caption;
};
constexpr Group kGroups[] = {
    {Severity::Error, "Fehler"}, {Severity::Warning, "Warnungen"}, {Severity::Note, "Hinweise"}};

} // namespace

FindingsDialog::FindingsDialog(std::vector<Finding> findings, TranslationStore& texts, QWidget* parent)
    : QDialog(parent), m_findings(std::move(findings)) {
    setObjectName(QStringLiteral("TFindingsForm"));
    setWindowTitle(QStringLiteral("Katalog prüfen"));
    auto* hint = new QLabel(QStringLiteral("Doppelklick auf einen Befund zeigt, was er nennt."), this);
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("FindingsList"));
    m_list->setAccessibleName(QStringLiteral("Befunde"));
    hint->setBuddy(m_list);
    m_list->setUniformRowHeights(true);
    m_list->setHeaderLabels({QStringLiteral("Befund"), QStringLiteral("Kategorie"), QStringLiteral("Produkt"),
                             QStringLiteral("Seite")});
    for (const Group& g : kGroups) {
        QList<QTreeWidgetItem*> rows;
        for (std::size_t i = 0; i < m_findings.size(); ++i) {
            const Finding& f = m_findings[i];
            if (f.severity() != g.severity)
                continue;
            auto* row = new QTreeWidgetItem(
                {f.message, f.category, f.product, f.page > 0 ? QString::number(f.page) : QString()});
            row->setData(0, kFindingRole, qulonglong(i));
            row->setToolTip(0, f.message);
            rows.append(row);
        }
        if (rows.isEmpty())
            continue;
        auto* group = new QTreeWidgetItem(
            {QStringLiteral("%1 (%2)").arg(texts.TranslateText(QLatin1String(g.caption))).arg(rows.size())});
        QFont bold = group->font(0);
        bold.setBold(true);
        group->setFont(0, bold);
        group->setFirstColumnSpanned(true);
        m_list->addTopLevelItem(group);
        group->addChildren(rows);
        group->setExpanded(true);
    }
    m_list->header()->setStretchLastSection(false);
    m_list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int c = 1; c < 4; ++c)
        m_list->header()->setSectionResizeMode(c, QHeaderView::ResizeToContents);
    if (QTreeWidgetItem* first = m_list->topLevelItem(0); first && first->childCount() > 0)
        m_list->setCurrentItem(first->child(0));
    connect(m_list, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        if (const Finding* f = finding(item))
            emit findingChosen(*f);
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(hint);
    layout->addWidget(m_list);
    QDialogButtonBox* buttons = dialogButtons(this, false);
    layout->addWidget(buttons);
    m_list->setFocus();
    resize(860, 420);
}

const Finding* FindingsDialog::finding(const QTreeWidgetItem* item) const {
    if (!item || !item->parent())
        return nullptr;
    const std::size_t i = std::size_t(item->data(0, kFindingRole).toULongLong());
    return i < m_findings.size() ? &m_findings[i] : nullptr;
}

} // namespace pw
