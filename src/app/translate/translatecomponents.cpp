#include "translatecomponents.h"

#include "i18n/translateunit.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QQueue>
#include <QSet>
#include <QTabWidget>
#include <QTableWidget>
#include <QTreeWidget>
#include <QWidget>

namespace pw {

namespace {

// The text in the interface language. The store knows texts without their accelerator
// mark; a marked text gets its mark back in front of the translation.
QString translated(TranslationStore& texts, const QString& text) {
    if (text.trimmed().isEmpty())
        return text;
    const qsizetype amp = text.indexOf(QLatin1Char('&'));
    if (amp < 0 || amp + 1 >= text.size() || text[amp + 1] == QLatin1Char('&'))
        return texts.TranslateText(text);
    QString bare = text;
    bare.remove(amp, 1);
    return QLatin1Char('&') + texts.TranslateText(bare);
}

void translateAction(QAction* a, TranslationStore& texts) {
    if (a->isSeparator())
        return;
    // A caption shown whole on a tool button too (iconText set to the text) stays whole.
    const bool wholeOnButtons = a->iconText() == a->text();
    a->setText(translated(texts, a->text()));
    if (wholeOnButtons)
        a->setIconText(a->text());
    if (!a->toolTip().isEmpty() && a->toolTip() != a->text())
        a->setToolTip(translated(texts, a->toolTip()));
}

void translateWidget(QWidget* w, TranslationStore& texts) {
    if (w->isWindow() && !w->windowTitle().isEmpty())
        w->setWindowTitle(translated(texts, w->windowTitle()));
    if (!w->toolTip().isEmpty())
        w->setToolTip(translated(texts, w->toolTip()));
    if (!w->accessibleName().isEmpty())
        w->setAccessibleName(translated(texts, w->accessibleName()));
    if (auto* table = qobject_cast<QTableWidget*>(w)) {
        // The column titles, the grid's first row; the cells below them are data.
        for (int c = 0; c < table->columnCount(); ++c)
            if (QTableWidgetItem* title = table->horizontalHeaderItem(c))
                title->setText(translated(texts, title->text()));
    } else if (auto* tree = qobject_cast<QTreeWidget*>(w)) {
        QTreeWidgetItem* header = tree->headerItem();
        for (int c = 0; header && c < header->columnCount(); ++c)
            header->setText(c, translated(texts, header->text(c)));
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
        if (label->textFormat() != Qt::RichText)
            label->setText(translated(texts, label->text()));
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        button->setText(translated(texts, button->text()));
    } else if (auto* box = qobject_cast<QGroupBox*>(w)) {
        box->setTitle(translated(texts, box->title()));
    } else if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
        for (int i = 0; i < tabs->count(); ++i)
            tabs->setTabText(i, translated(texts, tabs->tabText(i)));
    } else if (auto* menu = qobject_cast<QMenu*>(w)) {
        menu->setTitle(translated(texts, menu->title()));
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
        const int selected = combo->currentIndex();
        for (int i = 0; i < combo->count(); ++i)
            combo->setItemText(i, translated(texts, combo->itemText(i)));
        combo->setCurrentIndex(selected);
    }
}

} // namespace

void translateComponents(QWidget* root, TranslationStore& texts) {
    QSet<QObject*> seen;
    QQueue<QObject*> queue;
    queue.enqueue(root);
    seen.insert(root);
    while (!queue.isEmpty()) {
        QObject* o = queue.dequeue();
        if (auto* w = qobject_cast<QWidget*>(o)) {
            translateWidget(w, texts);
            // Actions belong to the widget that created them but may be shown by several
            // (a menu and a tool bar): each is translated once.
            for (QAction* a : w->actions()) {
                if (!seen.contains(a)) {
                    seen.insert(a);
                    translateAction(a, texts);
                }
            }
        } else if (auto* a = qobject_cast<QAction*>(o)) {
            translateAction(a, texts);
        }
        for (QObject* child : o->children()) {
            if (!seen.contains(child)) {
                seen.insert(child);
                queue.enqueue(child);
            }
        }
    }
}

} // namespace pw
