// The Window operations on named controls, dialogs and messages of the Qt main window.
#include <unistd.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QScreen>
#include <QScrollBar>
#include <QToolTip>
#include <cmath>
#include <cstdio>

#include "platform/qt/alignment_window.h"
#include "platform/qt/picture_view.h"
#include "platform/qt/qt_main_window.h"
#include "platform/qt/table_dialog.h"
#include "platform/qt/up_down.h"

namespace kvr {

namespace {

constexpr double kTwipsPerPixel = 15.0;

int ToPixels(double twips) {
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}

std::string ToStd(const QString& text) {
    return text.toStdString();
}

const QString kTitle = QStringLiteral("KVRv1");

}  // namespace

QString QtMainWindow::DisplayText(std::string_view text) const {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void QtMainWindow::SetEnabled(Control c, bool enabled) {
    // The Recent menu opens files as "&Open" does, and only when it may.
    if (c == Control::mnuOpenFile && recent_ != nullptr)
        recent_->menuAction()->setEnabled(enabled && hasRecent_);
    if (QAction* action = actions_[Index(c)])
        action->setEnabled(enabled);
    else if (QWidget* widget = widgets_[Index(c)])
        widget->setEnabled(enabled);
}

bool QtMainWindow::IsEnabled(Control c) const {
    if (QAction* action = actions_[Index(c)]) return action->isEnabled();
    if (QWidget* widget = widgets_[Index(c)]) return widget->isEnabled();
    return false;
}

void QtMainWindow::SetVisible(Control c, bool visible) {
    if (QAction* action = actions_[Index(c)])
        action->setVisible(visible);
    else if (QWidget* widget = widgets_[Index(c)])
        widget->setVisible(visible);
}

bool QtMainWindow::IsVisible(Control c) const {
    if (QAction* action = actions_[Index(c)]) return action->isVisible();
    if (QWidget* widget = widgets_[Index(c)]) return !widget->isHidden();
    return false;
}

void QtMainWindow::SetCaption(Control c, std::string_view text) {
    const QString caption = DisplayText(text);
    // A new status has no details of its own until it is given some.
    if (c == Control::lblProgress) widgets_[Index(c)]->setToolTip(QString());
    if (QAction* action = actions_[Index(c)]) return action->setText(caption);
    QWidget* widget = widgets_[Index(c)];
    if (auto* label = qobject_cast<QLabel*>(widget))
        label->setText(caption);
    else if (auto* button = qobject_cast<QAbstractButton*>(widget))
        button->setText(caption);
    else if (auto* edit = qobject_cast<QLineEdit*>(widget))
        edit->setText(caption);
    else if (widget != nullptr && widget->isWindow())
        widget->setWindowTitle(caption);
}

std::string QtMainWindow::Caption(Control c) const {
    if (QAction* action = actions_[Index(c)]) return ToStd(action->text());
    QWidget* widget = widgets_[Index(c)];
    if (auto* label = qobject_cast<QLabel*>(widget)) return ToStd(label->text());
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) return ToStd(button->text());
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) return ToStd(edit->text());
    if (widget != nullptr && widget->isWindow()) return ToStd(widget->windowTitle());
    return {};
}

void QtMainWindow::SetValue(Control c, int value) {
    QWidget* widget = widgets_[Index(c)];
    if (auto* bar = qobject_cast<QProgressBar*>(widget))
        bar->setValue(std::clamp(value, 0, 100));
    else if (auto* spin = qobject_cast<UpDown*>(widget))
        spin->setValue(value);
    else if (auto* scroll = qobject_cast<QScrollBar*>(widget))
        scroll->setValue(value);
}

int QtMainWindow::Value(Control c) const {
    QWidget* widget = widgets_[Index(c)];
    if (auto* bar = qobject_cast<QProgressBar*>(widget)) return bar->value();
    if (auto* spin = qobject_cast<UpDown*>(widget)) return spin->value();
    if (auto* scroll = qobject_cast<QScrollBar*>(widget)) return scroll->value();
    return 0;
}

void QtMainWindow::SetMaximum(Control c, int maximum) {
    QWidget* widget = widgets_[Index(c)];
    if (auto* spin = qobject_cast<UpDown*>(widget))
        spin->setMaximum(maximum);
    else if (auto* scroll = qobject_cast<QScrollBar*>(widget))
        scroll->setMaximum(maximum);
}

int QtMainWindow::Maximum(Control c) const {
    QWidget* widget = widgets_[Index(c)];
    if (auto* spin = qobject_cast<UpDown*>(widget)) return spin->maximum();
    if (auto* scroll = qobject_cast<QScrollBar*>(widget)) return scroll->maximum();
    return 0;
}

void QtMainWindow::SetSmallChange(Control c, int step) {
    if (auto* scroll = qobject_cast<QScrollBar*>(widgets_[Index(c)])) scroll->setSingleStep(step);
}

void QtMainWindow::SetChecked(Control c, bool checked) {
    if (QAction* action = actions_[Index(c)])
        action->setChecked(checked);
    else if (auto* button = qobject_cast<QAbstractButton*>(widgets_[Index(c)]))
        button->setChecked(checked);
}

bool QtMainWindow::IsChecked(Control c) const {
    if (QAction* action = actions_[Index(c)]) return action->isChecked();
    auto* button = qobject_cast<QAbstractButton*>(widgets_[Index(c)]);
    return button != nullptr && button->isChecked();
}

void QtMainWindow::SetToolTip(Control c, std::string_view text) {
    QWidget* widget = widgets_[Index(c)];
    if (widget == nullptr) return;
    widget->setToolTip(DisplayText(text));
    // A read-out follows the pointer at once rather than after the hover delay.
    if (widget->underMouse() && QToolTip::isVisible())
        QToolTip::showText(QCursor::pos(), widget->toolTip(), widget);
}

std::string QtMainWindow::ToolTip(Control c) const {
    QWidget* widget = widgets_[Index(c)];
    return widget != nullptr ? ToStd(widget->toolTip()) : std::string();
}

void QtMainWindow::SetGeometry(Control c, const Rect& twips) {
    geometry_[Index(c)] = twips;
    QWidget* widget = widgets_[Index(c)];
    // The status text is placed by the status bar.
    if (widget == nullptr || c == Control::lblProgress) return;
    if (widget->isWindow()) {
        // Outer size: the frame the window manager adds is taken off the client size.
        const QSize frame = widget->frameGeometry().size() - widget->size();
        widget->move(ToPixels(twips.left), ToPixels(twips.top));
        widget->resize(std::max(1, ToPixels(twips.width) - frame.width()),
                       std::max(1, ToPixels(twips.height) - frame.height()));
        if (c == Control::frmMainForm) laidOut_ = true;
        return;
    }
    widget->setGeometry(ToPixels(twips.left), ToPixels(twips.top),
                        std::max(0, ToPixels(twips.width)), std::max(0, ToPixels(twips.height)));
}

Rect QtMainWindow::Geometry(Control c) const {
    QWidget* widget = widgets_[Index(c)];
    if (widget == nullptr) return geometry_[Index(c)];
    const QRect px = widget->isWindow() ? widget->frameGeometry() : widget->geometry();
    const Rect stored = geometry_[Index(c)];
    // Keep the twips the core set while the widget still has that size; the pixel grid would
    // otherwise round every step of the zoom.
    if (ToPixels(stored.width) == px.width() && ToPixels(stored.height) == px.height() &&
        ToPixels(stored.left) == px.x() && ToPixels(stored.top) == px.y())
        return stored;
    return Rect{px.x() * kTwipsPerPixel, px.y() * kTwipsPerPixel, px.width() * kTwipsPerPixel,
                px.height() * kTwipsPerPixel};
}

void QtMainWindow::SetMinimumSize(Control form, Size twips) {
    QWidget* widget = widgets_[Index(form)];
    if (widget == nullptr) return;
    // Outer size, as the core places forms: the frame the window manager adds is taken off.
    const QSize frame = widget->frameGeometry().size() - widget->size();
    widget->setMinimumSize(std::max(1, ToPixels(twips.width) - frame.width()),
                           std::max(1, ToPixels(twips.height) - frame.height()));
}

void QtMainWindow::SetDropEnabled(Control target, bool enabled) {
    dropEnabled_[Index(target)] = enabled;
}

bool QtMainWindow::IsDropEnabled(Control target) const {
    return dropEnabled_[Index(target)];
}

void QtMainWindow::ShowAlignment(const AlignmentView& view) {
    ShowAlignmentWindow(this, view);
}

void QtMainWindow::ShowForm(Control form) {
    if (QWidget* widget = widgets_[Index(form)]) {
        widget->show();
        widget->raise();
        widget->activateWindow();
    }
}

void QtMainWindow::CloseForm(Control form) {
    if (QWidget* widget = widgets_[Index(form)]) widget->hide();
}

bool QtMainWindow::IsFormShown(Control form) const {
    QWidget* widget = widgets_[Index(form)];
    return widget != nullptr && widget->isVisible();
}

void QtMainWindow::StopSpinRepeats() {
    for (Control c : {Control::updCutoff1, Control::UpdCutoff2})
        if (auto* spin = qobject_cast<UpDown*>(widgets_[Index(c)])) spin->stopRepeat();
}

void QtMainWindow::ShowMessage(std::string_view text) {
    StopSpinRepeats();
    QMessageBox::information(this, kTitle, DisplayText(text));
}

bool QtMainWindow::AskYesNo(std::string_view text) {
    StopSpinRepeats();
    return QMessageBox::question(this, kTitle, DisplayText(text),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

std::string QtMainWindow::OpenFileDialog(const std::string& startFolder) {
    // FASTA files plain or compressed, in every format the reader unpacks.
    const QString fasta = QStringLiteral("*.fasta *.fa *.fas *.fna *.gz *.xz *.bz2 *.zst");
    const QString path = QFileDialog::getOpenFileName(
        this, QStringLiteral("Open"), QString::fromStdString(startFolder),
        QStringLiteral("FASTA files and sessions (%1 *.kvr);;FASTA files (%1);;Sessions (*.kvr);;"
                       "All files (*)")
            .arg(fasta));
    return path.toStdString();
}

std::string QtMainWindow::SaveFileDialog(const std::string& startFolder, std::string_view filter) {
    const QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("Save As"), QString::fromStdString(startFolder), DisplayText(filter));
    return path.toStdString();
}

std::string QtMainWindow::AskText(std::string_view question, const std::string& initial) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(this, QStringLiteral("KVRv1"), DisplayText(question),
                              QLineEdit::Normal, QString::fromStdString(initial), &ok);
    return ok ? text.toStdString() : std::string();
}

void QtMainWindow::ShowTable(std::string_view title, const std::vector<std::string>& columns,
                             const std::vector<std::vector<std::string>>& rows) {
    StopSpinRepeats();
    ShowTableDialog(this, title, columns, rows);
}

void QtMainWindow::SetBusy(bool busy) {
    if (busy == busy_) return;
    busy_ = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void QtMainWindow::ProcessEvents() {
    QCoreApplication::processEvents();
}

Size QtMainWindow::ScreenSize() const {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    return Size{screen.width() * kTwipsPerPixel, screen.height() * kTwipsPerPixel};
}

void QtMainWindow::PopUpMenu(Control menu) {
    if (QMenu* popup = menus_[Index(menu)]) popup->exec(QCursor::pos());
}

void QtMainWindow::Quit() {
    std::fflush(nullptr);
    ::_exit(0);  // at once: no further events, no running loop finished
}

}  // namespace kvr
