#include "platform/qt/qt_main_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDialog>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QShortcut>
#include <QStatusBar>
#include <QWheelEvent>

#include "platform/qt/alignment_window.h"
#include "platform/qt/help_window.h"
#include "platform/qt/picture_view.h"
#include "platform/qt/up_down.h"

namespace kvr {

namespace {

QLabel* MakeLabel(QWidget* parent, const char* text) {
    auto* label = new QLabel(QString::fromLatin1(text), parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

}  // namespace

QtMainWindow::QtMainWindow()
    : innerCanvas_(CanvasFont("Liberation Sans")), areaCanvas_(CanvasFont("Liberation Sans")) {
    Register(Control::frmMainForm, this);
    setWindowTitle(QStringLiteral("Kavorin - version 1"));
    setFont(CanvasFont("Liberation Sans Narrow"));
    setAcceptDrops(true);
    BuildMenus();
    BuildControls();
    BuildOptionsForm();
    BuildDatasetForm();
    dropEnabled_.fill(true);
}

QtMainWindow::~QtMainWindow() = default;

void QtMainWindow::Register(Control c, QWidget* widget) {
    widgets_[Index(c)] = widget;
}

void QtMainWindow::Register(Control c, QAction* action, QMenu* menu) {
    actions_[Index(c)] = action;
    menus_[Index(c)] = menu;
}

void QtMainWindow::ReportClick(Control c) {
    if (events_ != nullptr) events_->OnClick(c);
}

void QtMainWindow::ConnectClick(Control c) {
    if (QAction* action = actions_[Index(c)]) {
        connect(action, &QAction::triggered, this, [this, c] { ReportClick(c); });
    } else if (auto* button = qobject_cast<QAbstractButton*>(widgets_[Index(c)])) {
        connect(button, &QAbstractButton::clicked, this, [this, c] { ReportClick(c); });
    }
}

void QtMainWindow::BuildMenus() {
    QMenuBar* bar = menuBar();
    const auto topAction = [&](Control c, const char* text) {
        Register(c, bar->addAction(QString::fromLatin1(text)));
        ConnectClick(c);
    };
    const auto item = [&](QMenu* menu, Control c, const char* text) {
        Register(c, menu->addAction(QString::fromLatin1(text)));
        ConnectClick(c);
    };
    const auto subMenu = [&](QMenu* parent, Control c, const char* text) {
        QMenu* menu = parent->addMenu(QString::fromLatin1(text));
        Register(c, menu->menuAction(), menu);
        return menu;
    };

    topAction(Control::mnuOpenFile, "&Open");
    recent_ = bar->addMenu(QStringLiteral("Recen&t"));
    recent_->menuAction()->setEnabled(false);
    QMenu* save = bar->addMenu(QStringLiteral("&Save"));
    Register(Control::mnuSave, save->menuAction(), save);
    item(save, Control::mnuSaveSession, "Save KVR file");
    QMenu* scores = subMenu(save, Control::mnuSaveSimScore, "Save identity scores");
    item(scores, Control::mnuColumn, "Scores in column");
    item(scores, Control::mnuMat, "Scores in a matrix");
    QMenu* matrix = subMenu(save, Control::mnuSaveMatrix, "Save matrix picture");
    item(matrix, Control::mnuEMF, "EMF format");
    item(matrix, Control::mnuBMP, "BMP format");
    item(matrix, Control::mnuPNG, "PNG format");
    item(matrix, Control::mnuSVG, "SVG format");
    item(matrix, Control::mnuPDF, "PDF format");
    QMenu* plot = subMenu(save, Control::mnuSavePlot, "Save plot");
    item(plot, Control::mnuEMF2, "EMF format");
    item(plot, Control::mnuBMP2, "BMP format");
    item(plot, Control::mnuPNG2, "PNG format");
    item(plot, Control::mnuSVG2, "SVG format");
    item(plot, Control::mnuPDF2, "PDF format");
    item(plot, Control::mnuPlotData, "Plot data");
    QMenu* copyMatrix = subMenu(save, Control::mnuCopyMat, "Copy matrix to clipboad");
    item(copyMatrix, Control::mnuCopyMatEMF, "EMF format");
    item(copyMatrix, Control::mnuCopyMatBMP, "BMP format");
    QMenu* copyPlot = subMenu(save, Control::mnuCopyPlot, "Copy plot to clipboard");
    item(copyPlot, Control::mnuCopyPlotEMF, "EMF format");
    item(copyPlot, Control::mnuCopyPlotBMP, "BMP format");
    item(save, Control::mnuSaveSeqs, "Create datasets [based on p-identities]");
    item(save, Control::mnu_Save_All, "Save all sequences [as sorted in the matrix]");
    save->addSeparator();
    item(save, Control::mnuSaveGroups, "Save groups...");
    item(save, Control::mnuSaveTree, "Save tree (Newick)...");
    save->addSeparator();
    item(save, Control::mnuProperties, "Properties...");
    QMenu* view = bar->addMenu(QStringLiteral("&View"));
    item(view, Control::mnuZoomFit, "Zoom to fit the window");
    item(view, Control::mnuZoom100, "Zoom to 100 %");
    view->addSeparator();
    item(view, Control::mnuFind, "Find a sequence...");
    item(view, Control::mnuCopyCell, "Copy the selected cell");
    item(view, Control::mnuGroups, "Groups...");
    view->addSeparator();
    item(view, Control::mnuViridis, "Colour-blind-safe colours (viridis)");
    actions_[Index(Control::mnuViridis)]->setCheckable(true);
    item(view, Control::mnuShowTree, "Tree beside the names");
    actions_[Index(Control::mnuShowTree)]->setCheckable(true);
    actions_[Index(Control::mnuShowTree)]->setChecked(true);
    actions_[Index(Control::mnuZoomFit)]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    actions_[Index(Control::mnuZoom100)]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_1));
    actions_[Index(Control::mnuFind)]->setShortcut(QKeySequence::Find);
    actions_[Index(Control::mnuCopyCell)]->setShortcut(QKeySequence::Copy);
    for (Control c : {Control::mnuZoomFit, Control::mnuZoom100, Control::mnuFind,
                      Control::mnuCopyCell, Control::mnuGroups, Control::mnuShowTree})
        actions_[Index(c)]->setEnabled(false);
    topAction(Control::mnuRerun, "&Rerun");
    topAction(Control::mnuAppend, "&Append");
    topAction(Control::mnuStop, "&Exit");
    // The keys every desktop program answers.
    actions_[Index(Control::mnuOpenFile)]->setShortcut(QKeySequence::Open);
    actions_[Index(Control::mnuSaveSession)]->setShortcut(QKeySequence::Save);
    actions_[Index(Control::mnuStop)]->setShortcut(QKeySequence::Quit);
    // Disabled in the window design until an analysis exists.
    actions_[Index(Control::mnuRerun)]->setEnabled(false);
    actions_[Index(Control::mnuAppend)]->setEnabled(false);
}

void QtMainWindow::SetRecentFiles(const std::vector<std::string>& paths) {
    recent_->clear();
    for (const std::string& path : paths) {
        // The text shows the path as it is: no "&" turned into a mnemonic.
        QAction* action = recent_->addAction(QString::fromStdString(path).replace('&', "&&"));
        connect(action, &QAction::triggered, this, [this, path] {
            if (events_ != nullptr) events_->OnOpenRecent(path);
        });
    }
    hasRecent_ = !paths.empty();
    recent_->menuAction()->setEnabled(hasRecent_ && IsEnabled(Control::mnuOpenFile));
}

void QtMainWindow::BuildControls() {
    auto* client = new QWidget(this);
    setCentralWidget(client);

    const auto button = [&](Control c, const char* text) {
        auto* b = new QPushButton(QString::fromLatin1(text), client);
        Register(c, b);
        ConnectClick(c);
    };
    button(Control::cmdDrawMat, "&Matrix");
    button(Control::cmdPlot, "&Plot");
    button(Control::cmdZoomIn, "Zoom in");
    button(Control::cmdZoomOut, "Zoom out");
    button(Control::cmdColourScheme, "Full colour mode");
    // Ctrl and + or - press the zoom buttons (both keys of + on the common layouts).
    for (const auto& [key, c] :
         {std::pair{QKeySequence(QKeySequence::ZoomIn), Control::cmdZoomIn},
          std::pair{QKeySequence(Qt::CTRL | Qt::Key_Equal), Control::cmdZoomIn},
          std::pair{QKeySequence(QKeySequence::ZoomOut), Control::cmdZoomOut}}) {
        auto* shortcut = new QShortcut(key, this);
        connect(shortcut, &QShortcut::activated, this, [this, c] {
            if (IsEnabled(c)) ReportClick(c);
        });
    }

    Register(Control::lblCutoff1, MakeLabel(client, "Cut-off 1"));
    Register(Control::lblCutoff2, MakeLabel(client, "Cut-off 2"));
    for (Control c : {Control::lblCutoff1dsply, Control::lblCutoff2dsply}) {
        QLabel* show = MakeLabel(client, "");
        show->setAlignment(Qt::AlignCenter);
        show->setAutoFillBackground(true);
        show->setStyleSheet(QStringLiteral("background-color: rgb(64,64,64); color: white;"));
        Register(c, show);
    }
    for (Control c : {Control::updCutoff1, Control::UpdCutoff2}) {
        auto* spin = new UpDown(client);
        spin->setValue(c == Control::updCutoff1 ? 94 : 78);  // design values, before any handler
        Register(c, spin);
        connect(spin, &UpDown::valueChanged, this, [this, c](int value) {
            if (events_ != nullptr) events_->OnValueChanged(c, value);
        });
    }

    auto* outer = new QFrame(client);
    outer->setFrameShape(QFrame::Box);
    outer->setAutoFillBackground(true);
    Register(Control::OuterPicture, outer);
    view_ = new PictureView(outer);
    view_->setAcceptDrops(false);  // drops are handled by the main window, by position
    Register(Control::ZoomingPicture, view_);
    // The names frozen at the viewport's left while the cells scroll sideways, and the colour key
    // pinned at its right when the key beside the matrix is out of sight; above the view, as
    // they are made after it.
    namesPanel_ = new PictureView(outer);
    namesPanel_->setAcceptDrops(false);
    namesPanel_->hide();
    Register(Control::namesPicture, namesPanel_);
    keyPanel_ = new PictureView(outer);
    keyPanel_->setAcceptDrops(false);
    keyPanel_->hide();
    Register(Control::keyPicture, keyPanel_);
    connect(view_, &PictureView::resized, this, [this] {
        if (events_ != nullptr) events_->OnPictureResized(Control::ZoomingPicture);
    });
    connect(view_, &PictureView::pointerMoved, this, [this](QPoint at) {
        if (events_ == nullptr) return;
        if (at.x() < 0) return events_->OnPointerMoved(-1, -1);
        const QPointF twips = CanvasTwipsAt(at);
        events_->OnPointerMoved(twips.x(), twips.y());
    });
    // A double-click on a cell opens its alignment (and so does Enter: keyPressEvent).
    connect(view_, &PictureView::doubleClicked, this, [this](QPoint at) { OpenCellAt(at); });
    connect(view_, &PictureView::mousePressed, this, [this](bool right) {
        if (events_ != nullptr) events_->OnMouseDown(Control::ZoomingPicture, right);
    });

    for (Control c : {Control::VScroll1, Control::HScroll1}) {
        auto* bar = new QScrollBar(c == Control::VScroll1 ? Qt::Vertical : Qt::Horizontal, client);
        bar->setMaximum(0);
        Register(c, bar);
        connect(bar, &QScrollBar::valueChanged, this, [this, c](int value) {
            if (events_ != nullptr) events_->OnValueChanged(c, value);
        });
    }

    auto* status = new QFrame(client);
    status->setFrameShape(QFrame::StyledPanel);
    Register(Control::Frame2, status);
    auto* progress = new QProgressBar(status);
    progress->setRange(0, 100);
    progress->setValue(0);
    progress->setTextVisible(false);
    Register(Control::ProgressBar1, progress);
    // The status text has the window's whole width at its foot, so that every message shows in
    // full; a click on it shows it in a box, with the details behind it (a load's warnings).
    QLabel* statusText = MakeLabel(statusBar(), "");
    statusText->setCursor(Qt::PointingHandCursor);
    statusText->installEventFilter(this);
    statusBar()->addWidget(statusText, 1);
    Register(Control::lblProgress, statusText);
    Register(Control::lblPrgPercent, MakeLabel(status, ""));
    // Shown while a run works; Esc presses it too.
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), status);
    cancel->hide();
    Register(Control::cmdCancel, cancel);
    ConnectClick(Control::cmdCancel);
    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    help->setContext(Qt::ApplicationShortcut);
    connect(help, &QShortcut::activated, this, [this] { ShowHelp(this); });
    // The main window's own: in the options window Esc closes that window.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, [this] {
        if (events_ != nullptr && widgets_[Index(Control::cmdCancel)]->isVisible())
            events_->OnClick(Control::cmdCancel);
    });
    QLabel* path = MakeLabel(client, "");
    path->setAutoFillBackground(true);
    path->setStyleSheet(QStringLiteral("background-color: rgb(128,128,255);"));
    Register(Control::lblFilePath, path);

    // The mouse on the bare viewport behaves as on the picture.
    outer->installEventFilter(this);
    view_->installEventFilter(this);
}

void QtMainWindow::BuildOptionsForm() {
    auto* form = new QDialog(this);
    form->setWindowTitle(QStringLiteral("Alignment programs"));
    form->setModal(false);
    form->resize(330, 244);
    Register(Control::frmOptions, form);
    auto* frame = new QGroupBox(form);
    frame->setGeometry(15, 10, 300, 123);
    Register(Control::fraOption, frame);
    const auto option = [&](Control c, const char* text, int top) {
        auto* radio = new QRadioButton(QString::fromLatin1(text), frame);
        radio->setGeometry(15, top, 260, 24);
        Register(c, radio);
        ConnectClick(c);
        return radio;
    };
    // Closing the window (its close button or Esc) gives up the run it offers.
    connect(form, &QDialog::finished, this, [this] {
        if (events_ != nullptr) events_->OnFormClosed(Control::frmOptions);
    });
    option(Control::oMuscle, "Muscle", 8)->setChecked(true);
    option(Control::oClustalw, "ClustalW", 36);
    option(Control::oMafft, "Mafft", 64);
    option(Control::oBuiltin, "Built-in (MUSCLE's method)", 92);
    auto* tree =
        new QCheckBox(QStringLiteral("Cluster sequences using a neigbor joining tree"), form);
    tree->setGeometry(15, 140, 310, 24);
    tree->setChecked(true);
    Register(Control::chkOptions, tree);
    auto* ambiguous = new QCheckBox(QStringLiteral("Skip ambiguous bases (N, R, Y, ...)"), form);
    ambiguous->setGeometry(15, 166, 310, 24);
    Register(Control::chkAmbiguous, ambiguous);
    auto* run = new QPushButton(QStringLiteral("&Run"), form);
    run->setGeometry(125, 202, 80, 28);
    Register(Control::CmdRun, run);
    ConnectClick(Control::CmdRun);
}

void QtMainWindow::BuildDatasetForm() {
    auto* form = new QDialog(this);
    form->setWindowTitle(QStringLiteral("Create datasets"));
    form->setModal(false);
    form->resize(340, 130);
    Register(Control::frmIdentityPrct, form);
    QLabel* maxLabel = MakeLabel(form, "Maximum sequence identity (%):");
    maxLabel->setGeometry(15, 15, 220, 24);
    Register(Control::Label1, maxLabel);
    auto* maxText = new QLineEdit(form);
    maxText->setGeometry(240, 15, 80, 24);
    Register(Control::txtMaxSeqIdentity, maxText);
    QLabel* minLabel = MakeLabel(form, "Minimum sequence identity  (%):");
    minLabel->setGeometry(15, 50, 220, 24);
    Register(Control::Label2, minLabel);
    auto* minText = new QLineEdit(form);
    minText->setGeometry(240, 50, 80, 24);
    Register(Control::txtMinSeqIdentity, minText);
    auto* ok = new QPushButton(QStringLiteral("&Ok"), form);
    ok->setGeometry(130, 90, 80, 28);
    Register(Control::cmdOk, ok);
    ConnectClick(Control::cmdOk);
}

bool QtMainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == widgets_[Index(Control::lblProgress)] &&
        event->type() == QEvent::MouseButtonRelease) {
        const auto* label = static_cast<QLabel*>(watched);
        if (!label->text().isEmpty()) {
            const QString details = label->toolTip();
            QMessageBox::information(
                this, QStringLiteral("KVRv1"),
                details.isEmpty() ? label->text() : label->text() + "\n\n" + details);
        }
        return true;
    }
    const bool onPicture = watched == widgets_[Index(Control::OuterPicture)] || watched == view_;
    if (onPicture && event->type() == QEvent::Wheel) {
        // The wheel scrolls the picture; with Ctrl it zooms, as the zoom buttons do.
        const auto* wheel = static_cast<QWheelEvent*>(event);
        const QPoint turn = wheel->angleDelta();
        if (wheel->modifiers() & Qt::ControlModifier) {
            const Control zoom = turn.y() > 0 ? Control::cmdZoomIn : Control::cmdZoomOut;
            if (turn.y() != 0 && IsEnabled(zoom)) ReportClick(zoom);
        } else {
            // Three lines of 20 pixels a notch, in the scroll bars' twips.
            const auto scroll = [&](Control c, int eighths) {
                auto* bar = static_cast<QScrollBar*>(widgets_[Index(c)]);
                if (bar->isEnabled()) bar->setValue(bar->value() - eighths * 3 * 20 * 15 / 120);
            };
            const bool sideways = turn.x() != 0 || (wheel->modifiers() & Qt::ShiftModifier);
            scroll(sideways ? Control::HScroll1 : Control::VScroll1,
                   turn.x() != 0 ? turn.x() : turn.y());
        }
        return true;
    }
    if (watched == widgets_[Index(Control::OuterPicture)] &&
        event->type() == QEvent::MouseButtonPress && events_ != nullptr) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        events_->OnMouseDown(Control::OuterPicture, mouse->button() == Qt::RightButton);
    }
    return QMainWindow::eventFilter(watched, event);
}

void QtMainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (laidOut_ && events_ != nullptr) events_->OnResized();
}

void QtMainWindow::closeEvent(QCloseEvent* event) {
    if (events_ == nullptr || events_->OnCloseRequested())
        event->accept();
    else
        event->ignore();
}

Control QtMainWindow::DropTargetAt(const QPoint& position) const {
    const QPoint local = view_->mapFrom(this, position);
    return view_->isVisible() && view_->rect().contains(local) ? Control::ZoomingPicture
                                                               : Control::frmMainForm;
}

void QtMainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls() &&
        dropEnabled_[Index(DropTargetAt(event->position().toPoint()))])
        event->acceptProposedAction();
}

void QtMainWindow::dropEvent(QDropEvent* event) {
    std::vector<std::string> paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) paths.push_back(url.toLocalFile().toStdString());
    event->acceptProposedAction();
    if (events_ != nullptr)
        events_->OnFilesDropped(DropTargetAt(event->position().toPoint()), paths);
}

}  // namespace kvr
