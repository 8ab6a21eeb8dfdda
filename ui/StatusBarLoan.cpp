#include "ui/StatusBarLoan.h"

#include <QStatusBar>

TStatusBarLoan::TStatusBarLoan(QStatusBar* statusBar) : statusBar_(statusBar), news_(statusBar->currentMessage())
{
    following_ = QObject::connect(statusBar_, &QStatusBar::messageChanged, [this](const QString& text) {
        if (!putting_) news_ = text;
    });
}

TStatusBarLoan::~TStatusBarLoan()
{
    QObject::disconnect(following_);
}

void TStatusBarLoan::Show(const QString& description)
{
    lent_ = true;
    Put(description);
}

void TStatusBarLoan::GiveBack()
{
    if (!lent_) return;
    lent_ = false;
    if (statusBar_->currentMessage() != news_) Put(news_);
}

void TStatusBarLoan::Put(const QString& text)
{
    putting_ = true;
    if (text.isEmpty())
        statusBar_->clearMessage();
    else
        statusBar_->showMessage(text);
    putting_ = false;
}
