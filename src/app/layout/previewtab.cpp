#include "previewtab.h"

#include "app/layout/settingcontrols.h"
#include "app/translate/translatecomponents.h"
#include "i18n/translateunit.h"
#include "model/catalog.h"
#include "model/error.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace pw {

namespace {

constexpr int kMargin = 8; // the page's distance from the scroll area's top left, and the box's extra size
constexpr int kWheelStep = 20; // pixels a wheel notch scrolls, whatever its distance
constexpr int kZoomStep = 10;
// The decoded photos of the pages drawn last (a page of four products with two camera
// photos each takes about 20 MB at the sizes they are drawn).
constexpr qint64 kDecodedPictureBudget = 96 * 1024 * 1024;

} // namespace

// The page's box: the picture at its top left, 8 pixels larger than the page; a mouse
// drag on it scrolls the area it lies in.
class PreviewTab::PageBox : public QWidget {
public:
    PageBox(QScrollArea* scroll, QWidget* parent) : QWidget(parent), m_scroll(scroll) {
        setObjectName(QStringLiteral("PaintBox1"));
        setCursor(Qt::OpenHandCursor);
    }
    void setPicture(const QImage& picture, QSize logical) {
        m_picture = picture;
        setFixedSize(logical + QSize(kMargin, kMargin));
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        if (!m_picture.isNull())
            p.drawImage(QPoint(0, 0), m_picture);
    }
    void mousePressEvent(QMouseEvent* e) override {
        m_scroll->setFocus(); // the wheel and the page keys go to the preview
        m_dragging = true;
        m_grab = e->position().toPoint();
        setCursor(Qt::ClosedHandCursor);
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        if (!m_dragging)
            return;
        // The box moves with the scrolling, so the grabbed point stays under the mouse.
        const QPoint at = e->position().toPoint();
        QScrollBar* h = m_scroll->horizontalScrollBar();
        QScrollBar* v = m_scroll->verticalScrollBar();
        h->setValue(std::clamp(h->value() + m_grab.x() - at.x(), h->minimum(), h->maximum()));
        v->setValue(std::clamp(v->value() + m_grab.y() - at.y(), v->minimum(), v->maximum()));
    }
    void mouseReleaseEvent(QMouseEvent*) override {
        m_dragging = false;
        setCursor(Qt::OpenHandCursor);
    }

private:
    QScrollArea* m_scroll;
    QImage m_picture;
    bool m_dragging = false;
    QPoint m_grab;
};

PreviewTab::PreviewTab(EditContext& edit, SettingsBinder& binder, TranslationStore& texts, const Clock& clock,
                       QLocale locale, PreviewSetup setup, int zoom, QWidget* parent)
    : QWidget(parent), m_edit(edit), m_texts(texts), m_setup(setup),
      m_workerEnv(std::make_shared<EngineEnvironment>(clock, locale)) {
    setObjectName(QStringLiteral("KatalogErzeugenTab"));
    m_worker.setMaxThreadCount(1);
    m_worker.setExpiryTimeout(-1); // one thread for good: its font caches stay warm
    m_workerEnv->decodedPictures.setBudget(kDecodedPictureBudget);

    QLabel* layoutLabel = nullptr;
    QWidget* layoutCombo = binder.makeControl("LayoutCombo", this, &layoutLabel);
    // After choosing a layout the keys and the wheel go back to the page.
    connect(static_cast<QComboBox*>(layoutCombo), &QComboBox::activated, this,
            [this] { m_scroll->setFocus(); });
    m_zoom = new QSpinBox(this);
    m_zoom->setObjectName(QStringLiteral("ZoomEd"));
    m_zoom->setRange(1, 1000);
    m_zoom->setSingleStep(kZoomStep);
    m_zoom->setValue(std::clamp(zoom, 1, 1000));
    auto* zoomLabel = new QLabel(QStringLiteral("Zoom in %:"), this);
    zoomLabel->setBuddy(m_zoom);
    m_zoom->setAccessibleName(zoomLabel->text());
    m_page = new QSpinBox(this);
    m_page->setObjectName(QStringLiteral("SeiteEd"));
    m_page->setRange(1, 100000);
    auto* pageLabel = new QLabel(QStringLiteral("Seite:"), this);
    pageLabel->setBuddy(m_page);
    m_page->setAccessibleName(pageLabel->text());
    m_pageCount = new QLabel(this);
    markAsData(m_pageCount); // "von" and a number, put together already translated
    m_pageCount->setObjectName(QStringLiteral("PageCount"));
    auto* fitPageButton = new QPushButton(QStringLiteral("Ganze Seite"), this);
    fitPageButton->setObjectName(QStringLiteral("FitPageBtn"));
    auto* fitWidthButton = new QPushButton(QStringLiteral("Seitenbreite"), this);
    fitWidthButton->setObjectName(QStringLiteral("FitWidthBtn"));
    connect(fitPageButton, &QPushButton::clicked, this, &PreviewTab::fitPage);
    connect(fitWidthButton, &QPushButton::clicked, this, &PreviewTab::fitWidth);
    connect(m_zoom, &QSpinBox::valueChanged, this, [this](int z) {
        emit zoomChanged(z);
        requestRepaint();
    });
    connect(m_page, &QSpinBox::valueChanged, this, [this] { requestRepaint(); });

    auto* controls = new QHBoxLayout;
    controls->addWidget(layoutLabel);
    controls->addWidget(layoutCombo);
    controls->addSpacing(16);
    controls->addWidget(zoomLabel);
    controls->addWidget(m_zoom);
    controls->addSpacing(16);
    controls->addWidget(pageLabel);
    controls->addWidget(m_page);
    controls->addWidget(m_pageCount);
    controls->addSpacing(16);
    controls->addWidget(fitPageButton);
    controls->addWidget(fitWidthButton);
    controls->addStretch(1);

    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("ScrollBox1"));
    m_scroll->setFocusPolicy(Qt::StrongFocus);
    m_scroll->setBackgroundRole(QPalette::Dark);
    auto* sheet = new QWidget;
    auto* sheetLayout = new QVBoxLayout(sheet);
    sheetLayout->setContentsMargins(kMargin, kMargin, 0, 0);
    sheetLayout->setSizeConstraint(QLayout::SetFixedSize);
    m_box = new PageBox(m_scroll, sheet);
    sheetLayout->addWidget(m_box);
    m_scroll->setWidget(sheet);
    m_scroll->viewport()->installEventFilter(this);
    m_box->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(m_scroll, 1);

    const auto shortcut = [this](const QKeySequence& keys, auto action) {
        auto* s = new QShortcut(keys, this);
        s->setContext(Qt::WidgetWithChildrenShortcut);
        connect(s, &QShortcut::activated, this, action);
    };
    shortcut(QKeySequence(Qt::Key_PageDown), [this] { m_page->stepUp(); });
    shortcut(QKeySequence(Qt::Key_PageUp), [this] { m_page->stepDown(); });
    shortcut(QKeySequence::ZoomIn, [this] { m_zoom->setValue(m_zoom->value() + kZoomStep); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Plus),
             [this] { m_zoom->setValue(m_zoom->value() + kZoomStep); });
    shortcut(QKeySequence::ZoomOut, [this] { m_zoom->setValue(m_zoom->value() - kZoomStep); });

    m_edit.addObserver(this);
    m_box->setPicture(QImage(), previewPageSize(currentRequest()));
    updatePageCount();
    requestRepaint();
}

QWidget* PreviewTab::pageBox() const {
    return m_box;
}

PreviewTab::~PreviewTab() {
    m_edit.removeObserver(this);
    m_worker.clear();
    m_worker.waitForDone();
}

int PreviewTab::screenDpi() const {
    return m_setup.screenDpi > 0 ? m_setup.screenDpi : logicalDpiX();
}

PreviewRequest PreviewTab::currentRequest() const {
    PreviewRequest r;
    r.layout = m_edit.doc.settings.LayoutCombo;
    r.page = m_page->value();
    r.zoom = m_zoom->value();
    r.screenDpi = screenDpi();
    r.pixelRatio = devicePixelRatioF();
    r.printerPixels = m_setup.printerPixels;
    r.printerDpi = m_setup.printerDpi;
    return r;
}

void PreviewTab::documentChanged(const DocumentChange&) {
    requestRepaint(); // any change may move what the page shows
}

void PreviewTab::requestRepaint() {
    m_pending = true;
    if (m_scheduled || !isVisible())
        return; // the tab asks again when it is shown
    m_scheduled = true;
    // Requests of one turn of the event loop (a command that changes several things)
    // make one picture.
    QTimer::singleShot(0, this, [this] {
        m_scheduled = false;
        if (m_pending && isVisible()) {
            m_pending = false;
            startRender();
        }
    });
}

void PreviewTab::startRender() {
    const quint64 serial = ++m_requestedSerial;
    m_latest->store(serial);
    auto doc = std::make_shared<CatalogDocument>(m_edit.doc);
    const PreviewRequest request = currentRequest();
    m_worker.start([this, serial, doc, request, latest = m_latest, env = m_workerEnv] {
        if (latest->load() != serial)
            return; // a newer request is on its way
        PreviewPicture picture;
        try {
            picture = renderPreview(*doc, *env, request);
        } catch (const Error&) {
            // The page keeps what it showed; the exports report such errors.
        }
        // Delivered to the window's thread; dropped if the tab is gone by then.
        QMetaObject::invokeMethod(
            this,
            [this, serial, picture, doc] {
                adoptPictureSizes(m_edit.doc, *doc);
                pictureReady(serial, picture);
            },
            Qt::QueuedConnection);
    });
}

void PreviewTab::pictureReady(quint64 serial, PreviewPicture picture) {
    if (serial <= m_shownSerial)
        return;
    m_shownSerial = serial;
    if (!picture.image.isNull()) {
        m_picture = picture.image;
        m_pages = picture.pages;
        m_box->setPicture(m_picture, picture.size);
        updatePageCount();
    }
    if (!isRendering())
        emit pictureShown();
}

void PreviewTab::updatePageCount() {
    m_pageCount->setText(m_texts.TranslateText(QStringLiteral("von")) + QLatin1Char(' ') +
                         QString::number(m_pages));
}

void PreviewTab::fitPage() {
    PreviewRequest r = currentRequest();
    r.zoom = 100;
    const QSize full = previewPageSize(r);
    const QSize room = m_scroll->viewport()->size() - QSize(2 * kMargin, 2 * kMargin);
    if (full.isEmpty() || room.isEmpty())
        return;
    const double zoom = std::min(100.0 * room.width() / full.width(), 100.0 * room.height() / full.height());
    m_zoom->setValue(std::clamp(int(zoom), 1, 1000));
}

void PreviewTab::fitWidth() {
    PreviewRequest r = currentRequest();
    r.zoom = 100;
    const QSize full = previewPageSize(r);
    const int room =
        m_scroll->viewport()->width() - 2 * kMargin - m_scroll->verticalScrollBar()->sizeHint().width();
    if (full.isEmpty() || room <= 0)
        return;
    m_zoom->setValue(std::clamp(int(100.0 * room / full.width()), 1, 1000));
}

void PreviewTab::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    m_scroll->setFocus(); // the wheel and the page keys go to the preview
    if (m_pending)
        requestRepaint();
}

bool PreviewTab::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        const int delta = wheel->angleDelta().y();
        if (delta == 0)
            return true;
        if (wheel->modifiers() & Qt::ControlModifier) {
            m_zoom->setValue(m_zoom->value() + (delta > 0 ? kZoomStep : -kZoomStep));
        } else {
            QScrollBar* v = m_scroll->verticalScrollBar();
            v->setValue(v->value() + (delta > 0 ? -kWheelStep : kWheelStep));
        }
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void PreviewTab::setPrinterPage(QSize pixels, int dpi) {
    if (pixels == m_setup.printerPixels && dpi == m_setup.printerDpi)
        return;
    m_setup.printerPixels = pixels;
    m_setup.printerDpi = dpi;
    requestRepaint();
}

} // namespace pw
