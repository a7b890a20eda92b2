// The Window's picture operations: the drawing canvases, the matrix view, bitmap files and the
// clipboard.
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QSvgRenderer>
#include <algorithm>
#include <cmath>

#include "io/file_io.h"
#include "platform/qt/picture_view.h"
#include "platform/qt/qt_main_window.h"
#include "platform/qt/vector_file_surface.h"

namespace kvr {

DrawingSurface& QtMainWindow::Canvas(Control /*picture*/) {
    canvasDrawing_ = nullptr;  // the core draws on the canvas itself
    return innerCanvas_;
}

void QtMainWindow::SetCanvasDrawing(int width, int height, const RegionDrawing& draw) {
    innerCanvas_.Resize(QImageSurface::kTwipsPerPixel, QImageSurface::kTwipsPerPixel);
    canvasDrawing_ = draw;
    drawingWidth_ = width;
    drawingHeight_ = height;
}

QSize QtMainWindow::SizedDrawing::Pixels() const {
    return {std::max(1, QImageSurface::ToPixels(width)),
            std::max(1, QImageSurface::ToPixels(height))};
}

QSize QtMainWindow::CanvasPixels() const {
    return SizedDrawing{canvasDrawing_, drawingWidth_, drawingHeight_}.Pixels();
}

QPointF QtMainWindow::CanvasTwipsAt(QPoint at) const {
    const QSize canvas = viewDrawing_.draw ? viewDrawing_.Pixels()
                         : canvasDrawing_  ? CanvasPixels()
                                           : innerCanvas_.Image().size();
    const double sx = view_->width() > 0 ? double(canvas.width()) / view_->width() : 1;
    const double sy = view_->height() > 0 ? double(canvas.height()) / view_->height() : 1;
    return {at.x() * sx * QImageSurface::kTwipsPerPixel,
            at.y() * sy * QImageSurface::kTwipsPerPixel};
}

void QtMainWindow::OpenCellAt(QPoint at) {
    if (events_ == nullptr || at.x() < 0) return;
    const QPointF twips = CanvasTwipsAt(at);
    events_->OnCellOpened(twips.x(), twips.y());
}

void QtMainWindow::keyPressEvent(QKeyEvent* event) {
    // Enter with the pointer over a cell opens its alignment, whichever control has the keyboard.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        view_->pointer().x() >= 0) {
        OpenCellAt(view_->pointer());
        return;
    }
    QMainWindow::keyPressEvent(event);
}

QImage QtMainWindow::RenderArea(const SizedDrawing& drawing, const QRect& area,
                                const QSize& viewSize) {
    const QSize canvas = drawing.Pixels();
    const double sx = viewSize.width() / static_cast<double>(canvas.width());
    const double sy = viewSize.height() / static_cast<double>(canvas.height());
    areaCanvas_.BeginArea(area.size(), QTransform().translate(-area.x(), -area.y()).scale(sx, sy));
    // The canvas's twips behind the area, a pixel wider each way for what is rounded.
    constexpr int kPixel = QImageSurface::kTwipsPerPixel;
    const SurfaceBox region{
        static_cast<int>(std::floor(area.left() / sx)) * kPixel - kPixel,
        static_cast<int>(std::floor(area.top() / sy)) * kPixel - kPixel,
        static_cast<int>(std::ceil((area.right() + 1) / sx)) * kPixel + kPixel,
        static_cast<int>(std::ceil((area.bottom() + 1) / sy)) * kPixel + kPixel};
    drawing.draw(areaCanvas_, region);
    return areaCanvas_.Image();
}

QImage QtMainWindow::RenderCanvasArea(const QRect& area, const QSize& viewSize) {
    return RenderArea(SizedDrawing{canvasDrawing_, drawingWidth_, drawingHeight_}, area, viewSize);
}

void QtMainWindow::ShowDrawingInView(int width, int height, const RegionDrawing& draw) {
    viewDrawing_ = {draw, width, height};
    view_->setMarks({});
    view_->setDrawing([this](const QRect& area, const QSize& viewSize) {
        return RenderArea(viewDrawing_, area, viewSize);
    });
}

void QtMainWindow::SetPanelDrawing(Control panel, int width, int height,
                                   const RegionDrawing& draw) {
    const bool names = panel == Control::namesPicture;
    SizedDrawing& drawing = names ? namesDrawing_ : panelDrawing_;
    drawing = {draw, width, height};
    (names ? namesPanel_ : keyPanel_)
        ->setDrawing([this, &drawing](const QRect& area, const QSize& viewSize) {
            return RenderArea(drawing, area, viewSize);
        });
}

void QtMainWindow::SetViewMarks(const std::vector<SurfaceBox>& boxes) {
    QVector<QRect> marks;
    for (const SurfaceBox& box : boxes)
        marks.push_back(
            QRect(QPoint(QImageSurface::ToPixels(box.left), QImageSurface::ToPixels(box.top)),
                  QPoint(QImageSurface::ToPixels(box.right) - 1,
                         QImageSurface::ToPixels(box.bottom) - 1)));
    // The frozen names have the view's coordinates: the selected row's mark goes on them too.
    namesPanel_->setMarks(marks);
    view_->setMarks(std::move(marks));
}

void QtMainWindow::CopyText(std::string_view text) {
    QApplication::clipboard()->setText(
        QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

bool QtMainWindow::SaveCanvasBitmap(const std::string& path) {
    const QImage image = CanvasImage();
    const char* format =
        QString::fromStdString(path).endsWith(".png", Qt::CaseInsensitive) ? "PNG" : "BMP";
    return static_cast<bool>(ReplaceFile(path, [&image, format](const std::string& temporary) {
        return image.save(QString::fromStdString(temporary), format);
    }));
}

QImage QtMainWindow::CanvasImage() {
    if (!canvasDrawing_) return innerCanvas_.Image();
    return RenderCanvasArea(QRect(QPoint(0, 0), CanvasPixels()), CanvasPixels());
}

void QtMainWindow::BlankPicture(Control picture) {
    const QColor buttonFace = palette().color(QPalette::Button);
    if (picture == Control::ZoomingPicture) {
        QImage blank(view_->size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
        blank.fill(buttonFace);
        viewDrawing_ = {};
        view_->setMarks({});
        view_->setImage(blank);
    } else {
        canvasDrawing_ = nullptr;
        innerCanvas_.Fill(buttonFace);
    }
}

void QtMainWindow::ShowCanvasInView(bool /*stretch*/) {
    viewDrawing_ = {};
    view_->setMarks({});
    // The view always paints its image over its whole extent: 1:1 when the core gave it the
    // canvas size, stretched when zoomed.
    if (canvasDrawing_)
        view_->setDrawing([this](const QRect& area, const QSize& viewSize) {
            return RenderCanvasArea(area, viewSize);
        });
    else
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
    QApplication::clipboard()->setImage(CanvasImage());
}

bool QtMainWindow::CopyMetafile(const std::string& emfPath) {
    auto emf = ReadWholeFile(emfPath);
    if (!emf || emf->empty()) return false;
    auto* mime = new QMimeData;
    const QByteArray bytes(emf->data(), static_cast<qsizetype>(emf->size()));
    mime->setData(QStringLiteral("image/emf"), bytes);
    mime->setData(QStringLiteral("image/x-emf"), bytes);
    // For programs that cannot read EMF: the same picture as drawn on the canvas.
    mime->setImageData(CanvasImage());
    QApplication::clipboard()->setMimeData(mime);
    return true;
}

bool QtMainWindow::WriteVectorPicture(PictureFormat format, const std::string& path,
                                      const std::function<void(DrawingSurface&)>& draw) {
    return static_cast<bool>(WriteVectorFile(format, path, draw));
}

}  // namespace kvr
