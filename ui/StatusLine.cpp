#include "ui/StatusLine.h"

#include <QStatusBar>

void TStatusLine::Show(TText text, exchange::TTextLanguage language, int kind)
{
    kind_ = kind;
    text_ = std::move(text);
    shown_ = text_(language);
    statusBar_->showMessage(shown_);
}

void TStatusLine::LanguageChanged(exchange::TTextLanguage language)
{
    if (Showing()) Show(std::move(text_), language, kind_);
}

void TStatusLine::Clear()
{
    if (Showing()) statusBar_->clearMessage();
    text_ = nullptr;
    shown_.clear();
}

void TStatusLine::Clear(int kind)
{
    if (Showing(kind)) Clear();
}

bool TStatusLine::Showing() const
{
    return text_ && statusBar_->currentMessage() == shown_;
}
