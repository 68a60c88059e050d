#pragma once

// The tab "Katalog erzeugen": the page as it will be printed, drawn by the engine of the
// chosen layout at the screen's resolution and the zoom, with "Layout:", "Zoom in %:" and
// "Seite:" (and "von N", the page count), "Ganze Seite" and "Seitenbreite".
//
// The page is drawn on a worker thread, from a copy of the document taken when the
// request is made; a newer request supersedes one that has not started, and a picture is
// shown only when it is complete, so the window never waits for a layout and never shows
// a half-drawn page. Every change of the document asks for a new picture; while the tab
// is hidden the request waits until it is shown.
//
// The page lies 8 pixels from the top left of the scroll area in a box 8 pixels larger than
// the page. Dragging it with the mouse scrolls (each bar stops at its limits); the wheel
// scrolls 20 pixels a notch, Ctrl+wheel and Ctrl+plus / Ctrl+minus zoom by 10, Page Up and
// Page Down turn pages.

#include "model/undo.h"
#include "session/previewrenderer.h"

#include <QImage>
#include <QThreadPool>
#include <QWidget>

#include <atomic>
#include <memory>

class QComboBox;
class QLabel;
class QScrollArea;
class QSpinBox;

namespace pw {

class Clock;
class SettingsBinder;
class TranslationStore;

// The printer page the preview shows, and the screen resolution (0: the widget's own).
struct PreviewSetup {
    QSize printerPixels{4960, 7016};
    int printerDpi = 600;
    int screenDpi = 0;
};

class PreviewTab : public QWidget, private DocumentObserver {
    Q_OBJECT
public:
    PreviewTab(EditContext& edit, SettingsBinder& binder, TranslationStore& texts, const Clock& clock,
               QLocale locale, PreviewSetup setup, int zoom, QWidget* parent = nullptr);
    ~PreviewTab() override;

    QSpinBox* zoomEdit() const { return m_zoom; }
    QSpinBox* pageEdit() const { return m_page; }
    QScrollArea* scrollArea() const { return m_scroll; }
    QWidget* pageBox() const;
    // The picture shown now (null before the first one), and the page count it reported.
    const QImage& shownPicture() const { return m_picture; }
    int pageCount() const { return m_pages; }
    // True while a requested picture is not shown yet.
    bool isRendering() const { return m_shownSerial != m_requestedSerial; }

    // Asks for a new picture of the page.
    void requestRepaint();
    // The printer's printable page changed (printer set-up): the page is drawn anew on it.
    void setPrinterPage(QSize pixels, int dpi);
    // The zoom at which the whole page, or its width, fits the visible area.
    void fitPage();
    void fitWidth();

signals:
    void pictureShown();
    void zoomChanged(int zoom);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class PageBox;

    void documentChanged(const DocumentChange& change) override;
    void startRender();
    void pictureReady(quint64 serial, PreviewPicture picture);
    PreviewRequest currentRequest() const;
    void updatePageCount();
    int screenDpi() const;

    EditContext& m_edit;
    TranslationStore& m_texts;
    PreviewSetup m_setup;
    QSpinBox* m_zoom = nullptr;
    QSpinBox* m_page = nullptr;
    QLabel* m_pageCount = nullptr;
    QScrollArea* m_scroll = nullptr;
    PageBox* m_box = nullptr;
    QImage m_picture;
    int m_pages = 0;
    bool m_pending = false;   // a request waits for the tab to be shown or for the event loop
    bool m_scheduled = false; // the event loop will start it
    quint64 m_requestedSerial = 0;
    quint64 m_shownSerial = 0;
    std::shared_ptr<std::atomic<quint64>> m_latest = std::make_shared<std::atomic<quint64>>(0);
    // The worker's pictures stay loaded between renders; one thread uses it at a time.
    std::shared_ptr<EngineEnvironment> m_workerEnv;
    QThreadPool m_worker;
};

} // namespace pw
