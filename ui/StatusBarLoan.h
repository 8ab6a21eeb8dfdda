#pragma once
// The status bar lent to the port list while it is open: the entry under the
// highlight names its device there. Whatever else the status bar shows (the
// download tally, the port doctor's advice, a hint) is its news; when the
// list closes the news shows again, as it stands by then.

#include <QMetaObject>
#include <QString>

class QStatusBar;

class TStatusBarLoan {
public:
    // Follows everything anyone else shows in `statusBar` from now on.
    explicit TStatusBarLoan(QStatusBar* statusBar);
    ~TStatusBarLoan();
    TStatusBarLoan(const TStatusBarLoan&) = delete;
    TStatusBarLoan& operator=(const TStatusBarLoan&) = delete;

    // Shows the highlighted entry's description; an empty one clears the bar.
    void Show(const QString& description);
    // The list has closed: the news again.
    void GiveBack();

private:
    void Put(const QString& text);

    QStatusBar* statusBar_;
    QMetaObject::Connection following_;
    QString news_;
    bool lent_ = false;
    bool putting_ = false;  // a change of our own is under way
};
