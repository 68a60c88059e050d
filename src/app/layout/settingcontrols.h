#pragma once

// The window's controls of the document-wide layout settings, described once.
//
// The core's settings table gives every setting's kind, range, step and unit; the table
// here adds what only the window needs: the tab that shows the setting and its caption.
// A SettingsBinder builds one control per row (a check box for a flag, a spin box for a
// number or an integer, with the core's range, step and unit), keeps it showing the
// document's value and turns every change by the user into the core's undoable
// changeSetting. The tabs only arrange the controls the binder made.
//
// A value the document holds outside the control's range (a foreign file) is shown
// clamped but not written back: only a change by the user is a command.

#include "model/settingstable.h"
#include "model/undo.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <span>
#include <vector>

class QLabel;
class QWidget;

namespace pw {

class Prompts;
class TranslationStore;

enum class SettingsPage {
    Presets, // "Voreinstellungen": the table defaults of new products
};

struct SettingControlInfo {
    const char* name; // the setting's name in the core's table
    SettingsPage page;
    const char* caption; // the German caption; a flag's check box carries it
};

// Every setting that has a control, in the order the tabs show them.
std::span<const SettingControlInfo> settingControlsTable();

class SettingsBinder : public QObject, private DocumentObserver {
    Q_OBJECT
public:
    SettingsBinder(EditContext& edit, Prompts& prompts, TranslationStore& texts, QObject* parent = nullptr);
    ~SettingsBinder() override;

    // Builds the control of one setting of the table (its object name is the setting's
    // name) and, for all but flags, the label that is its buddy; `label` may be null.
    QWidget* makeControl(const char* name, QWidget* parent, QLabel** label = nullptr);

    // Shows the document's values in every control made so far.
    void refresh();

private:
    struct Bound {
        const SettingInfo* setting;
        QPointer<QWidget> control; // the tab that holds it may go first
    };

    void documentChanged(const DocumentChange& change) override;
    void show(const Bound& b);
    void userChanged(const SettingInfo& setting, const SettingValue& value);

    EditContext& m_edit;
    Prompts& m_prompts;
    TranslationStore& m_texts;
    std::vector<Bound> m_bound;
    bool m_showing = false;
};

} // namespace pw
