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
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>
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

constexpr char kDataProperty[] = "pwDataText";

// A tool tip the action was never given: Qt derives it from the text (without "&" and a
// trailing "..."), and it follows the translated text by itself.
bool derivedToolTip(const QAction* a) {
    QString stripped = a->text();
    stripped.remove(QLatin1Char('&'));
    while (stripped.endsWith(QLatin1Char('.')))
        stripped.chop(1);
    return a->toolTip() == stripped.trimmed() || a->toolTip() == a->text();
}

// Accessible names made of a caption and a fixed mark (" (HEX)" for a colour's number, " ..."
// for a browse button): the caption is translated, the mark kept.
QString mapAccessibleName(const QString& name, const TextMap& map) {
    for (const QLatin1String mark : {QLatin1String(" (HEX)"), QLatin1String(" ...")}) {
        if (name.endsWith(mark) && name.size() > mark.size())
            return map(name.chopped(mark.size())) + mark;
    }
    return map(name);
}

// Widgets Qt makes for itself (the scroll buttons of a tab bar, the parts of a spin box)
// carry Qt's own words, not the program's.
bool qtInternal(const QWidget* w) {
    return w->objectName().startsWith(QLatin1String("qt_")) ||
           qobject_cast<const QTabBar*>(w->parentWidget());
}

void mapAction(QAction* a, const TextMap& map) {
    if (a->isSeparator())
        return;
    // A caption shown whole on a tool button too (iconText set to the text) stays whole.
    const bool wholeOnButtons = a->iconText() == a->text();
    a->setText(map(a->text()));
    if (wholeOnButtons)
        a->setIconText(a->text());
    if (!a->toolTip().isEmpty() && !derivedToolTip(a))
        a->setToolTip(map(a->toolTip()));
}

void mapWidget(QWidget* w, const TextMap& map) {
    if (qtInternal(w))
        return;
    if (!w->accessibleName().isEmpty())
        w->setAccessibleName(mapAccessibleName(w->accessibleName(), map));
    if (w->property(kDataProperty).toBool())
        return;
    if (w->isWindow() && !w->windowTitle().isEmpty())
        w->setWindowTitle(map(w->windowTitle()));
    // A tool button that shows an action takes its tool tip from the action.
    const auto* toolButton = qobject_cast<const QToolButton*>(w);
    if (!w->toolTip().isEmpty() && !(toolButton && toolButton->defaultAction()))
        w->setToolTip(map(w->toolTip()));
    if (auto* table = qobject_cast<QTableWidget*>(w)) {
        // The column titles, the grid's first row; the cells below them are data.
        for (int c = 0; c < table->columnCount(); ++c)
            if (QTableWidgetItem* title = table->horizontalHeaderItem(c))
                title->setText(map(title->text()));
    } else if (auto* tree = qobject_cast<QTreeWidget*>(w)) {
        QTreeWidgetItem* header = tree->headerItem();
        for (int c = 0; header && c < header->columnCount(); ++c)
            header->setText(c, map(header->text(c)));
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
        if (label->textFormat() != Qt::RichText)
            label->setText(map(label->text()));
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        button->setText(map(button->text()));
    } else if (auto* box = qobject_cast<QGroupBox*>(w)) {
        box->setTitle(map(box->title()));
    } else if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
        for (int i = 0; i < tabs->count(); ++i)
            tabs->setTabText(i, map(tabs->tabText(i)));
    } else if (auto* menu = qobject_cast<QMenu*>(w)) {
        menu->setTitle(map(menu->title()));
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
        const int selected = combo->currentIndex();
        for (int i = 0; i < combo->count(); ++i)
            combo->setItemText(i, map(combo->itemText(i)));
        combo->setCurrentIndex(selected);
    }
}

} // namespace

void mapInterfaceTexts(QWidget* root, const TextMap& map) {
    QSet<QObject*> seen;
    QQueue<QObject*> queue;
    queue.enqueue(root);
    seen.insert(root);
    while (!queue.isEmpty()) {
        QObject* o = queue.dequeue();
        if (auto* w = qobject_cast<QWidget*>(o)) {
            mapWidget(w, map);
            // Actions belong to the widget that created them but may be shown by several
            // (a menu and a tool bar): each is translated once.
            for (QAction* a : w->actions()) {
                if (!seen.contains(a)) {
                    seen.insert(a);
                    mapAction(a, map);
                }
            }
        } else if (auto* a = qobject_cast<QAction*>(o)) {
            mapAction(a, map);
        }
        for (QObject* child : o->children()) {
            if (!seen.contains(child)) {
                seen.insert(child);
                queue.enqueue(child);
            }
        }
    }
}

void markAsData(QWidget* widget) {
    widget->setProperty(kDataProperty, true);
}

void translateComponents(QWidget* root, TranslationStore& texts) {
    mapInterfaceTexts(root, [&texts](const QString& text) { return translated(texts, text); });
}

void translateDialog(QWidget* dialog, TranslationStore& texts) {
    if (texts.language() != 0)
        translateComponents(dialog, texts);
}

QStringList interfaceTexts(QWidget* root) {
    QStringList found;
    mapInterfaceTexts(root, [&found](const QString& text) {
        QString bare = text;
        const qsizetype amp = bare.indexOf(QLatin1Char('&'));
        if (amp >= 0 && amp + 1 < bare.size() && bare[amp + 1] != QLatin1Char('&'))
            bare.remove(amp, 1);
        if (!bare.trimmed().isEmpty())
            found.append(bare.trimmed());
        return text;
    });
    return found;
}

} // namespace pw
