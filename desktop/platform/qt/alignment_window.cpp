#include "platform/qt/alignment_window.h"

#include <QAbstractTextDocumentLayout>
#include <QClipboard>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace kvr {

namespace {

// Colours of the columns whose symbols differ and of those with a gap; read by most forms of
// colour blindness as two different kinds (a warm and a cool one).
constexpr const char* kOtherStyle = "background-color:#f6c8c0;color:#a01000";
constexpr const char* kGapStyle = "background-color:#d0def2;color:#304870";

QString Escaped(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toHtmlEscaped();
}

// A row's line with its symbols in the colour of their column in the match line.
QString RowHtml(const std::string& line, const std::string& match, std::size_t rowStart) {
    const std::size_t end = std::min(line.size(), match.size());
    QString html = Escaped(line.substr(0, std::min(rowStart, line.size())));
    std::size_t c = rowStart;
    while (c < end) {
        const char kind = match[c];
        std::size_t run = c;
        while (run < end && match[run] == kind) ++run;
        const QString symbols = Escaped(line.substr(c, run - c));
        if (kind == '.')
            html += QStringLiteral("<span style=\"%1\">%2</span>").arg(kOtherStyle, symbols);
        else if (kind == ' ')
            html += QStringLiteral("<span style=\"%1\">%2</span>").arg(kGapStyle, symbols);
        else
            html += symbols;
        c = run;
    }
    if (end < line.size()) html += Escaped(line.substr(end));
    return html;
}

}  // namespace

QString AlignmentHtml(const AlignmentView& view) {
    QString html = QStringLiteral("<pre>");
    for (std::size_t k = 0; k < view.blocks.size(); ++k) {
        const AlignmentBlock& block = view.blocks[k];
        if (k > 0) html += QStringLiteral("\n");
        html += RowHtml(block.first, block.match, block.rowStart) + QStringLiteral("\n");
        html += Escaped(block.match) + QStringLiteral("\n");
        html += RowHtml(block.second, block.match, block.rowStart) + QStringLiteral("\n");
    }
    return html + QStringLiteral("</pre>");
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
    auto* legend = new QLabel(
        QStringLiteral("| the same symbol, <span style=\"%1\">&nbsp;.&nbsp;</span> different "
                       "symbols, <span style=\"%2\">&nbsp;-&nbsp;</span> a gap in either sequence")
            .arg(kOtherStyle, kGapStyle),
        window);
    auto* text = new QTextBrowser(window);
    text->setObjectName(QStringLiteral("alignmentText"));
    text->setFont(fixed);
    text->setLineWrapMode(QTextEdit::NoWrap);
    text->document()->setDefaultStyleSheet(
        QStringLiteral("pre { font-family: '%1'; }").arg(fixed.family()));
    text->setHtml(AlignmentHtml(view));

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
    text->document()->adjustSize();
    const int wanted = static_cast<int>(text->document()->idealWidth()) + 2 * text->frameWidth() +
                       text->verticalScrollBar()->sizeHint().width() +
                       layout->contentsMargins().left() + layout->contentsMargins().right();
    window->resize(std::max(wanted, 560), 540);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

}  // namespace kvr
