#include "ui/Edit.h"

#include "ui/HandlerCall.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QValidator>

#include <algorithm>

// QLineEdit's own limit would also cut texts the program sets, so the limit
// is a validator that acts only on changes made by operator input and cuts
// the characters just inserted before the cursor.
class TOperatorInputLimit : public QValidator {
public:
    explicit TOperatorInputLimit(TEdit* edit) : QValidator(edit), edit_(edit) {}

    State validate(QString& input, int& pos) const override
    {
        if (edit_->operatorInput_ == 0) return Acceptable;
        const qsizetype room = std::max<qsizetype>(edit_->maxLength_, edit_->lengthBefore_);
        const qsizetype excess = input.size() - room;
        if (excess <= 0) return Acceptable;
        const qsizetype cut = std::clamp<qsizetype>(pos - excess, 0, input.size() - excess);
        input.remove(cut, excess);
        pos = int(cut);
        return Acceptable;
    }

private:
    TEdit* edit_;
};

TEdit::TEdit(QWidget* parent, const QString& text, int maxLength) : QLineEdit(parent), maxLength_(maxLength)
{
    setValidator(new TOperatorInputLimit(this));
    connect(this, &QLineEdit::textChanged, this, [this](const QString& now) { lengthBefore_ = now.size(); });
    setText(text);
}

bool TEdit::event(QEvent* event)
{
    // Keys, mouse (middle-button paste), drops, input methods and the context
    // menu's paste all arrive as events of this field.
    ++operatorInput_;
    struct Leave {
        int& depth;
        ~Leave() { --depth; }
    } leave{operatorInput_};
    return QLineEdit::event(event);
}

void TEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    switch (event->reason()) {
    case Qt::OtherFocusReason:
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
    case Qt::ShortcutFocusReason: selectAll(); break;
    default:  // mouse, window activation, popups, menu bar
        break;
    }
}

void TEdit::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && OnKeyPress) {
        // The handler's changes are the program's, not the operator's.
        const int depth = operatorInput_;
        operatorInput_ = 0;
        struct Restore {
            int& depth;
            int saved;
            ~Restore() { depth = saved; }
        } restore{operatorInput_, depth};
        CallHandler([this] {
            char key = '\r';
            OnKeyPress(this, key);
        });
        event->accept();  // the commit is the whole effect of Enter
        return;
    }
    QLineEdit::keyPressEvent(event);
}
