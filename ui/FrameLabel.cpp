#include "ui/FrameLabel.h"

#include <QPainter>

namespace {
// Glyphs the window's font (DejaVu Sans) has and that stay legible at the
// frame display's small size: the frame reads «payload»↵. The font has no
// control pictures (U+2400 block), which would be drawn as empty boxes.
constexpr char16_t kStxSymbol = 0x00AB;  // «
constexpr char16_t kEtxSymbol = 0x00BB;  // »
constexpr char16_t kCrSymbol = 0x21B5;   // ↵
constexpr char16_t kDel = 0x7F;
}  // namespace

QString VisibleControlCharacters(const QString& text)
{
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case 0x02: shown += QChar(kStxSymbol); break;
        case 0x03: shown += QChar(kEtxSymbol); break;
        case 0x0D: shown += QChar(kCrSymbol); break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == kDel)  // any other: caret notation, ^@ .. ^_ and ^?
                shown += QLatin1Char('^') + QChar(char16_t(c.unicode() ^ 0x40));
            else
                shown += c;
        }
    }
    return shown;
}

TFrameLabel::TFrameLabel(QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
}

void TFrameLabel::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);  // frame only; the background is filled by the widget
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    const QRect room = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    const QString shown = fontMetrics().elidedText(VisibleControlCharacters(text()), Qt::ElideRight, room.width());
    painter.drawText(room, int(alignment()), shown);
}
