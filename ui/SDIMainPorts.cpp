// The port list of the main window: which ports it offers and which device
// stands behind each. Adapters come and go while the tool runs, so the list
// is read again whenever it opens; that refresh chooses no port.

#include "ui/SDIMain.h"

#include "ui/ComAvailable.h"
#include "ui/ComboBox.h"

#include <QStatusBar>

void TSDIAppForm::FillPortList()
{
    const QStringList ports = GetComAvailable();
    Schnittstelle->SetItems(ports, ComPortDescriptions(ports));
}

void TSDIAppForm::SchnittstelleDropDown(QObject* /*Sender*/)
{
    FillPortList();
}

void TSDIAppForm::SchnittstelleHighlight(int Index)
{
    const QString description = Schnittstelle->itemData(Index, Qt::ToolTipRole).toString();
    if (description.isEmpty())
        StatusBar->clearMessage();
    else
        StatusBar->showMessage(description);
    portHint_ = description;
}

void TSDIAppForm::SchnittstelleCloseUp(QObject* /*Sender*/)
{
    // Leave alone what someone else has shown since.
    if (!portHint_.isEmpty() && StatusBar->currentMessage() == portHint_) StatusBar->clearMessage();
    portHint_.clear();
}
