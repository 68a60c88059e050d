#include "settingstabs.h"

#include "compose/picturelog.h"
#include "compose/texture.h"
#include "imagelib/PicIO3.h"
#include "model/catalog.h"

#include <QLabel>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

namespace pw {

namespace {

// A settings page in a scroll area, so that a small screen still reaches every control.
QWidget* scrolled(QWidget* page, QWidget* parent) {
    auto* area = new QScrollArea(parent);
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    area->setWidget(page);
    return area;
}

} // namespace

QWidget* makeLayoutTab(SettingsBinder& binder, QWidget* parent) {
    auto* tabs = new QTabWidget(parent);
    tabs->setObjectName(QStringLiteral("LayoutPageControl"));
    const std::pair<SettingsPage, const char*> pages[] = {
        {SettingsPage::Margins, "Ränder und Abstände"},
        {SettingsPage::Fonts, "Schriftarten"},
        {SettingsPage::Colours, "Farben"},
        {SettingsPage::Formatting, "Formatierung"},
        {SettingsPage::HeaderFooter, "Kopf- und Fußzeile"},
    };
    for (const auto& [page, caption] : pages)
        tabs->addTab(scrolled(binder.buildPage(page, tabs), tabs), QString::fromUtf8(caption));
    return tabs;
}

PictureSettingsTab::PictureSettingsTab(SettingsPage page, EditContext& edit, SettingsBinder& binder,
                                       QWidget* parent)
    : QWidget(parent), m_page(page), m_edit(edit) {
    const bool background = page == SettingsPage::Background;
    setObjectName(background ? QStringLiteral("HintergrundTab") : QStringLiteral("LogoTab"));
    m_box = new QLabel;
    m_box->setObjectName(background ? QStringLiteral("PaintBox2") : QStringLiteral("PaintBox3"));
    m_box->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* area = new QScrollArea(this);
    area->setWidget(m_box);
    area->setWidgetResizable(false);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(scrolled(binder.buildPage(page, this), this), 1);
    layout->addWidget(area, 1);
    connect(&binder, &SettingsBinder::picturesChanged, this, [this] {
        m_loaded = false; // the same name chosen again: the file may have changed
        reload();
    });
    m_edit.addObserver(this);
    reload();
}

PictureSettingsTab::~PictureSettingsTab() {
    m_edit.removeObserver(this);
}

QImage PictureSettingsTab::picture() const {
    return m_box->pixmap().toImage();
}

void PictureSettingsTab::documentChanged(const DocumentChange& change) {
    if (change.kind == DocumentChange::Kind::Everything) {
        m_loaded = false; // another catalogue: its pictures may differ under the same names
        reload();
    } else if (change.kind == DocumentChange::Kind::LayoutSettings) {
        reload(); // a picture setting, also by undo and redo
    }
}

void PictureSettingsTab::reload() {
    const LayoutSettings& s = m_edit.doc.settings;
    const QString stored = m_page == SettingsPage::Background ? s.FilenameEdit2 : s.FilenameEdit1;
    // Only what changes the picture loads it again, not every margin typed.
    const QString key = m_page == SettingsPage::Background ? QStringLiteral("%1|%2|%3|%4|%5|%6")
                                                                 .arg(stored, m_edit.doc.afilename)
                                                                 .arg(s.GrayScaleCheck)
                                                                 .arg(s.LightenCheck)
                                                                 .arg(s.HellEd)
                                                                 .arg(s.SatEd)
                                                           : stored + QLatin1Char('|') + m_edit.doc.afilename;
    if (m_loaded && key == m_key)
        return;
    m_loaded = true;
    m_key = key;
    // Loaded as the pages load it, so that the box shows what the pages show.
    dib picture;
    if (!stored.isEmpty()) {
        const PictureUse use = m_page == SettingsPage::Background ? PictureUse::Background : PictureUse::Logo;
        loadLayoutPicture(picture, stored, m_edit.doc.afilename, use, QString(), nullptr);
        if (m_page == SettingsPage::Background)
            ApplyTextureSteps(picture, s);
    }
    const QImage image = dibwidth(picture) > 0 ? dibToImage(picture) : QImage();
    m_box->setPixmap(QPixmap::fromImage(image));
    m_box->resize(image.isNull() ? QSize(1, 1) : image.size());
}

} // namespace pw
