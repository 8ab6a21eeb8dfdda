#include "ui/FrameLabel.h"

#include <QPainter>

namespace {
constexpr char16_t kControlPictures = 0x2400;  // ␀ .. ␟, then ␡ for DEL
constexpr char16_t kDeletePicture = 0x2421;
}  // namespace

QString VisibleControlCharacters(const QString& text)
{
    QString shown = text;
    for (QChar& c : shown) {
        if (c.unicode() < 0x20)
            c = QChar(char16_t(kControlPictures + c.unicode()));
        else if (c.unicode() == 0x7F)
            c = QChar(kDeletePicture);
    }
    return shown;
}

TFrameLabel::TFrameLabel(QWidget* parent)
    : QLabel(parent)
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
