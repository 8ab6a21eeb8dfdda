#include "ui/MessageBox.h"

#include "portlist/AnsiText.h"
#include "ui/Application.h"
#include "ui/PathText.h"

#include <QMessageBox>

void ShowMessage(const std::string& text)
{
    ShowMessageText(QStringFromAnsi(text));
}

void ShowMessageText(const QString& text)
{
    if (TApplication* app = TApplication::Instance()) {
        app->ErrorDisplay().ShowNotice(text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QCoreApplication::applicationName(), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

QString FileFailureText(const std::string& fixedText, const std::string& reason, const std::filesystem::path& folder,
                        exchange::TTextLanguage language)
{
    QString text = QStringFromAnsi(fixedText) + QStringLiteral("\n\n") + QStringFromAnsi(reason);
    if (!folder.empty())
        text += QLatin1Char('\n') + QStringFromAnsi(exchange::SessionText(exchange::TSessionText::stFolder, language)) +
                QLatin1Char(' ') + PathText(folder);
    return text;
}
