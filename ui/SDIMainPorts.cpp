// The port list of the main window: which ports it offers and which device
// stands behind each. Adapters come and go while the tool runs, so the list
// is read again whenever it opens; that refresh chooses no port.

#include "ui/SDIMain.h"

#include "ui/ComAvailable.h"
#include "ui/ComboBox.h"
#include "ui/StatusBarLoan.h"

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
    portListStatus_->Show(Schnittstelle->itemData(Index, Qt::ToolTipRole).toString());
}

void TSDIAppForm::SchnittstelleCloseUp(QObject* /*Sender*/)
{
    portListStatus_->GiveBack();
}
