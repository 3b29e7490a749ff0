// A 200-page list report printed to a PDF file, against QPainter on a
// QPdfWriter drawing the same pages in the same process: the same texts in
// the same font at the same places on A4 at 600 dots per inch. Each
// iteration prints ours and theirs once, alternating which goes first;
// "ratio" is our time over theirs (the median of the rounds) and
// "size_ratio" our file's size over theirs.
#include "SideBySide.h"
#include "platform/Application.h"
#include "platform/Printers.h"
#include "report/RpCtrls.h"

#include <benchmark/benchmark.h>

#include <QFont>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QString>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// The layout, in millimetres.
constexpr double PageWidth = 210, PageLength = 297, Margin = 12.7;
constexpr double TitleHeight = 15, DetailHeight = 6, FooterHeight = 8;
constexpr double ColumnLeft[] = {0, 35, 75, 120};
constexpr double ColumnWidth = 60;
constexpr double LabelHeight = 5;
constexpr int Dpi = 600;
constexpr int RowsPerPage = static_cast<int>((PageLength - 2 * Margin - FooterHeight) / DetailHeight);

std::string Cell(int Record, int Column)
{
    switch (Column) {
    case 0: return "Breath " + std::to_string(Record);
    case 1: return "12:" + std::to_string(10 + Record % 50) + ":" + std::to_string(10 + Record % 47);
    case 2: return std::to_string(100 + Record % 400) + "." + std::to_string(Record % 10) + " L/min";
    default: return Record % 5 ? "within limits" : "above the alarm limit";
    }
}

// Records enough for 200 pages: the title takes room on the first.
int Records()
{
    const int FirstPage = static_cast<int>((PageLength - 2 * Margin - FooterHeight - TitleHeight) / DetailHeight);
    return FirstPage + 199 * RowsPerPage;
}

std::string TempPdf(const char* Who)
{
    return (std::filesystem::temp_directory_path() /
            ("rppdf_bench_" + std::to_string(::getpid()) + "_" + Who + ".pdf"))
        .string();
}

struct TOurs {
    std::unique_ptr<TRpReport> R;
    TRpLabel* Columns[4] = {};
    int Served = 0;

    TOurs()
    {
        R = std::make_unique<TRpReport>(nullptr);
        R->Page()->SetPaperSize(TRpPaperSize::A4);
        R->SetUnits(TRpUnit::MM);
        for (auto Set : {&TRpPage::SetTopMargin, &TRpPage::SetBottomMargin, &TRpPage::SetLeftMargin,
                         &TRpPage::SetRightMargin})
            (R->Page()->*Set)(static_cast<long double>(Margin));
        R->SetShowProgress(false);
        R->Bands()->SetHasTitle(true);
        R->Bands()->SetHasDetail(true);
        R->Bands()->SetHasPageFooter(true);
        R->Bands()->GetBand(1)->Size()->SetHeight(TitleHeight);
        R->Bands()->GetBand(4)->Size()->SetHeight(DetailHeight);
        R->Bands()->GetBand(6)->Size()->SetHeight(FooterHeight);
        auto Place = [](TRpCustomLabel* L, double Left) {
            L->Font()->SetName("Arial");
            L->Font()->SetSize(10);
            L->SetAutoSize(false);
            // Text on the paper, no box behind it: what the peer draws.
            L->SetTransparent(true);
            L->Size()->SetLeft(static_cast<long double>(Left));
            L->Size()->SetTop(0);
            L->Size()->SetWidth(ColumnWidth);
            L->Size()->SetHeight(LabelHeight);
        };
        auto* Title = R->Bands()->GetBand(1)->AddPrintable<TRpLabel>();
        Place(Title, 0);
        Title->SetCaption("Breath parameters, patient 123456");
        for (int C = 0; C < 4; ++C) {
            Columns[C] = R->Bands()->GetBand(4)->AddPrintable<TRpLabel>();
            Place(Columns[C], ColumnLeft[C]);
        }
        auto* Page = R->Bands()->GetBand(6)->AddPrintable<TRpSysData>();
        Place(Page, 0);
        Page->SetText("Page ");
        Page->SetData(rpsPageNumber);
        R->OnNeedData = [this](TObject*, bool& More) {
            More = ++Served <= Records();
            if (More)
                for (int C = 0; C < 4; ++C)
                    Columns[C]->SetCaption(Cell(Served, C));
        };
    }
    int RecordedPages()
    {
        Served = 0;
        R->Prepare();
        return R->RunPrinter()->PageCount();
    }
    void Print(const std::string& File)
    {
        Served = 0;
        Printer()->SetFileName(File);
        R->Print();
    }
};

// The same pages drawn straight on the PDF device.
void Theirs(const std::string& File)
{
    QPdfWriter W(QString::fromStdString(File));
    W.setResolution(Dpi);
    W.setPageSize(QPageSize(QPageSize::A4));
    W.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter P(&W);
    QFont Font("Arial");
    Font.setPointSize(10);
    P.setFont(Font);
    const double Ascent = QFontMetricsF(Font, &W).ascent();
    auto Px = [](double Mm) { return std::round(Mm * Dpi / 25.4); };
    auto Text = [&](double X, double Y, const std::string& S) {
        P.drawText(QPointF(Px(X), Px(Y) + Ascent), QString::fromStdString(S));
    };
    const int Total = Records();
    int Record = 1;
    for (int Page = 1; Record <= Total; ++Page) {
        if (Page > 1)
            W.newPage();
        double Y = Margin;
        if (Page == 1) {
            Text(Margin, Y, "Breath parameters, patient 123456");
            Y += TitleHeight;
        }
        while (Record <= Total && Y + DetailHeight <= PageLength - Margin - FooterHeight + 1e-9) {
            for (int C = 0; C < 4; ++C)
                Text(Margin + ColumnLeft[C], Y, Cell(Record, C));
            ++Record;
            Y += DetailHeight;
        }
        Text(Margin, PageLength - Margin - FooterHeight, "Page " + std::to_string(Page));
    }
}

void BM_ListReportToPdfVsQPdfWriter(benchmark::State& State)
{
    EnsureApplication();
    TOurs Ours;
    if (Ours.RecordedPages() != 200) {
        State.SkipWithError(("the list report takes " + std::to_string(Ours.RecordedPages()) + " pages, not 200").c_str());
        return;
    }
    const std::string OurFile = TempPdf("ours"), TheirFile = TempPdf("theirs");
    std::vector<double> Ratios;
    double OursTotal = 0, TheirsTotal = 0;
    TAlternation Alternation;
    for (auto _ : State) {
        const auto [A, B] = Alternation.Round([&] { return Seconds([&] { Ours.Print(OurFile); }); },
                                              [&] { return Seconds([&] { Theirs(TheirFile); }); });
        OursTotal += A;
        TheirsTotal += B;
        Ratios.push_back(A / B);
    }
    Printer()->SetFileName("");
    std::error_code E;
    const auto OurBytes = std::filesystem::file_size(OurFile, E);
    const auto TheirBytes = std::filesystem::file_size(TheirFile, E);
    std::filesystem::remove(OurFile, E);
    std::filesystem::remove(TheirFile, E);
    const double N = static_cast<double>(State.iterations());
    std::nth_element(Ratios.begin(), Ratios.begin() + static_cast<long>(Ratios.size() / 2), Ratios.end());
    State.counters["ours_ms"] = OursTotal / N * 1e3;
    State.counters["qpdf_ms"] = TheirsTotal / N * 1e3;
    State.counters["ratio"] = Ratios.empty() ? 0 : Ratios[Ratios.size() / 2];
    State.counters["ratio_of_sums"] = OursTotal / TheirsTotal;
    State.counters["pdf_bytes"] = static_cast<double>(OurBytes);
    State.counters["qpdf_bytes"] = static_cast<double>(TheirBytes);
    State.counters["size_ratio"] = TheirBytes ? static_cast<double>(OurBytes) / static_cast<double>(TheirBytes) : 0;
}
BENCHMARK(BM_ListReportToPdfVsQPdfWriter)->Unit(benchmark::kMillisecond)->Iterations(4);

}  // namespace
