// Recorded runs with known words on known pages, and the preview window on
// them with the dialog hook answering its questions.
#pragma once

#include "platform/DialogHook.h"
#include "platform/Forms.h"
#include "report/dialogs/RpPreviewDlg.h"
#include "report/dialogs/RpSearchDlg.h"
#include "tests/report/PrinterRig.h"
#include "tests/support/ProcessEvents.h"
#include "tests/support/Components.h"

#include <functional>
#include <map>
#include <memory>
#include <string>

namespace prevrig {

// Pages recorded at the screen's resolution on A4; page n shows "Page<n>"
// and the words Words[n] (when given).
inline void RunWords(TRpPrinter& P, int Pages, const std::map<int, std::string>& Words = {})
{
    P.SetPaperSize(TRpPaperSize::A4);
    P.SetOrientation(poPortrait);
    P.SetDestination(rpdMetafile);
    P.BeginDoc();
    for (int N = 1; N <= Pages; ++N) {
        P.NewPage();
        TCanvas* C = P.GetCanvas();
        C->Font()->SetName("Arial");
        C->Font()->SetSize(12);
        C->TextOut(P.XPos(254), P.YPos(254), "Page" + std::to_string(N));
        if (const auto It = Words.find(N); It != Words.end())
            C->TextOut(P.XPos(254), P.YPos(500), It->second);
        C->Rectangle(P.XPos(254), P.YPos(700), P.XPos(1000), P.YPos(900));
    }
    P.EndDoc();
}

// Answers the dialogs of one kind with Answer until the fixture ends.
class Answering : public prnrig::PdfPrinting {
protected:
    void TearDown() override
    {
        SetDialogAnswerer(nullptr);
        prnrig::PdfPrinting::TearDown();
    }
    void Answer(std::function<bool(const TDialogRequest&, TDialogAnswer&)> Answerer)
    {
        SetDialogAnswerer(std::move(Answerer));
    }
    // The search dialog gets Text and the case flag; Search (or Cancel).
    void AnswerSearch(const std::string& Text, bool CaseSensitive, bool Cancel = false)
    {
        Answer([=](const TDialogRequest& R, TDialogAnswer& A) {
            auto* D = dynamic_cast<TSearchDlg*>(R.Dialog);
            if (!D)
                return false;
            Find<TEdit>(D, "Edit1")->SetText(Text);
            Find<TCheckBox>(D, "CheckBox1")->SetChecked(CaseSensitive);
            Find<TSpeedButton>(D, Cancel ? "SpeedButton1" : "SpeedButton2")->Click();
            A.ModalResult = mrOk;
            return true;
        });
    }
};

}  // namespace prevrig
