#include "platform/qt/alignment_window.h"

#include <QClipboard>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QVBoxLayout>

namespace kvr {

namespace {

// Colours of the columns whose symbols differ and of those with a gap; read by most forms of
// colour blindness as two different kinds (a warm and a cool one).
const QColor kOtherBack(0xf6, 0xc8, 0xc0), kOtherText(0xa0, 0x10, 0x00);
const QColor kGapBack(0xd0, 0xde, 0xf2), kGapText(0x30, 0x48, 0x70);
constexpr int kLinesABlock = 4;  // two rows, the match line, a blank line

QString Html(const QColor& back, const QColor& text, const char* symbol) {
    return QStringLiteral("<span style=\"background-color:%1;color:%2\">&nbsp;%3&nbsp;</span>")
        .arg(back.name(), text.name(), QString::fromLatin1(symbol));
}

}  // namespace

std::vector<SymbolRun> RowRuns(const std::string& line, const std::string& match,
                               std::size_t rowStart) {
    std::vector<SymbolRun> runs;
    const std::size_t end = std::min(line.size(), match.size());
    const auto add = [&runs](std::size_t start, std::size_t length, char kind) {
        if (length == 0) return;
        if (!runs.empty() && runs.back().kind == kind)
            runs.back().length += length;
        else
            runs.push_back({start, length, kind});
    };
    add(0, std::min(rowStart, line.size()), 'n');
    for (std::size_t c = rowStart; c < end;) {
        std::size_t run = c;
        while (run < end && match[run] == match[c]) ++run;
        add(c, run - c, match[c] == '.' || match[c] == ' ' ? match[c] : '|');
        c = run;
    }
    const std::size_t tail = std::max(end, std::min(rowStart, line.size()));
    add(tail, line.size() - tail, 'n');
    return runs;
}

AlignmentRows::AlignmentRows(std::vector<AlignmentBlock> blocks, const QFont& font, QWidget* parent)
    : QAbstractScrollArea(parent), blocks_(std::move(blocks)) {
    viewport()->setFont(font);
    setFont(font);
    const QFontMetrics metrics(font);
    charWidth_ = std::max(1, metrics.horizontalAdvance(QLatin1Char('M')));
    lineHeight_ = std::max(1, metrics.lineSpacing());
    ascent_ = metrics.ascent();
    for (const AlignmentBlock& block : blocks_)
        widest_ = std::max({widest_, block.first.size(), block.match.size(), block.second.size()});
    setFocusPolicy(Qt::StrongFocus);
    UpdateScrollBars();
}

int AlignmentRows::LineCount() const {
    return blocks_.empty() ? 0 : static_cast<int>(blocks_.size()) * kLinesABlock - 1;
}

std::string AlignmentRows::LineText(int line) const {
    if (line < 0 || line >= LineCount()) return {};
    const AlignmentBlock& block = blocks_[static_cast<std::size_t>(line / kLinesABlock)];
    switch (line % kLinesABlock) {
        case 0:
            return block.first;
        case 1:
            return block.match;
        case 2:
            return block.second;
    }
    return {};
}

int AlignmentRows::IdealWidth() const {
    return static_cast<int>(widest_) * charWidth_ + 2 * frameWidth();
}

void AlignmentRows::UpdateScrollBars() {
    const int visibleLines = std::max(1, viewport()->height() / lineHeight_);
    verticalScrollBar()->setRange(0, std::max(0, LineCount() - visibleLines));
    verticalScrollBar()->setPageStep(visibleLines);
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setRange(
        0, std::max(0, static_cast<int>(widest_) * charWidth_ - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setSingleStep(charWidth_);
}

void AlignmentRows::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void AlignmentRows::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    const int first = verticalScrollBar()->value();
    const int last = std::min(LineCount(), first + viewport()->height() / lineHeight_ + 2);
    const int left = -horizontalScrollBar()->value();
    const QColor plain = palette().color(QPalette::Text);
    linesDrawn_ = 0;
    for (int line = first; line < last; ++line) {
        const int kind = line % kLinesABlock;
        if (kind == kLinesABlock - 1) continue;
        const AlignmentBlock& block = blocks_[static_cast<std::size_t>(line / kLinesABlock)];
        const int top = (line - first) * lineHeight_;
        const std::string& text = LineText(line);
        const std::vector<SymbolRun> runs = kind == 1
                                                ? std::vector<SymbolRun>{{0, text.size(), 'n'}}
                                                : RowRuns(text, block.match, block.rowStart);
        for (const SymbolRun& run : runs) {
            const QRect box(left + static_cast<int>(run.start) * charWidth_, top,
                            static_cast<int>(run.length) * charWidth_, lineHeight_);
            if (box.right() < 0 || box.left() > viewport()->width()) continue;
            QColor ink = plain;
            if (run.kind == '.' || run.kind == ' ') {
                painter.fillRect(box, run.kind == '.' ? kOtherBack : kGapBack);
                ink = run.kind == '.' ? kOtherText : kGapText;
            }
            painter.setPen(ink);
            painter.drawText(
                box.left(), top + ascent_,
                QString::fromLatin1(text.data() + run.start, static_cast<qsizetype>(run.length)));
        }
        ++linesDrawn_;
    }
}

QWidget* ShowAlignmentWindow(QWidget* parent, const AlignmentView& view) {
    auto* window = new QWidget(parent, Qt::Window);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setObjectName(QStringLiteral("alignmentViewer"));
    window->setWindowTitle(QString::fromStdString(view.title));
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);

    auto* heading = new QLabel(QString::fromStdString(view.heading).trimmed(), window);
    heading->setTextInteractionFlags(Qt::TextSelectableByMouse);
    heading->setWordWrap(true);
    auto* legend =
        new QLabel(QStringLiteral("| the same symbol, ") + Html(kOtherBack, kOtherText, ".") +
                       QStringLiteral(" different symbols, ") + Html(kGapBack, kGapText, "-") +
                       QStringLiteral(" a gap in either sequence"),
                   window);
    auto* text = new AlignmentRows(view.blocks, fixed, window);
    text->setObjectName(QStringLiteral("alignmentText"));

    auto* copy = new QPushButton(QStringLiteral("&Copy"), window);
    auto* save = new QPushButton(QStringLiteral("&Save as FASTA..."), window);
    auto* close = new QPushButton(QStringLiteral("Close"), window);
    const std::string plain = view.text;
    QObject::connect(copy, &QPushButton::clicked, window, [plain] {
        QGuiApplication::clipboard()->setText(QString::fromStdString(plain));
    });
    const std::function<void()> saveAs = view.save;
    save->setEnabled(static_cast<bool>(saveAs));
    QObject::connect(save, &QPushButton::clicked, window, [saveAs] { saveAs(); });
    QObject::connect(close, &QPushButton::clicked, window, &QWidget::close);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), window);
    QObject::connect(escape, &QShortcut::activated, window, &QWidget::close);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(copy);
    buttons->addWidget(save);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(window);
    layout->addWidget(heading);
    layout->addWidget(legend);
    layout->addWidget(text, 1);
    layout->addLayout(buttons);

    // Wide enough for a whole block of 60 columns with its names and positions.
    const int wanted = text->IdealWidth() + text->verticalScrollBar()->sizeHint().width() +
                       layout->contentsMargins().left() + layout->contentsMargins().right();
    window->resize(std::max(wanted, 560), 540);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

}  // namespace kvr
