// The Qt main window (frmMainForm) with its two companion forms (frmOptions, frmIdentityPrct):
// real widgets for every named control, placed in twips (15 to the pixel). User actions are
// passed to the core through WindowEvents.
#pragma once

#include <QMainWindow>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "platform/qt/qimage_surface.h"
#include "platform/window.h"

class QAction;
class QMenu;

namespace kvr {

class PictureView;

class QtMainWindow : public QMainWindow, public Window, public VectorPictureWriter {
    Q_OBJECT
  public:
    QtMainWindow();
    ~QtMainWindow() override;

    void SetEvents(WindowEvents* events) { events_ = events; }

    // Window
    void SetEnabled(Control c, bool enabled) override;
    bool IsEnabled(Control c) const override;
    void SetVisible(Control c, bool visible) override;
    bool IsVisible(Control c) const override;
    void SetCaption(Control c, std::string_view text) override;
    std::string Caption(Control c) const override;
    void SetValue(Control c, int value) override;
    int Value(Control c) const override;
    void SetMaximum(Control c, int maximum) override;
    int Maximum(Control c) const override;
    void SetSmallChange(Control c, int step) override;
    void SetChecked(Control c, bool checked) override;
    bool IsChecked(Control c) const override;
    void SetToolTip(Control c, std::string_view text) override;
    std::string ToolTip(Control c) const override;
    void SetGeometry(Control c, const Rect& twips) override;
    Rect Geometry(Control c) const override;
    void SetDropEnabled(Control target, bool enabled) override;
    bool IsDropEnabled(Control target) const override;
    void ShowAlignment(const AlignmentView& view) override;
    void ShowForm(Control form) override;
    void CloseForm(Control form) override;
    bool IsFormShown(Control form) const override;
    void ShowMessage(std::string_view text) override;
    bool AskYesNo(std::string_view text) override;
    std::string OpenFileDialog(const std::string& startFolder) override;
    std::string SaveFileDialog(const std::string& startFolder, std::string_view filter) override;
    void SetBusy(bool busy) override;
    void ProcessEvents() override;
    Size ScreenSize() const override;
    void SetMinimumSize(Control form, Size twips) override;
    void SetRecentFiles(const std::vector<std::string>& paths) override;
    void PopUpMenu(Control menu) override;
    void Quit() override;
    DrawingSurface& Canvas(Control picture) override;
    void BlankPicture(Control picture) override;
    void ShowCanvasInView(bool stretch) override;
    void SetCanvasDrawing(int width, int height, const RegionDrawing& draw) override;
    void ShowDrawingInView(int width, int height, const RegionDrawing& draw) override;
    void SetPanelDrawing(Control panel, int width, int height, const RegionDrawing& draw) override;
    void SetViewMarks(const std::vector<SurfaceBox>& boxes) override;
    std::string AskText(std::string_view question, const std::string& initial) override;
    void ShowTable(std::string_view title, const std::vector<std::string>& columns,
                   const std::vector<std::vector<std::string>>& rows) override;
    void CopyText(std::string_view text) override;
    bool SaveViewBitmap(const std::string& path) override;
    bool SaveCanvasBitmap(const std::string& path) override;
    void CopyCanvasBitmap(Control picture) override;
    bool CopyMetafile(const std::string& emfPath) override;

    // VectorPictureWriter
    bool WriteVectorPicture(PictureFormat format, const std::string& path,
                            const std::function<void(DrawingSurface&)>& draw) override;

    // For tests and screenshots: the widget or menu entry behind a control.
    QWidget* WidgetOf(Control c) const { return widgets_[Index(c)]; }
    QAction* ActionOf(Control c) const { return actions_[Index(c)]; }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    static std::size_t Index(Control c) { return static_cast<std::size_t>(c); }
    void BuildMenus();
    void BuildControls();
    // Spin arrows stop stepping before a modal box takes the mouse.
    void StopSpinRepeats();
    void BuildOptionsForm();
    void BuildDatasetForm();
    void Register(Control c, QWidget* widget);
    void Register(Control c, QAction* action, QMenu* menu = nullptr);
    void ConnectClick(Control c);
    void ReportClick(Control c);
    Control DropTargetAt(const QPoint& position) const;
    QString DisplayText(std::string_view text) const;
    // InnerPicture's picture in canvas pixels, and an area of it drawn for a view of viewSize.
    QSize CanvasPixels() const;
    // A point of the matrix view (its pixels) on the canvas it shows stretched (twips).
    QPointF CanvasTwipsAt(QPoint at) const;
    // Opens the alignment of the cell at a point of the matrix view (its pixels).
    void OpenCellAt(QPoint at);
    QImage RenderCanvasArea(const QRect& area, const QSize& viewSize);
    QImage CanvasImage();  // the whole canvas at full size

    // A picture drawn by regions (twips), of a size in twips.
    struct SizedDrawing {
        RegionDrawing draw;
        int width = 0, height = 0;
        QSize Pixels() const;
    };
    // An area (pixels of a view of viewSize) of a drawing shown stretched over that view.
    QImage RenderArea(const SizedDrawing& drawing, const QRect& area, const QSize& viewSize);

    WindowEvents* events_ = nullptr;
    std::array<QWidget*, kControlCount> widgets_{};
    std::array<QAction*, kControlCount> actions_{};
    std::array<QMenu*, kControlCount> menus_{};
    std::array<Rect, kControlCount> geometry_{};
    std::array<bool, kControlCount> dropEnabled_{};
    QImageSurface innerCanvas_;
    QImageSurface areaCanvas_;     // the tiles of a canvas drawing
    RegionDrawing canvasDrawing_;  // InnerPicture drawn by regions; empty: the canvas image
    int drawingWidth_ = 0;         // twips
    int drawingHeight_ = 0;
    SizedDrawing viewDrawing_;  // the view's own picture; empty: it shows the canvas
    SizedDrawing panelDrawing_;
    SizedDrawing namesDrawing_;
    PictureView* view_ = nullptr;
    PictureView* keyPanel_ = nullptr;    // keyPicture
    PictureView* namesPanel_ = nullptr;  // namesPicture
    QMenu* recent_ = nullptr;            // the files opened last, enabled with "&Open"
    bool hasRecent_ = false;
    bool busy_ = false;
    bool laidOut_ = false;
};

}  // namespace kvr
