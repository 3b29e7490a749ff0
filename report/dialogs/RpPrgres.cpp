#include "report/dialogs/RpPrgres.h"

#include "platform/Application.h"
#include "platform/SysUtils.h"
#include "report/Rp4const.h"
#include "report/RpPrntr.h"

TRpProgressForm::TRpProgressForm(TComponent* AOwner) : TForm(AOwner)
{
    SetName("RpProgressForm");
    SetCaption(LoadResString(SRpPrintingProgress));
    SetBorderStyle(bsDialog);
    SetFormStyle(fsStayOnTop);
    SetPosition(poScreenCenter);
    SetClientWidth(149);
    SetClientHeight(97);

    Info = new TLabel(this);
    Info->SetName("Info");
    Info->SetParent(this);
    Info->SetAutoSize(false);
    Info->SetAlignment(taCenter);
    Info->SetBounds(0, 44, 145, 13);
    Info->SetCaption("");

    CancelButton = new TButton(this);
    CancelButton->SetName("CancelButton");
    CancelButton->SetParent(this);
    CancelButton->SetCaption(LoadResString(SRpCancel));
    CancelButton->SetBounds(36, 60, 75, 25);
    CancelButton->OnClick = [this](TObject* Sender) { CancelButtonClick(Sender); };

    Gauge = new TProgressBar(this);
    Gauge->SetName("Gauge");
    Gauge->SetParent(this);
    Gauge->SetBounds(16, 18, 114, 16);
    Gauge->SetMin(0);
    Gauge->SetMax(100);
    DoCreate();
}

void TRpProgressForm::PrintStarted(TRpPrinter* Printer)
{
    FRpPrinter = Printer;
    Show();
}

void TRpProgressForm::ShowProgress(int32_t Percent)
{
    if (!FRpPrinter || Percent % 5 != 0)
        return;
    Gauge->SetPosition(Percent);
    Info->SetCaption(IntToStr(Percent) + "% " + LoadResString(SRpCompleted));
    Application->ProcessMessages();
}

void TRpProgressForm::PrintEnded()
{
    FRpPrinter = nullptr;
    Hide();
}

void TRpProgressForm::CancelButtonClick(TObject* Sender)
{
    if (FRpPrinter)
        FRpPrinter->Cancel();
}
