// The port list of the main window: which ports it offers and which device
// stands behind each. Adapters come and go while the tool runs, so the list
// is read again whenever it opens, and before typed text is completed or an
// arrow key moves the choice; that refresh chooses no port.

#include "ui/SDIMain.h"

#include "portlist/AnsiText.h"
#include "portlist/ComAvailable.h"
#include "ui/ComboBox.h"
#include "ui/StatusBarLoan.h"

void TSDIAppForm::FillPortList()
{
    const TPortEntries ports = ReadPortEntries();
    Schnittstelle->SetItems(ports.Names, ports.Descriptions);
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

void TSDIAppForm::SchnittstelleNotListed(QObject* /*Sender*/, const QString& Name)
{
    const std::string name = AnsiFromQString(Name);
    ShowStatus(
        [name](exchange::TTextLanguage language) {
            return QStringFromAnsi(
                exchange::SessionText(exchange::TSessionText::stPortUnknown, language, {{"port", name}}));
        },
        nwReport);
}
