// TDncText: the DNC view's text pane. It shows "No File Loaded" until a program is read, then
// the program's lines exactly as in the file. Only the lines in sight are drawn, straight
// from the bytes read (ProgramLines), so a program of ten million lines scrolls as lightly
// as one of ten and costs little more memory than its bytes. Read-only: lines can be
// selected (click, Shift+click, Shift+arrows, Ctrl+A) and copied (Ctrl+C).
#pragma once

#include "dnc/program_lines.h"

#include <QAbstractScrollArea>
#include <QString>

class TDncText : public QAbstractScrollArea {
public:
    explicit TDncText(QWidget* parent = nullptr);

    void SetProgram(corvane::dnc::ProgramLines lines);
    // The pane's text: "No File Loaded" until SetProgram, then the program's lines.
    std::size_t LineCount() const;
    QString Line(std::size_t n) const;

    // The selected lines, first to last (the same line when one is selected).
    std::size_t SelectionFirst() const;
    std::size_t SelectionLast() const;
    void SelectLines(std::size_t anchor, std::size_t current);
    void CopySelection() const;
    // The first line in sight.
    std::size_t TopLine() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int lineHeight() const;
    int visibleLines() const;
    void updateScrollBars();
    std::size_t lineAt(int y) const;
    void moveCurrent(long long to, bool extend);

    corvane::dnc::ProgramLines lines_;
    bool loaded_ = false;
    std::size_t anchor_ = 0;
    std::size_t current_ = 0;
};
