#include "chart/RpChart.h"

#include "chart/ChartRegistry.h"
#include "platform/Filer.h"
#include "platform/Metafile.h"

#include <cmath>
#include <memory>

namespace {

// The report a printable is placed on: up its parents, or the one it
// prints for.
TCustomRpReport* ReportOf(const TRpPrintable* Printable)
{
    for (TWinControl* P = Printable->Parent(); P; P = P->Parent())
        if (auto* R = dynamic_cast<TCustomRpReport*>(P))
            return R;
    return Printable->HostReport();
}

const bool Registered = (RegisterRpChartClasses(), true);

}  // namespace

void RegisterRpChartClasses()
{
    RegisterClasses({TRpDBChart::StaticClass(), TRpChart::StaticClass()});
}

// ------------------------------------------------------------- TRpDBChart

TRpDBChart::TRpDBChart(TComponent* AOwner) : TCustomDBChart(AOwner)
{
    SetColor(clWhite);
    SetBevelOuter(bvNone);
    SetBufferedDisplay(false);
    SetBounds(-1, -1, 1, 1);
    SetVisible(false);
}

TRpChart* TRpDBChart::ParentRpChart() const
{
    return dynamic_cast<TRpChart*>(Parent());
}

TRect TRpDBChart::GetRectangle()
{
    const TWinControl* P = Parent();
    if (!P)
        return ClientRect();
    double Factor = 1;
    if (const TRpChart* Owner = ParentRpChart())
        Factor = 100.0 / Owner->ReportZoom();
    const TRect Client = P->ClientRect();
    return Rect(0, 0, static_cast<int>(std::lround((Client.Right - Client.Left) * Factor)),
                static_cast<int>(std::lround((Client.Bottom - Client.Top) * Factor)));
}

void TRpDBChart::Invalidate()
{
    if (TWinControl* P = Parent())
        P->Invalidate();
}

void TRpDBChart::Paint()
{
    TRpChart* Owner = ParentRpChart();
    TCanvas* Target = Owner ? Owner->DesignCanvas() : nullptr;
    if (!Target)
        return;
    const TRect R = GetRectangle();
    TRect Dest = Owner->ClientRect();
    Dest.Right += 2;
    Dest.Bottom += 2;
    if (Owner->ChPrintMethod() == qtmBitmap) {
        const std::unique_ptr<TBitmap> Picture = ChCreateBitmap(clWhite, R, pfDevice);
        Target->StretchDraw(Dest, Picture.get());
    } else {
        const std::unique_ptr<TMetafile> Picture = ChCreateMetafile(true, R);
        Target->StretchDraw(Dest, Picture.get());
    }
}

// --------------------------------------------------------------- TRpChart

TRpChart::TRpChart(TComponent* AOwner) : TRpPrintable(AOwner)
{
    // The embedded chart comes from the form (or from whoever builds the
    // report in code). The chart fills the whole printable, so the design
    // view draws no white over it before the corners and the frame.
    SetTransparent(true);
    SetWidth(350);
    SetHeight(200);
    // A component made on a form open in the designer is designed too.
    TComponent* Form = Owner();
    if (Form == nullptr || !Form->ComponentState().Contains(csDesigning) ||
        Form->ComponentState().Contains(csLoading))
        return;
    auto* Inner = new TRpDBChart(Form);
    Inner->SetParent(this);
    Inner->SetName(ChGetUniqueName(Form, "RpDBChart"));
    Inner->Title()->Text()->Clear();
    Inner->Title()->Text()->Add("TRpChart");
}

void TRpChart::GetChildren(const TGetChildProc& Proc, TComponent* Root)
{
    TRpPrintable::GetChildren(Proc, Root);
    if (TRpDBChart* C = GetChart(); C && C->Owner() != this)
        Proc(C);
}

void TRpChart::ReadState(TReader* Reader)
{
    // (Forms here have no inheritance, so only a chart being read stays.)
    if (TRpDBChart* Old = GetChart(); Old && !Old->ComponentState().Contains(csLoading))
        delete Old;
    TRpPrintable::ReadState(Reader);
}

TRpDBChart* TRpChart::GetChart() const
{
    if (ControlCount() == 0)
        return nullptr;
    return dynamic_cast<TRpDBChart*>(Controls(0));
}

void TRpChart::SetChart(TCustomChart* Source)
{
    TRpDBChart* Target = GetChart();
    if (!Target || !Source)
        return;
    Target->FreeAllSeries();
    Target->Assign(Source);
    for (int i = 0; i < Source->SeriesCount(); ++i)
        CloneChartSeries(Source->Series(i), Target);
    for (int i = 0; i < Source->Tools().Count(); ++i) {
        TChCustomTool* Tool = Source->Tools()[i];
        auto* Copy = dynamic_cast<TChCustomTool*>(Tool->ClassType()->Create(Owner()));
        if (!Copy)
            continue;
        Copy->Assign(Tool);
        Copy->SetParentChart(Target);
    }
}

void TRpChart::SetPrintMethod(TChQuickMethod Value)
{
    if (Value == FPrintMethod)
        return;
    FPrintMethod = Value;
    Invalidate();
}

int TRpChart::ReportZoom() const
{
    const TCustomRpReport* Report = ReportOf(this);
    const int Zoom = Report ? Report->Zoom() : 100;
    return Zoom > 0 ? Zoom : 100;
}

void TRpChart::Print(int OfsX, int OfsY)
{
    TRpDBChart* C = GetChart();
    TRpPrinter* P = ActivePrinter();
    TCanvas* Page = P ? P->GetCanvas() : nullptr;
    if (C && Page) {
        C->RefreshData();
        TRect PaperRect = PrintRect(OfsX, OfsY);
        TRect ChartRect = C->GetRectangle();
        if (OnPrint)
            OnPrint(this, PaperRect, ChartRect);
        if (FPrintMethod == qtmBitmap) {
            const std::unique_ptr<TBitmap> Picture = C->ChCreateBitmap(clWhite, ChartRect, pfDevice);
            Page->StretchDraw(PaperRect, Picture.get());
        } else {
            const std::unique_ptr<TMetafile> Picture = C->ChCreateMetafile(true, ChartRect);
            Page->StretchDraw(PaperRect, Picture.get());
        }
    }
    TRpPrintable::Print(OfsX, OfsY);
}

void TRpChart::Paint()
{
    if (TRpDBChart* C = GetChart())
        C->Paint();
    TRpPrintable::Paint();
}
