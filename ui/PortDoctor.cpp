#include "ui/PortDoctor.h"

#include <QStatusBar>

void TPortDoctor::OpenFailed(const std::string& comName, std::int32_t code, std::int32_t winCode, int language)
{
    advice_ = ExaminePortFailure(comName, code, winCode);
    if (advice_)
        Show(language);
    else
        Forget();
}

void TPortDoctor::PortChosen()
{
    Forget();
}

void TPortDoctor::Forget()
{
    if (Showing()) statusBar_->clearMessage();
    advice_.reset();
    shown_.clear();
}

void TPortDoctor::LanguageChanged(int language)
{
    if (Showing()) Show(language);
}

void TPortDoctor::Show(int language)
{
    shown_ = AdviceText(*advice_, language);
    statusBar_->showMessage(shown_);
}

bool TPortDoctor::Showing() const
{
    return advice_ && statusBar_->currentMessage() == shown_;
}
