// The Window's picture operations: the drawing canvases, the matrix view, bitmap files and the
// clipboard.
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QMimeData>
#include <QPainter>
#include <QSvgRenderer>

#include "platform/qt/picture_view.h"
#include "platform/qt/qt_main_window.h"
#include "platform/qt/vector_file_surface.h"
#include "state/file_io.h"

namespace kvr {

DrawingSurface& QtMainWindow::Canvas(Control /*picture*/) {
    return innerCanvas_;
}

void QtMainWindow::BlankPicture(Control picture) {
    const QColor buttonFace = palette().color(QPalette::Button);
    if (picture == Control::ZoomingPicture) {
        QImage blank(view_->size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
        blank.fill(buttonFace);
        view_->setImage(blank);
    } else {
        innerCanvas_.Fill(buttonFace);
    }
}

void QtMainWindow::ShowCanvasInView(bool /*stretch*/) {
    // The view always paints its image over its whole extent: 1:1 when the core gave it the
    // canvas size, stretched when zoomed.
    view_->setImage(innerCanvas_.Image());
}

bool QtMainWindow::SaveViewBitmap(const std::string& path) {
    const QImage image = view_->shownImage();
    // PNG when the name says so, else the Windows bitmap.
    const char* format =
        QString::fromStdString(path).endsWith(".png", Qt::CaseInsensitive) ? "PNG" : "BMP";
    return static_cast<bool>(ReplaceFile(path, [&image, format](const std::string& temporary) {
        return image.save(QString::fromStdString(temporary), format);
    }));
}

void QtMainWindow::CopyCanvasBitmap(Control /*picture*/) {
    const QImage& image = innerCanvas_.Image();
    QApplication::clipboard()->setImage(image);
}

bool QtMainWindow::CopyMetafile(const std::string& emfPath) {
    auto emf = ReadWholeFile(emfPath);
    if (!emf || emf->empty()) return false;
    auto* mime = new QMimeData;
    const QByteArray bytes(emf->data(), static_cast<qsizetype>(emf->size()));
    mime->setData(QStringLiteral("image/emf"), bytes);
    mime->setData(QStringLiteral("image/x-emf"), bytes);
    // For programs that cannot read EMF: the same picture as drawn on the canvas.
    mime->setImageData(innerCanvas_.Image());
    QApplication::clipboard()->setMimeData(mime);
    return true;
}

bool QtMainWindow::WriteVectorPicture(PictureFormat format, const std::string& path,
                                      const std::function<void(DrawingSurface&)>& draw) {
    return static_cast<bool>(WriteVectorFile(format, path, draw));
}

}  // namespace kvr
