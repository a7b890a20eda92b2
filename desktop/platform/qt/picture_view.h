// A picture box that shows an image stretched over its own size (1:1 when the sizes agree).
#pragma once

#include <QHash>
#include <QImage>
#include <QVector>
#include <QWidget>
#include <functional>

class QPainter;

namespace kvr {

class PictureView : public QWidget {
    Q_OBJECT
  public:
    explicit PictureView(QWidget* parent = nullptr);

    // Renders an area of the view (its own pixels) for a view of the given size.
    using AreaRenderer = std::function<QImage(const QRect& area, const QSize& viewSize)>;

    void setImage(const QImage& image);
    // A picture drawn in tiles as they come into sight, at the view's present size.
    void setDrawing(AreaRenderer render);
    const QImage& image() const { return image_; }
    // Boxes (the view's pixels) marked over the picture: a tint and an edge.
    void setMarks(QVector<QRect> marks);
    // The image as shown: stretched to the widget's present size.
    QImage shownImage() const;
    // Where the pointer is over the view (its own pixels); (-1, -1) when it is elsewhere.
    QPoint pointer() const { return pointer_; }

  signals:
    void resized();
    void mousePressed(bool rightButton);
    void pointerMoved(QPoint position);  // (-1, -1): it left the view
    void doubleClicked(QPoint position);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    QImage RenderTile(const QRect& area) const;
    void PaintMarks(QPainter& painter) const;

    QImage image_;
    QPoint pointer_{-1, -1};
    mutable QImage scaled_;  // image_ stretched to the widget's size, made once per size
    AreaRenderer render_;
    QHash<quint64, QImage> tiles_;  // rendered tiles of render_ at the present size, by place
    QVector<QRect> marks_;
};

}  // namespace kvr
