#pragma once

// The settings tabs: "Layout" with its sub-tabs "Ränder und Abstände", "Schriftarten",
// "Farben", "Formatierung" and "Kopf- und Fußzeile", and the tabs "Hintergrund" and
// "Logo", which also show their picture: the background picture of odd pages as the
// pages draw it (turned grey and lightened as the settings say; PaintBox2) and the logo
// (PaintBox3), each at its own size. A picture that is missing or damaged shows nothing.
// Every control comes from the settings binder's table.

#include "app/layout/settingcontrols.h"
#include "model/undo.h"

#include <QWidget>

class QLabel;

namespace pw {

QWidget* makeLayoutTab(SettingsBinder& binder, QWidget* parent);

class PictureSettingsTab : public QWidget, private DocumentObserver {
    Q_OBJECT
public:
    // `page` is SettingsPage::Background or SettingsPage::Logo.
    PictureSettingsTab(SettingsPage page, EditContext& edit, SettingsBinder& binder,
                       QWidget* parent = nullptr);
    ~PictureSettingsTab() override;

    // The picture shown (null when there is none).
    QImage picture() const;

private:
    void documentChanged(const DocumentChange& change) override;
    void reload();

    SettingsPage m_page;
    EditContext& m_edit;
    QLabel* m_box = nullptr;
    QString m_key; // the file and the settings the shown picture was made from
    bool m_loaded = false;
};

} // namespace pw
