#include "gui/dnc/dnc_text.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

namespace {

const QString kNoFile = QStringLiteral("No File Loaded");
constexpr int kMargin = 4;

} // namespace

TDncText::TDncText(QWidget* parent) : QAbstractScrollArea(parent)
{
    setObjectName(QStringLiteral("DncText"));
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setMinimumSize(10, 20);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    updateScrollBars();
}

void TDncText::SetProgram(corvane::dnc::ProgramLines lines)
{
    lines_ = std::move(lines);
    loaded_ = true;
    anchor_ = current_ = 0;
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    updateScrollBars();
    viewport()->update();
}

std::size_t TDncText::LineCount() const
{
    return loaded_ ? lines_.count() : 1;
}

QString TDncText::Line(std::size_t n) const
{
    if (!loaded_)
        return n == 0 ? kNoFile : QString();
    const std::string_view line = lines_.line(n);
    // Programs are ASCII; anything else shows as the replacement character, never garbage.
    return QString::fromUtf8(line.data(), qsizetype(line.size()));
}

std::size_t TDncText::SelectionFirst() const
{
    return std::min(anchor_, current_);
}

std::size_t TDncText::SelectionLast() const
{
    return std::max(anchor_, current_);
}

std::size_t TDncText::TopLine() const
{
    return std::size_t(verticalScrollBar()->value());
}

void TDncText::SelectLines(std::size_t anchor, std::size_t current)
{
    const std::size_t last = LineCount() ? LineCount() - 1 : 0;
    anchor_ = std::min(anchor, last);
    current_ = std::min(current, last);
    // Keep the current line in sight.
    const auto top = std::size_t(verticalScrollBar()->value());
    const auto shown = std::size_t(std::max(visibleLines(), 1));
    if (current_ < top)
        verticalScrollBar()->setValue(int(current_));
    else if (current_ >= top + shown)
        verticalScrollBar()->setValue(int(current_ - shown + 1));
    viewport()->update();
}

void TDncText::CopySelection() const
{
    if (!loaded_ || lines_.count() == 0)
        return;
    QString text;
    for (std::size_t n = SelectionFirst(); n <= SelectionLast(); ++n) {
        text += Line(n);
        text += QLatin1Char('\n');
    }
    QApplication::clipboard()->setText(text);
}

int TDncText::lineHeight() const
{
    return std::max(fontMetrics().lineSpacing(), 1);
}

int TDncText::visibleLines() const
{
    return viewport()->height() / lineHeight();
}

void TDncText::updateScrollBars()
{
    const auto count = qint64(LineCount());
    const qint64 maximum = std::max<qint64>(0, count - visibleLines());
    verticalScrollBar()->setRange(0, int(std::min<qint64>(maximum, INT_MAX)));
    verticalScrollBar()->setPageStep(std::max(visibleLines(), 1));
    verticalScrollBar()->setSingleStep(1);
    const qint64 longest = loaded_ ? qint64(lines_.longestLine()) : kNoFile.size();
    const qint64 width = longest * fontMetrics().horizontalAdvance(QLatin1Char('M')) + 2 * kMargin;
    horizontalScrollBar()->setRange(
        0, int(std::clamp<qint64>(width - viewport()->width(), 0, INT_MAX)));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setSingleStep(fontMetrics().horizontalAdvance(QLatin1Char('M')));
}

void TDncText::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void TDncText::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    const int height = lineHeight();
    const int ascent = fontMetrics().ascent();
    const int x = kMargin - horizontalScrollBar()->value();
    const std::size_t top = TopLine();
    const bool selecting = loaded_ && lines_.count() > 0;
    for (int row = 0; row <= visibleLines(); ++row) {
        const std::size_t n = top + std::size_t(row);
        if (n >= LineCount())
            break;
        const QRect band(0, row * height, viewport()->width(), height);
        const bool selected = selecting && n >= SelectionFirst() && n <= SelectionLast();
        if (selected)
            painter.fillRect(band, palette().highlight());
        painter.setPen(selected ? palette().highlightedText().color() : palette().text().color());
        painter.drawText(x, band.top() + ascent, Line(n));
    }
}

std::size_t TDncText::lineAt(int y) const
{
    return TopLine() + std::size_t(std::max(y, 0) / lineHeight());
}

void TDncText::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const std::size_t n = lineAt(int(event->position().y()));
    SelectLines(event->modifiers() & Qt::ShiftModifier ? anchor_ : n, n);
}

void TDncText::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton)
        SelectLines(anchor_, lineAt(int(event->position().y())));
}

void TDncText::moveCurrent(long long to, bool extend)
{
    const long long last = (long long)LineCount() - 1;
    const auto n = std::size_t(std::clamp(to, 0LL, std::max(last, 0LL)));
    SelectLines(extend ? anchor_ : n, n);
}

void TDncText::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Copy)) {
        CopySelection();
        return;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        SelectLines(0, LineCount() ? LineCount() - 1 : 0);
        return;
    }
    const bool extend = event->modifiers() & Qt::ShiftModifier;
    const auto current = (long long)current_;
    const long long page = std::max(visibleLines(), 1);
    switch (event->key()) {
    case Qt::Key_Up:
        moveCurrent(current - 1, extend);
        return;
    case Qt::Key_Down:
        moveCurrent(current + 1, extend);
        return;
    case Qt::Key_PageUp:
        moveCurrent(current - page, extend);
        return;
    case Qt::Key_PageDown:
        moveCurrent(current + page, extend);
        return;
    case Qt::Key_Home:
        if (event->modifiers() & Qt::ControlModifier)
            moveCurrent(0, extend);
        else
            horizontalScrollBar()->setValue(0);
        return;
    case Qt::Key_End:
        if (event->modifiers() & Qt::ControlModifier)
            moveCurrent((long long)LineCount() - 1, extend);
        return;
    default:
        QAbstractScrollArea::keyPressEvent(event);
    }
}
