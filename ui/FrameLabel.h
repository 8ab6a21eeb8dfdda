#pragma once
// The frame display: its caption is the frame's bytes as characters (STX,
// ETX and CR included, so the text is the frame itself), and it draws the
// control characters as visible symbols, STX « ETX » CR ↵ (any other in caret
// notation, ^A), so the operator sees where the frame begins and ends.

#include <QLabel>

// The caption as drawn: every control character replaced by its symbol.
QString VisibleControlCharacters(const QString& text);

class TFrameLabel : public QLabel {
    Q_OBJECT
public:
    explicit TFrameLabel(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};
