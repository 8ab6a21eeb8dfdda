// Tornvale: the service tool for the QD-TR25 counting and measuring module.

#include "platform/Volumes.h"
#include "ui/Application.h"
#include "ui/SDIMain.h"

#include <QPointer>

int main(int argc, char** argv)
{
    platform::FailCriticalErrorsSilently();  // before anything may touch a drive
    TApplication app(argc, argv);
    QPointer<TSDIAppForm> form = new TSDIAppForm();  // deletes itself when closed
    form->show();
    const int result = app.exec();
    delete form.data();  // still there only if the loop ended another way
    return result;
}
