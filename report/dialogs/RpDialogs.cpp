#include "report/dialogs/RpDialogs.h"

#include "platform/Application.h"
#include "report/RpPrintSetup.h"
#include "report/RpProgressListener.h"
#include "report/dialogs/RpExprEditor.h"
#include "report/dialogs/RpLabelEditor.h"
#include "report/dialogs/RpPreviewDlg.h"
#include "report/dialogs/RpPrgres.h"
#include "report/dialogs/RpPrnSu.h"

#include <memory>

void RegisterReportDialogs()
{
    RegisterStandardPreview();
    RegisterProgressWindow([] { return std::make_unique<TRpProgressForm>(Application); });
    RegisterPrintSetupDialog(RpExecutePrintDialog);
    RegisterPrintableEditorClass("TRpLabelEditor", [](TRpPrintable* P) -> std::unique_ptr<TRpPrintableEditor> {
        auto* Label = dynamic_cast<TRpCustomLabel*>(P);
        return Label ? std::make_unique<TRpLabelEditor>(Label) : nullptr;
    });
    RegisterPrintableEditorClass("TRpExprEditor", [](TRpPrintable* P) -> std::unique_ptr<TRpPrintableEditor> {
        auto* Expr = dynamic_cast<TRpExpr*>(P);
        return Expr ? std::make_unique<TRpExprEditor>(Expr) : nullptr;
    });
}
