// Report printers writing PDF files, windows that record the messages they
// receive, and report runs that draw a known text on every page.
#pragma once

#include "platform/Application.h"
#include "platform/Controls.h"
#include "platform/Messages.h"
#include "platform/Printers.h"
#include "platform/SysUtils.h"
#include "report/RpPrntr.h"
#include "report/RpReport.h"
#include "tests/report/RpRig.h"
#include "tests/support/PdfTools.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <regex>
#include <string>
#include <vector>

namespace prnrig {

// A report in millimetres on portrait A4 with Margin mm on every side.
inline std::unique_ptr<TRpReport> NewA4ReportInMillimetres(int Margin)
{
    auto R = std::make_unique<TRpReport>(nullptr);
    R->SetUnits(TRpUnit::MM);
    R->Page()->SetPaperSize(TRpPaperSize::A4);
    R->Page()->SetOrientation(poPortrait);
    R->Page()->SetTopMargin(Margin);
    R->Page()->SetBottomMargin(Margin);
    R->Page()->SetLeftMargin(Margin);
    R->Page()->SetRightMargin(Margin);
    return R;
}

inline std::string Artifact(const std::string& Name) { return std::string(OZ_TEST_ARTIFACTS) + "/" + Name; }

// The application's printer prints to a PDF file in a folder of the test's
// own; a report printer made afterwards takes the file over. Put back as it
// was at the end.
class PdfPrinting : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureApplication();
        Printer()->SetFileName(Pdf);
        Printer()->SetResolution(0);
    }
    void TearDown() override
    {
        Printer()->SetFileName("");
        Printer()->SetResolution(0);
        Printer()->ResetDeviceMode();
    }

    rprig::TTempDir Dir;
    const std::string Pdf = Dir / "report.pdf";
};

// A window that keeps every message it is handed.
class TMessageWindow : public TWinControl, public TMessageTarget {
public:
    explicit TMessageWindow(TComponent* AOwner = nullptr) : TWinControl(AOwner) {}
    void WndProc(TMessage& Message) override
    {
        Received.push_back(Message);
        Message.Result = 1;
    }
    // The WParams of the messages numbered Msg.
    std::vector<intptr_t> Params(uint32_t Msg) const
    {
        std::vector<intptr_t> P;
        for (const TMessage& M : Received)
            if (M.Msg == Msg)
                P.push_back(M.WParam);
        return P;
    }
    std::vector<TMessage> Received;
};

// A run of Pages pages; page n shows "Page<n>" an inch from the left and top
// edges of the paper.
inline void RunPages(TRpPrinter& P, int Pages)
{
    P.BeginDoc();
    for (int N = 1; N <= Pages; ++N) {
        P.NewPage();
        TCanvas* C = P.GetCanvas();
        C->Font()->SetName("Arial");
        C->Font()->SetSize(12);
        C->TextOut(P.XPos(254), P.YPos(254), "Page" + std::to_string(N));
        C->Rectangle(P.XPos(254), P.YPos(400), P.XPos(1000), P.YPos(600));
    }
    P.EndDoc();
}

// The left edges (points) of the words of a PDF that begin with Prefix, in
// page order.
inline std::vector<std::pair<std::string, double>> Words(const std::string& Pdf, const std::string& Prefix)
{
    const std::string Bbox = RunTool("pdftotext -bbox '" + Pdf + "' - 2>&1");
    std::vector<std::pair<std::string, double>> Found;
    const std::regex Word(R"re(<word xMin="([\d.]+)"[^>]*>([^<]*)</word>)re");
    for (auto It = std::sregex_iterator(Bbox.begin(), Bbox.end(), Word); It != std::sregex_iterator(); ++It)
        if ((*It)[2].str().rfind(Prefix, 0) == 0)
            Found.emplace_back((*It)[2].str(), std::stod((*It)[1].str()));
    return Found;
}

}  // namespace prnrig
