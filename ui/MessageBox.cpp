#include "ui/MessageBox.h"

#include "ui/AnsiText.h"
#include "ui/Application.h"

#include <QMessageBox>

void ShowMessage(const std::string& text)
{
    const TApplication* app = TApplication::Instance();
    const QString title = app ? app->Title() : QCoreApplication::applicationName();
    QMessageBox box(QMessageBox::NoIcon, title, QStringFromAnsi(text), QMessageBox::Ok, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
