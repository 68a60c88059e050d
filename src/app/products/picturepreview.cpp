#include "picturepreview.h"

#include "imagelib/PicIO3.h"
#include "imagelib/paintdib.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPainter>
#include <QUrl>

namespace pw {

PicturePreview::PicturePreview(const dib& picture, QWidget* parent) : QWidget(parent), m_picture(picture) {
    setAcceptDrops(true);
    setMinimumSize(120, 90);
}

QSize PicturePreview::fittedSize(QSize picture, QSize box) {
    if (picture.isEmpty() || box.isEmpty())
        return {};
    int w = box.width();
    int h = int(qint64(picture.height()) * w / picture.width());
    if (h > box.height()) {
        h = box.height();
        w = int(qint64(picture.width()) * h / picture.height());
    }
    return {w, h};
}

void PicturePreview::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (!m_picture.poi)
        return;
    const QSize picture(dibwidth(m_picture), dibheight(m_picture));
    const QSize size = fittedSize(picture, this->size());
    if (!size.isEmpty())
        PaintDib(painter, false, 0, 0, size.width(), size.height(), m_picture, 0, 0, picture.width(),
                 picture.height(), true);
}

QStringList droppedFiles(const QMimeData* data) {
    QStringList files;
    if (!data)
        return files;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            files.append(url.toLocalFile());
    }
    return files;
}

void PicturePreview::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void PicturePreview::dropEvent(QDropEvent* event) {
    const QStringList files = droppedFiles(event->mimeData());
    if (files.isEmpty())
        return;
    event->acceptProposedAction();
    emit filesDropped(files);
}

} // namespace pw
