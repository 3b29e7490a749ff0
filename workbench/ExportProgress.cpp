#include "workbench/ExportProgress.h"

#include "platform/Application.h"
#include "platform/ComCtrls.h"
#include "platform/Controlbuilder.h"
#include "platform/DialogHook.h"
#include "platform/StdCtrls.h"
#include "platform/SysUtils.h"

#include <algorithm>

TdlgExportProgress::TdlgExportProgress(TComponent* Owner, const std::string& SourceName) : TForm(Owner)
{
    SetName("dlgExportProgress");
    SetCaption("Exporting");
    SetBorderStyle(bsDialog);
    SetFormStyle(fsStayOnTop);
    SetPosition(poMainFormCenter);
    SetClientWidth(300);
    SetClientHeight(104);

    lblSource = NewControl<TLabel>(this, this, "lblSource", "Exporting " + ExtractFileName(SourceName), 12, 10);
    pbExport = NewControl<TProgressBar>(this, this, "pbExport", "", 12, 32, 276, 16);
    pbExport->SetMin(0);
    pbExport->SetMax(100);
    lblPercent = NewControl<TLabel>(this, this, "lblPercent", "0%", 12, 54);
    btnCancel = NewControl<TButton>(this, this, "btnCancel", "Cancel", 112, 70, 75, 25);
    btnCancel->SetCancel(true);
    btnCancel->OnClick = [this](TObject* Sender) { btnCancelClick(Sender); };

    DoCreate();
    Show();
    Application->ProcessMessages();
}

bool TdlgExportProgress::Step(int64_t Done, int64_t Total)
{
    const int Percent =
        Total > 0 ? static_cast<int>(std::clamp<int64_t>(Done, 0, Total) * 100 / Total) : 100;
    if (Percent != FPercent) {
        FPercent = Percent;
        pbExport->SetPosition(Percent);
        lblPercent->SetCaption(IntToStr(Percent) + "%");
        TDialogRequest Request;
        Request.Kind = TDialogKind::Progress;
        Request.Dialog = this;
        Request.Name = Name();
        Request.Caption = Caption();
        Request.Text = IntToStr(Percent);
        TDialogAnswer Answer;
        if (AnswerDialog(Request, Answer) && Answer.ModalResult == mrCancel)
            FCancelled = true;
    }
    Application->ProcessMessages();
    return !FCancelled;
}

void TdlgExportProgress::btnCancelClick(TObject* Sender)
{
    FCancelled = true;
}
