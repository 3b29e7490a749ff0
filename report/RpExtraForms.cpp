// Report forms as files: class registration, loading and freeing.
#include "report/RpExtra.h"

#include "platform/Application.h"
#include "platform/DBTables.h"
#include "platform/Dialogs.h"
#include "platform/Filer.h"
#include "platform/PublishedProps.h"
#include "platform/StdCtrls.h"
#include "report/Rp4const.h"
#include "report/RpControllerBands.h"
#include "report/RpCtrls.h"
#include "report/RpCtrlsData.h"
#include "report/RpPrntr.h"
#include "report/RpRichText.h"

#include <cmath>
#include <memory>
#include <stdexcept>

namespace {

// Native values (0.1 mm) beyond this are refused: 1 km.
constexpr long double MaxNativeValue = 1e7L;

const TIdentMap& UnitIdents()
{
    static const TIdentMap Map = TIdentMap::Names({"rpUnitMM", "rpUnitInches", "rpUnitPixels", "rpUnitCharacters",
                                                   "rpUnitNative"});
    return Map;
}

const TIdentMap& PaperSizeIdents()
{
    static const TIdentMap Map = TIdentMap::Names(
        {"rpDefault", "rpLetter", "rpLetterSmall", "rpTabloid", "rpLedger", "rpLegal", "rpStatement",
         "rpExecutive", "rpA3", "rpA4", "rpA4Small", "rpA5", "rpB4", "rpB5", "rpFolio", "rpQuarto", "rp10X14",
         "rp11X17", "rpNote", "rpEnv9", "rpEnv10", "rpEnv11", "rpEnv12", "rpEnv14", "rpCSheet", "rpDSheet",
         "rpESheet", "rpCustom"});
    return Map;
}

const TIdentMap& OrientationIdents()
{
    static const TIdentMap Map = TIdentMap::Names({"poPortrait", "poLandscape"});
    return Map;
}

const TIdentMap& BandTypeIdents()
{
    static const TIdentMap Map =
        TIdentMap::Names({"rbTitle", "rbPageHeader", "rbDetail", "rbPageFooter", "rbSummary", "rbGroupHeader",
                          "rbGroupFooter", "rbSubDetail", "rbColumnHeader", "rbOverlay", "rbChild"});
    return Map;
}

const TIdentMap& AlignmentIdents()
{
    static const TIdentMap Map = TIdentMap::Names({"taLeftJustify", "taRightJustify", "taCenter"});
    return Map;
}

const TIdentMap& BiDiModeIdents()
{
    static const TIdentMap Map =
        TIdentMap::Names({"bdLeftToRight", "bdRightToLeft", "bdRightToLeftNoAlign", "bdRightToLeftReadingOnly"});
    return Map;
}

const TIdentMap& SysDataIdents()
{
    static const TIdentMap Map = TIdentMap::Names(
        {"rpsTime", "rpsDate", "rpsDateTime", "rpsPageNumber", "rpsReportTitle", "rpsDetailCount", "rpsDetailNo"});
    return Map;
}

const TIdentMap& ShapeIdents()
{
    static const TIdentMap Map = TIdentMap::Names({"rpsRectangle", "rpsCircle", "rpsVertLine", "rpsHorLine",
                                                   "rpsTopAndBottom", "rpsRightAndLeft", "rpsRoundRect"});
    return Map;
}

const TIdentMap& CalcOperationIdents()
{
    static const TIdentMap Map = TIdentMap::Names({"rpcSum", "rpcCount", "rpcMax", "rpcMin", "rpcAverage"});
    return Map;
}

const TIdentMap& FormStyleIdents()
{
    static const TIdentMap Map = TIdentMap::Names({"fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop"});
    return Map;
}

const TIdentMap& WindowStateIdents()
{
    static const TIdentMap Map = TIdentMap::Names({"wsNormal", "wsMinimized", "wsMaximized"});
    return Map;
}

const TIdentMap& ZoomStateIdents()
{
    static const TIdentMap Map = TIdentMap::Names({"rpZoomToFit", "rpZoomToWidth", "rpZoomOther"});
    return Map;
}

const TIdentMap& BinIdents()
{
    static const TIdentMap Map =
        TIdentMap::Names({"First", "Upper", "Lower", "Middle", "Manual", "Envelope", "EnvManual", "Auto", "Tractor",
                          "SmallFormat", "LargeFormat", "LargeCapacity", "Cassette", "Last"});
    return Map;
}

// A setter of a form file's integer that refuses values below Min.
template <class T>
auto AtLeast(int32_t Min, void (T::*Setter)(int32_t))
{
    return [Min, Setter](T& Object, int32_t Value) {
        if (Value < Min)
            throw std::invalid_argument("a value below " + std::to_string(Min));
        (Object.*Setter)(Value);
    };
}

// A band that links to itself as its own header, footer or master is refused.
template <class T, class V>
auto NotSelf(void (T::*Setter)(V*))
{
    return [Setter](T& Object, V* Value) {
        if (Value == &Object)
            throw std::invalid_argument("a band linked to itself");
        (Object.*Setter)(Value);
    };
}

const TIdentMap& OptionIdents()
{
    static const TIdentMap Map = TIdentMap::Names({"FirstPageHeader", "LastPageFooter", "Compression"});
    return Map;
}

constexpr TRpReportOption AllOptions[] = {TRpReportOption::FirstPageHeader, TRpReportOption::LastPageFooter,
                                          TRpReportOption::Compression};

// The report options as the bit set the form stream stores.
struct TRpOptionBits {
    uint8_t Value = 0;
    uint8_t Bits() const { return Value; }
    static TRpOptionBits FromBits(uint8_t Bits) { return {Bits}; }
};

TRpOptionBits OptionsToBits(TRpReportOptions Options)
{
    TRpOptionBits B;
    for (TRpReportOption O : AllOptions)
        if (Options.Contains(O))
            B.Value |= static_cast<uint8_t>(1u << static_cast<unsigned>(O));
    return B;
}

TRpReportOptions BitsToOptions(TRpOptionBits Bits)
{
    TRpReportOptions Options;
    for (TRpReportOption O : AllOptions)
        if (Bits.Value & (1u << static_cast<unsigned>(O)))
            Options << O;
    return Options;
}

std::vector<std::string> ReadStringList(TReader* Reader)
{
    std::vector<std::string> Items;
    Reader->ReadListBegin();
    while (!Reader->EndOfList())
        Items.push_back(Reader->ReadString());
    Reader->ReadListEnd();
    return Items;
}

void WriteStringList(TWriter* Writer, const TStrings& Items)
{
    Writer->WriteListBegin();
    for (int I = 0; I < Items.Count(); ++I)
        Writer->WriteString(Items.Get(I));
    Writer->WriteListEnd();
}

// A report's Functions in the form: "Strings", the names, and "DATA", the
// expressions in the same order.
class TRpFunctionsStore : public TPersistent {
    OZ_CLASS(TRpFunctionsStore, TPersistent);

public:
    explicit TRpFunctionsStore(TRpEvEnvironment* Environment) : FEnvironment(Environment) {}

    void DefineProperties(TFiler* Filer) override
    {
        TPersistent::DefineProperties(Filer);
        Filer->DefineProperty(
            "Strings",
            [this](TReader* Reader) {
                FNames.Clear();
                for (const std::string& Name : ReadStringList(Reader)) {
                    if (Name.empty())
                        Reader->Error("a function without a name");
                    FNames.Add(Name);
                }
                TStringList NoData;
                FEnvironment->ReadProperties(FNames, NoData);
            },
            [this](TWriter* Writer) {
                TStringList Names, Data;
                FEnvironment->WriteProperties(Names, Data);
                WriteStringList(Writer, Names);
            },
            FEnvironment->Count() > 0);
        Filer->DefineProperty(
            "DATA",
            [this](TReader* Reader) {
                TStringList Data;
                for (const std::string& Text : ReadStringList(Reader))
                    Data.Add(Text);
                if (Data.Count() != FNames.Count())
                    Reader->Error("DATA holds " + std::to_string(Data.Count()) + " expressions for " +
                                  std::to_string(FNames.Count()) + " functions");
                FEnvironment->ReadProperties(FNames, Data);
            },
            [this](TWriter* Writer) {
                TStringList Names, Data;
                FEnvironment->WriteProperties(Names, Data);
                WriteStringList(Writer, Data);
            },
            FEnvironment->Count() > 0);
    }

private:
    TRpEvEnvironment* FEnvironment;
    TStringList FNames;
};

const bool Registered = (RegisterRpClasses(), true);

}  // namespace

// ------------------------------------------------------------ stored values

void TRpUnitBase::DefineProperties(TFiler* Filer)
{
    TPersistent::DefineProperties(Filer);
    const std::vector<long double> Current = WriteValues();
    if (Current.empty())
        return;
    Filer->DefineProperty(
        "Values",
        [this, Count = Current.size()](TReader* Reader) {
            std::vector<long double> Values;
            Reader->ReadListBegin();
            while (!Reader->EndOfList()) {
                if (Values.size() == Count)
                    Reader->Error("more than " + std::to_string(Count) + " values");
                const long double V = Reader->ReadFloat();
                if (!std::isfinite(V) || std::fabs(V) > MaxNativeValue)
                    Reader->Error("a value out of range");
                Values.push_back(V);
            }
            Reader->ReadListEnd();
            if (Values.size() != Count)
                Reader->Error(std::to_string(Values.size()) + " values instead of " + std::to_string(Count));
            ReadValues(Values);
        },
        [this](TWriter* Writer) {
            Writer->WriteListBegin();
            for (long double V : WriteValues())
                Writer->WriteFloat(static_cast<double>(V));
            Writer->WriteListEnd();
        },
        true);
}

// --------------------------------------------------------- property tables

void TRpPage::Publish(TPublisher<TRpPage>& P)
{
    P.Integer("Columns", &TRpPage::Columns, &TRpPage::SetColumns).Default(1);
    P.Enumeration("Orientation", &TRpPage::Orientation, &TRpPage::SetOrientation, OrientationIdents())
        .Default(poPortrait);
    P.Enumeration("PaperSize", &TRpPage::PaperSize, &TRpPage::SetPaperSize, PaperSizeIdents());
    P.Boolean("Ruler", &TRpPage::Ruler, &TRpPage::SetRuler).Default(true);
}

void TRpFrame::Publish(TPublisher<TRpFrame>& P)
{
    P.Integer("Color", &TRpFrame::Color, &TRpFrame::SetColor).Idents(ColorIdents()).Default(0);
    P.Boolean("DrawTop", &TRpFrame::DrawTop, &TRpFrame::SetDrawTop).Default(false);
    P.Boolean("DrawBottom", &TRpFrame::DrawBottom, &TRpFrame::SetDrawBottom).Default(false);
    P.Boolean("DrawLeft", &TRpFrame::DrawLeft, &TRpFrame::SetDrawLeft).Default(false);
    P.Boolean("DrawRight", &TRpFrame::DrawRight, &TRpFrame::SetDrawRight).Default(false);
    P.Enumeration("Style", &TRpFrame::Style, &TRpFrame::SetStyle, PenStyleIdents()).Default(psSolid);
    P.Integer("Width", &TRpFrame::Width, &TRpFrame::SetWidth).Default(1);
}

void TRpBasePanel::Publish(TPublisher<TRpBasePanel>& P)
{
    P.Object("Frame", &TRpBasePanel::Frame);
}

void TRpPrintable::Publish(TPublisher<TRpPrintable>& P)
{
    P.Object("Frame", &TRpPrintable::Frame);
    P.Object("Size", &TRpPrintable::Size);
}

void TRpCustomBand::Publish(TPublisher<TRpCustomBand>& P)
{
    P.Boolean("AlignToBottom", &TRpCustomBand::AlignToBottom, &TRpCustomBand::SetAlignToBottom).Default(false);
    P.Boolean("TransparentBand", &TRpCustomBand::TransparentBand, &TRpCustomBand::SetTransparentBand)
        .Default(true);
    P.Boolean("ForceNewColumn", &TRpCustomBand::ForceNewColumn, &TRpCustomBand::SetForceNewColumn).Default(false);
    P.Boolean("ForceNewPage", &TRpCustomBand::ForceNewPage, &TRpCustomBand::SetForceNewPage).Default(false);
    P.Component("LinkBand", &TRpCustomBand::LinkBand, &TRpCustomBand::SetLinkBand);
    P.Object("Size", &TRpCustomBand::Size);
    P.Boolean("PreCaluculateBandHeight", &TRpCustomBand::PreCaluculateBandHeight,
              &TRpCustomBand::SetPreCaluculateBandHeight)
        .Default(false);
    P.Boolean("KeepOnOnePage", &TRpCustomBand::KeepOnOnePage, &TRpCustomBand::SetKeepOnOnePage).Default(false);
    PublishParentFont(P);
}

void TRpBand::Publish(TPublisher<TRpBand>& P)
{
    P.Enumeration("BandType", &TRpBand::BandType, &TRpBand::SetBandType, BandTypeIdents()).NoDefault();
}

void TRpChildBand::Publish(TPublisher<TRpChildBand>& P)
{
    P.Component("ParentBand", &TRpChildBand::ParentBand, &TRpChildBand::SetParentBand);
}

void TCustomRpReport::Publish(TPublisher<TCustomRpReport>& P)
{
    P.String("BackImageControl", &TCustomRpReport::BackImageControl, &TCustomRpReport::SetBackImageControl)
        .Default("");
    P.Object("Description", &TCustomRpReport::Description);
    P.Object("Functions", &TCustomRpReport::FunctionsStore);
    P.Set(
         "Options", [](TCustomRpReport& R) { return OptionsToBits(R.Options()); },
         [](TCustomRpReport& R, TRpOptionBits B) { R.SetOptions(BitsToOptions(B)); }, OptionIdents())
        .Default(OptionsToBits({TRpReportOption::FirstPageHeader, TRpReportOption::LastPageFooter}));
    P.Object("Page", &TCustomRpReport::Page);
    P.Object("PrinterSettings", &TCustomRpReport::PrinterSettings);
    P.Boolean("PrintIfEmpty", &TCustomRpReport::PrintIfEmpty, &TCustomRpReport::SetPrintIfEmpty).Default(true);
    P.String("ReportTitle", &TCustomRpReport::ReportTitle, &TCustomRpReport::SetReportTitle).Default("");
    P.Boolean("ShowProgress", &TCustomRpReport::ShowProgress, &TCustomRpReport::SetShowProgress).Default(true);
    P.Boolean("SnapToGrid", &TCustomRpReport::SnapToGrid, &TCustomRpReport::SetSnapToGrid).Default(true);
    P.Enumeration("Units", &TCustomRpReport::Units, &TCustomRpReport::SetUnits, UnitIdents()).NoDefault();
    P.Integer("Zoom", &TCustomRpReport::Zoom, &TCustomRpReport::SetZoom).Default(100);
    P.Integer("PreviewWidth", &TCustomRpReport::PreviewWidth, &TCustomRpReport::SetPreviewWidth).Default(600);
    P.Integer("PreviewHeight", &TCustomRpReport::PreviewHeight, &TCustomRpReport::SetPreviewHeight).Default(500);
    P.Boolean("PrevShowThumbs", &TCustomRpReport::PrevShowThumbs, &TCustomRpReport::SetPrevShowThumbs)
        .Default(true);
    P.Boolean("PrevShowSearch", &TCustomRpReport::PrevShowSearch, &TCustomRpReport::SetPrevShowSearch)
        .Default(true);
    P.Enumeration("PrevInitialZoom", &TCustomRpReport::PrevInitialZoom, &TCustomRpReport::SetPrevInitialZoom,
                  ZoomStateIdents())
        .Default(rpZoomToFit);
    P.Enumeration("PrevFormStyle", &TCustomRpReport::PrevFormStyle, &TCustomRpReport::SetPrevFormStyle,
                  FormStyleIdents())
        .Default(fsNormal);
    P.Enumeration("PreviewInitialState", &TCustomRpReport::PreviewInitialState,
                  &TCustomRpReport::SetPreviewInitialState, WindowStateIdents())
        .Default(wsNormal);
}

void TRpReport::Publish(TPublisher<TRpReport>& P)
{
    P.Component("DataSet", &TRpReport::DataSet, &TRpReport::SetDataSet);
}

void TRpReportPrinterSettings::Publish(TPublisher<TRpReportPrinterSettings>& P)
{
    using S = TRpReportPrinterSettings;
    P.Integer("Copies", &S::Copies, AtLeast(1, &S::SetCopies)).Default(1);
    P.Enumeration("OutputBin", &S::OutputBin, &S::SetOutputBin, BinIdents()).Default(TRpBin::Auto);
    P.Boolean("Duplex", &S::Duplex, &S::SetDuplex).Default(false);
    P.Integer("FirstPage", &S::FirstPage, AtLeast(0, &S::SetFirstPage)).Default(0);
    P.Integer("LastPage", &S::LastPage, AtLeast(0, &S::SetLastPage)).Default(0);
    P.Boolean("UseStandardprinter", &S::UseStandardprinter, &S::SetUseStandardprinter).Default(false);
    P.Boolean("UseCustomBinCode", &S::UseCustomBinCode, &S::SetUseCustomBinCode).Default(false);
    P.Integer("CustomBinCode", &S::CustomBinCode, &S::SetCustomBinCode).Default(0);
    P.Integer("ExtendedDuplex", &S::ExtendedDuplex, &S::SetExtendedDuplex).Default(0);
    P.Boolean("UseCustomPaperCode", &S::UseCustomPaperCode, &S::SetUseCustomPaperCode).Default(false);
    P.Integer("CustomPaperCode", &S::CustomPaperCode, &S::SetCustomPaperCode).Default(0);
    P.Boolean("PrintMetaFile", &S::PrintMetaFile, &S::SetPrintMetaFile).Default(false);
    P.Integer("MemoryLimit", &S::MemoryLimit, AtLeast(0, &S::SetMemoryLimit)).Default(250000);
    P.Integer("PrintQuality", &S::PrintQuality, &S::SetPrintQuality).Default(0);
    P.Integer("Collate", &S::Collate, &S::SetCollate).Default(0);
    P.Integer("ColorOption", &S::ColorOption, &S::SetColorOption).Default(0);
}

void TRpGroup::Publish(TPublisher<TRpGroup>& P)
{
    P.String("Expression", &TRpGroup::Expression, &TRpGroup::SetExpression).Default("");
    P.Component("FooterBand", &TRpGroup::FooterBand, NotSelf(&TRpGroup::SetFooterBand));
    P.Component("Master", &TRpGroup::Master, &TRpGroup::SetMaster);
    P.Boolean("ReprintOnNewPage", &TRpGroup::ReprintOnNewPage, &TRpGroup::SetReprintOnNewPage).Default(false);
}

void TRpControllerBand::Publish(TPublisher<TRpControllerBand>& P)
{
    P.Component("Master", &TRpControllerBand::Master, [](TRpControllerBand& Band, TComponent* Value) {
        if (!Band.SetMaster(Value))
            throw std::invalid_argument("circular linking of masters");
    });
}

void TRpSubDetail::Publish(TPublisher<TRpSubDetail>& P)
{
    P.Component("DataSet", &TRpSubDetail::DataSet, &TRpSubDetail::SetDataSet);
    P.Component("FooterBand", &TRpSubDetail::FooterBand, NotSelf(&TRpSubDetail::SetFooterBand));
    P.Component("HeaderBand", &TRpSubDetail::HeaderBand, NotSelf(&TRpSubDetail::SetHeaderBand));
    P.Boolean("PrintBefore", &TRpSubDetail::PrintBefore, &TRpSubDetail::SetPrintBefore).Default(false);
    P.Boolean("PrintIfEmpty", &TRpSubDetail::PrintIfEmpty, &TRpSubDetail::SetPrintIfEmpty).Default(true);
}

void TRpLoopBand::Publish(TPublisher<TRpLoopBand>& P)
{
    P.Integer("PrintCount", &TRpLoopBand::PrintCount, &TRpLoopBand::SetPrintCount).Default(0);
    P.Boolean("PrintBefore", &TRpLoopBand::PrintBefore, &TRpLoopBand::SetPrintBefore).Default(false);
}

void TRpStringsBand::Publish(TPublisher<TRpStringsBand>& P)
{
    P.Object("Items", &TRpStringsBand::Items);
    P.Boolean("PrintBefore", &TRpStringsBand::PrintBefore, &TRpStringsBand::SetPrintBefore).Default(false);
}

void TRpCustomLabel::Publish(TPublisher<TRpCustomLabel>& P)
{
    P.Enumeration("Alignment", &TRpCustomLabel::Alignment, &TRpCustomLabel::SetAlignment, AlignmentIdents())
        .Default(taLeftJustify);
    P.Boolean("AlignToBand", &TRpCustomLabel::AlignToBand, &TRpCustomLabel::SetAlignToBand).Default(false);
    P.Boolean("AutoSize", &TRpCustomLabel::AutoSize, &TRpCustomLabel::SetAutoSize).NoDefault();
    P.Boolean("AutoStretch", &TRpCustomLabel::AutoStretch, &TRpCustomLabel::SetAutoStretch).Default(false);
    P.Boolean("Transparent", &TRpCustomLabel::Transparent, &TRpCustomLabel::SetTransparent).NoDefault();
    P.Boolean("WordWrap", &TRpCustomLabel::WordWrap, &TRpCustomLabel::SetWordWrap).Default(true);
    P.Enumeration("BiDiMode", &TRpCustomLabel::BiDiMode, &TRpCustomLabel::SetBiDiMode, BiDiModeIdents())
        .Default(bdLeftToRight)
        .Stored([](TRpCustomLabel& L) { return !L.ParentBiDiMode(); });
    P.Boolean("ParentBiDiMode", &TRpCustomLabel::ParentBiDiMode, &TRpCustomLabel::SetParentBiDiMode).Default(true);
    PublishParentFont(P).Default(false);
}

void TRpLabel::Publish(TPublisher<TRpLabel>& P)
{
    P.String("Caption", &TRpLabel::Caption, &TRpLabel::SetCaption).Default("");
}

void TRpMemo::Publish(TPublisher<TRpMemo>& P)
{
    P.Object("Lines", &TRpMemo::Lines);
}

void TRpSysData::Publish(TPublisher<TRpSysData>& P)
{
    P.Enumeration("Data", &TRpSysData::Data, &TRpSysData::SetData, SysDataIdents()).Default(rpsTime);
    P.String("Text", &TRpSysData::Text, &TRpSysData::SetText).Default("");
}

void TRpDBText::Publish(TPublisher<TRpDBText>& P)
{
    P.Component("DataSet", &TRpDBText::DataSet, &TRpDBText::SetDataSet);
    P.String("DataField", &TRpDBText::DataField, &TRpDBText::SetDataField).Default("");
    P.String("Mask", &TRpDBText::Mask, &TRpDBText::SetMask).Default("");
}

void TRpExpr::Publish(TPublisher<TRpExpr>& P)
{
    P.Component("Master", &TRpExpr::Master, &TRpExpr::SetMaster);
    P.Boolean("ResetAfterPrint", &TRpExpr::ResetAfterPrint, &TRpExpr::SetResetAfterPrint).Default(false);
    P.String("Expression", &TRpExpr::Expression, &TRpExpr::SetExpression).Default("");
    P.String("Mask", &TRpExpr::Mask, &TRpExpr::SetMask).Default("");
}

void TRpDBCalc::Publish(TPublisher<TRpDBCalc>& P)
{
    P.String("DataField", &TRpDBCalc::DataField, &TRpDBCalc::SetDataField).Default("");
    P.Component("DataSource", &TRpDBCalc::DataSource, &TRpDBCalc::SetDataSource);
    P.Enumeration("Operation", &TRpDBCalc::Operation, &TRpDBCalc::SetOperation, CalcOperationIdents())
        .Default(rpcSum);
    P.Component("ResetBand", &TRpDBCalc::ResetBand, &TRpDBCalc::SetResetBand);
    P.Alias("PrintMask", "Mask");
}

void TRpExprMemo::Publish(TPublisher<TRpExprMemo>& P)
{
    P.Object("Lines", &TRpExprMemo::Lines);
    P.Boolean("RemoveBlankLines", &TRpExprMemo::RemoveBlankLines, &TRpExprMemo::SetRemoveBlankLines)
        .Default(false);
}

void TRpDBImage::Publish(TPublisher<TRpDBImage>& P)
{
    P.Boolean("Center", &TRpDBImage::Center, &TRpDBImage::SetCenter).Default(true);
    P.String("DataField", &TRpDBImage::DataField, &TRpDBImage::SetDataField).Default("");
    P.Component("DataSet", &TRpDBImage::DataSet, &TRpDBImage::SetDataSet);
    P.Boolean("Stretch", &TRpDBImage::Stretch, &TRpDBImage::SetStretch).Default(false);
}

void TRpCustomRichText::Publish(TPublisher<TRpCustomRichText>& P)
{
    P.Enumeration("Alignment", &TRpCustomRichText::Alignment, &TRpCustomRichText::SetAlignment,
                  AlignmentIdents())
        .Default(taLeftJustify);
    P.Boolean("AutoStretch", &TRpCustomRichText::AutoStretch, &TRpCustomRichText::SetAutoStretch).Default(false);
}

void TRpRichText::Publish(TPublisher<TRpRichText>& P)
{
    P.Object("Lines", &TRpRichText::Lines);
    P.Component("ParentRichEdit", &TRpRichText::ParentRichEdit, &TRpRichText::SetParentRichEdit);
}

void TRpDBRichText::Publish(TPublisher<TRpDBRichText>& P)
{
    P.String("DataField", &TRpDBRichText::DataField, &TRpDBRichText::SetDataField).Default("");
    P.Component("DataSet", &TRpDBRichText::DataSet, &TRpDBRichText::SetDataSet);
}

void TRpShape::Publish(TPublisher<TRpShape>& P)
{
    P.Object("Brush", &TRpShape::Brush);
    P.Object("Pen", &TRpShape::Pen);
    P.Enumeration("Shape", &TRpShape::Shape, &TRpShape::SetShape, ShapeIdents()).Default(rpsRectangle);
    P.Float("RoundFactor", &TRpShape::RoundFactor, &TRpShape::SetRoundFactor).Default(0);
    P.Integer("VertAdjust", &TRpShape::VertAdjust, &TRpShape::SetVertAdjust).Default(0);
}

void TRpImage::Publish(TPublisher<TRpImage>& P)
{
    P.Boolean("AutoSize", &TRpImage::AutoSize, &TRpImage::SetAutoSize).Default(false);
    P.Boolean("Center", &TRpImage::Center, &TRpImage::SetCenter).Default(false);
    P.Object("Picture", &TRpImage::Picture);
    P.Boolean("Stretch", &TRpImage::Stretch, &TRpImage::SetStretch).Default(false);
}

// ------------------------------------------------------ children and loading

TPersistent* TCustomRpReport::FunctionsStore()
{
    if (!FFunctionsStore)
        FFunctionsStore = std::make_unique<TRpFunctionsStore>(FFunctions.get());
    return FFunctionsStore.get();
}

void TCustomRpReport::GetChildren(const TGetChildProc& Proc, TComponent* Root)
{
    for (int I = 0; I < ControlCount(); ++I)
        if (Controls(I)->Owner() == Root)
            Proc(Controls(I));
    if (Root != this)
        return;
    for (int I = 0; I < ComponentCount(); ++I) {
        TComponent* C = Components(I);
        auto* Control = dynamic_cast<TControl*>(C);
        if (!C->ComponentState().Contains(csSubComponent) && !C->HasParent() && (!Control || !Control->Parent()))
            Proc(C);
    }
}

void TCustomRpReport::Loaded()
{
    TRpBasePanel::Loaded();
    FPage->Loaded();
    RebuildBandList();
    SetBandValues();
}

void TRpCustomBand::GetChildren(const TGetChildProc& Proc, TComponent* Root)
{
    for (int I = 0; I < ControlCount(); ++I)
        if (Controls(I)->Owner() == Root)
            Proc(Controls(I));
}

TRpReportForm::TRpReportForm(TComponent* AOwner) : TForm(AOwner) {}

void TRpReportForm::GetChildren(const TGetChildProc& Proc, TComponent*)
{
    for (int I = 0; I < ComponentCount(); ++I) {
        TComponent* C = Components(I);
        auto* Control = dynamic_cast<TControl*>(C);
        if (C->ComponentState().Contains(csSubComponent) || C->HasParent())
            continue;
        if (!Control || !Control->Parent() || Control->Parent() == this)
            Proc(C);
    }
}

// ------------------------------------------------------------ registration

void RegisterRpClasses()
{
    RegisterClasses({TRpReportForm::StaticClass(), TRpReport::StaticClass(), TRpBand::StaticClass(),
                     TRpChildBand::StaticClass(), TRpGroup::StaticClass(), TRpSubDetail::StaticClass(),
                     TRpLoopBand::StaticClass(), TRpStringsBand::StaticClass(), TRpLabel::StaticClass(),
                     TRpMemo::StaticClass(), TRpSysData::StaticClass(), TRpExpr::StaticClass(),
                     TRpDBCalc::StaticClass(), TRpExprMemo::StaticClass(), TRpDBText::StaticClass(),
                     TRpShape::StaticClass(), TRpImage::StaticClass(), TRpDBImage::StaticClass(),
                     TRpRichText::StaticClass(), TRpDBRichText::StaticClass(), TTable::StaticClass(),
                     TQuery::StaticClass()});
}

TRpReport* RpLoadReport(const std::string& FileName)
{
    RegisterRpClasses();
    std::unique_ptr<TRpReportForm> Form = std::make_unique<TRpReportForm>(Application);
    try {
        ReadComponentFile(FileName, Form.get());
    } catch (const std::exception& E) {
        Form.reset();
        ShowMessage(LoadResString(SRpErrorLoading) + "\n" + FileName + ": " + E.what());
        return nullptr;
    }
    auto* Report = Form->ComponentCount() > 0 ? dynamic_cast<TRpReport*>(Form->Components(0)) : nullptr;
    if (Report)
        Form.release();   // the application owns it; RpFreeReport frees it
    return Report;
}

void RpFreeReport(TCustomRpReport* Report)
{
    if (!Report)
        return;
    if (TComponent* Owner = Report->Owner())
        delete Owner;
    else
        delete Report;
}

void PopulateFontSizeCombo(TComboBox* Combo)
{
    static constexpr int Sizes[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};
    Combo->Items()->Clear();
    for (int Size : Sizes)
        Combo->Items()->Add(std::to_string(Size));
}
