#include "ui/MessageBox.h"

#include "portlist/AnsiText.h"
#include "ui/Application.h"

#include <QMessageBox>

void ShowMessage(const std::string& text)
{
    if (TApplication* app = TApplication::Instance()) {
        app->ErrorDisplay().ShowNotice(QStringFromAnsi(text));
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QCoreApplication::applicationName(), QStringFromAnsi(text), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
