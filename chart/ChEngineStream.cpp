// The stored form of a series: its extras ("Identifier", "Style",
// "DataSources", "CustomHorizAxis", "CustomVertAxis") and its points
// ("Data"), and the resolving of stored data source names.
//
// "Data" layout, little-endian, packed:
//   0   1  flags: bit 0 tfNoMandatory, bit 1 tfColor, bit 2 tfLabel,
//          bit 3 tfMarkPosition (other bits refused)
//   1   4  n, the number of points (signed; negative refused)
//   5   .  n point records, in index order, each:
//          8   position (double)               when tfNoMandatory (else the index)
//          8   value (double)                  always
//          4   own colour (clSeriesDefault: none) when tfColor
//          1+k label: k bytes of UTF-8          when tfLabel (at most 255 bytes,
//              whole characters; k is the byte count)
//          8   one double per value list from the third on
//          34  mark position                   when tfMarkPosition: ArrowStart X, Y
//              (int32 each), KeepArrowStart (1), ArrowEnd X, Y (8), IsCustom (1),
//              BoxHeight (4), BoxTopLeft X, Y (8), BoxWidth (4); a point without
//              a position is written zeroed and not custom
// The value is the mandatory list's, the position the other list's; for a
// series drawn across they are exchanged back into (X, Y) on reading.
#include "chart/ChEngine.h"
#include "chart/ChFunctions.h"
#include "chart/ChMarks.h"
#include "platform/Filer.h"
#include "platform/ScopeGuard.h"
#include "platform/Streams.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <exception>
#include <unordered_set>

namespace {

constexpr TChFormatFlags KnownFlags = tfNoMandatory | tfColor | tfLabel | tfMarkPosition;
constexpr int MarkPositionSize = 34;

class TPointWriter {
public:
    void Reserve(size_t Bytes) { FBytes.reserve(Bytes); }
    void U8(uint8_t V) { FBytes.push_back(static_cast<char>(V)); }
    void U32(uint32_t V)
    {
        for (int i = 0; i < 4; ++i)
            U8(static_cast<uint8_t>(V >> (8 * i)));
    }
    void I32(int32_t V) { U32(static_cast<uint32_t>(V)); }
    void F64(double V)
    {
        uint64_t Bits;
        std::memcpy(&Bits, &V, sizeof Bits);
        for (int i = 0; i < 8; ++i)
            U8(static_cast<uint8_t>(Bits >> (8 * i)));
    }
    void Bytes(const std::string& S) { FBytes += S; }
    const std::string& Data() const { return FBytes; }

private:
    std::string FBytes;
};

// Reads from bytes whose length is known; every read is checked first.
class TPointReader {
public:
    TPointReader(const std::string& Bytes, std::string Where) : FBytes(Bytes), FWhere(std::move(Where)) {}
    size_t Remaining() const { return FBytes.size() - FPos; }
    size_t Position() const { return FPos; }
    // Back to a place read before.
    void Seek(size_t Pos) { FPos = std::min(Pos, FBytes.size()); }
    [[noreturn]] void Fail(const std::string& What) const
    {
        throw EReadError(FWhere + ": " + What + " (byte " + std::to_string(FPos) + ")");
    }
    void Need(size_t Count, const char* What) const
    {
        if (Remaining() < Count)
            Fail(std::string(What) + " cut short");
    }
    void Skip(size_t Count, const char* What)
    {
        Need(Count, What);
        FPos += Count;
    }
    uint8_t U8(const char* What)
    {
        Need(1, What);
        return static_cast<uint8_t>(FBytes[FPos++]);
    }
    uint32_t U32(const char* What)
    {
        Need(4, What);
        uint32_t V = 0;
        for (int i = 0; i < 4; ++i)
            V |= static_cast<uint32_t>(static_cast<uint8_t>(FBytes[FPos++])) << (8 * i);
        return V;
    }
    int32_t I32(const char* What) { return static_cast<int32_t>(U32(What)); }
    double F64(const char* What)
    {
        Need(8, What);
        uint64_t Bits = 0;
        for (int i = 0; i < 8; ++i)
            Bits |= static_cast<uint64_t>(static_cast<uint8_t>(FBytes[FPos++])) << (8 * i);
        double V;
        std::memcpy(&V, &Bits, sizeof V);
        return V;
    }
    std::string Text(size_t Count, const char* What)
    {
        Need(Count, What);
        std::string S = FBytes.substr(FPos, Count);
        FPos += Count;
        return S;
    }

private:
    const std::string& FBytes;
    std::string FWhere;
    size_t FPos = 0;
};

// At most 255 bytes, ending on a whole UTF-8 character.
std::string StoredLabel(const std::string& Label)
{
    if (Label.size() <= 255)
        return Label;
    size_t Cut = 255;
    while (Cut > 0 && (static_cast<uint8_t>(Label[Cut]) & 0xC0) == 0x80)
        --Cut;
    return Label.substr(0, Cut);
}

std::string SeriesWhere(TChartSeries* S)
{
    return (S->Name().empty() ? std::string(S->ClassName()) : S->Name()) + ".Data";
}

int CustomAxisIndex(TCustomAxisPanel* Chart, TChartAxis* Axis)
{
    if (Chart == nullptr || Axis == nullptr)
        return -1;
    for (int i = 0; i < Chart->CustomAxes().Count(); ++i)
        if (Chart->CustomAxes().Get(i) == Axis)
            return i;
    return -1;
}

// Dest is Start or takes its data from Start through the sources listed.
bool Reaches(TChartSeries* From, const TChartSeries* Dest)
{
    std::vector<TChartSeries*> Pending{From};
    std::unordered_set<TChartSeries*> Seen;
    while (!Pending.empty()) {
        TChartSeries* S = Pending.back();
        Pending.pop_back();
        if (S == Dest)
            return true;
        if (!Seen.insert(S).second)
            continue;
        for (int i = 0; i < S->DataSources().Count(); ++i)
            if (auto* Next = dynamic_cast<TChartSeries*>(S->DataSources()[i]))
                Pending.push_back(Next);
    }
    return false;
}

}  // namespace

// ------------------------------------------------------------------ contents

bool HasNoMandatoryValues(TChartSeries* ASeries)
{
    const int n = ASeries->Count();
    if (!ASeries->KeepXValues || n == 0)
        return false;
    const TChartValueList* L = ASeries->NotMandatoryValueList();
    if (L->Value(0) != 0 || L->Value(n - 1) != n - 1)
        return true;
    for (int i = 0; i <= std::min(10000, n - 1); ++i)
        if (L->Value(i) != i)
            return true;
    return false;
}

bool HasColors(TChartSeries* ASeries)
{
    const TColor Own = ASeries->SeriesColor();
    for (int i = 0; i <= std::min(10000, ASeries->Count() - 1); ++i) {
        const TColor C = ASeries->InternalColor(i);
        if (C != clSeriesDefault && C != Own)
            return true;
    }
    return false;
}

bool HasLabels(TChartSeries* ASeries)
{
    if (ASeries->Labels().Count() == 0)
        return false;
    for (int i = 0; i <= std::min(100, ASeries->Count() - 1); ++i)
        if (!ASeries->XLabel(i).empty())
            return true;
    return false;
}

TChFormatFlags SeriesGuessContents(TChartSeries* ASeries)
{
    TChFormatFlags F = 0;
    if (HasNoMandatoryValues(ASeries))
        F |= tfNoMandatory;
    if (HasColors(ASeries))
        F |= tfColor;
    if (HasLabels(ASeries))
        F |= tfLabel;
    if (ASeries->Marks()->Positions().ExistCustom())
        F |= tfMarkPosition;
    return F;
}

// ------------------------------------------------------------------ points

void TChartSeries::WriteData(TStream* Stream)
{
    const TChFormatFlags Flags = SeriesGuessContents(this);
    TPointWriter W;
    // Labels aside, every record has the same size.
    const size_t RecordSize = ((Flags & tfNoMandatory) ? 8u : 0u) + 8u + ((Flags & tfColor) ? 4u : 0u) +
                              ((Flags & tfLabel) ? 1u : 0u) +
                              8u * static_cast<size_t>(std::max(0, FValuesList.Count() - 2)) +
                              ((Flags & tfMarkPosition) ? static_cast<size_t>(MarkPositionSize) : 0u);
    W.Reserve(5 + RecordSize * static_cast<size_t>(Count()));
    W.U8(Flags);
    W.I32(Count());
    for (int i = 0; i < Count(); ++i) {
        if (Flags & tfNoMandatory)
            W.F64(FNotMandatory->Value(i));
        W.F64(FMandatory->Value(i));
        if (Flags & tfColor)
            W.U32(static_cast<uint32_t>(InternalColor(i)));
        if (Flags & tfLabel) {
            const std::string L = StoredLabel(XLabel(i));
            W.U8(static_cast<uint8_t>(L.size()));
            W.Bytes(L);
        }
        for (int k = 2; k < FValuesList.Count(); ++k)
            W.F64(FValuesList[k]->Value(i));
        if (Flags & tfMarkPosition) {
            TSeriesMarkPosition None;
            const TSeriesMarkPosition* P = FMarks->Positions().Get(i);
            if (P == nullptr)
                P = &None;
            W.I32(P->ArrowStart.X);
            W.I32(P->ArrowStart.Y);
            W.U8(P->KeepArrowStart ? 1 : 0);
            W.I32(P->ArrowEnd.X);
            W.I32(P->ArrowEnd.Y);
            W.U8(P->IsCustom ? 1 : 0);
            W.I32(P->BoxHeight);
            W.I32(P->BoxTopLeft.X);
            W.I32(P->BoxTopLeft.Y);
            W.I32(P->BoxWidth);
        }
    }
    const std::string& Bytes = W.Data();
    if (Stream->Write(Bytes.data(), static_cast<int64_t>(Bytes.size())) != static_cast<int64_t>(Bytes.size()))
        throw EWriteError(SeriesWhere(this) + ": stream write failed");
}

void TChartSeries::ReadData(TStream* Stream)
{
    Clear();
    const int64_t Left = Stream->Size() - Stream->Position();
    std::string Bytes(static_cast<size_t>(std::max<int64_t>(Left, 0)), '\0');
    if (!Bytes.empty() && Stream->Read(Bytes.data(), Left) != Left)
        throw EReadError(SeriesWhere(this) + ": stream read failed");
    TPointReader R(Bytes, SeriesWhere(this));
    const uint8_t Flags = R.U8("flags");
    if (Flags & ~KnownFlags)
        R.Fail("unknown flags " + std::to_string(Flags));
    const int32_t n = R.I32("point count");
    if (n < 0)
        R.Fail("negative point count " + std::to_string(n));
    const int Extra = std::max(0, FValuesList.Count() - 2);
    const size_t RecordSize = ((Flags & tfNoMandatory) ? 8u : 0u) + 8u + ((Flags & tfColor) ? 4u : 0u) +
                              ((Flags & tfLabel) ? 1u : 0u) + 8u * static_cast<size_t>(Extra) +
                              ((Flags & tfMarkPosition) ? static_cast<size_t>(MarkPositionSize) : 0u);
    if (static_cast<uint64_t>(n) * RecordSize > R.Remaining())
        R.Fail(std::to_string(n) + " points do not fit in " + std::to_string(R.Remaining()) + " bytes");
    const auto ReadRecord = [&](double& Position, double& Value, TColor& Color, std::string& Label,
                                std::vector<double>& More) {
        Position = (Flags & tfNoMandatory) ? R.F64("position") : 0;
        Value = R.F64("value");
        Color = (Flags & tfColor) ? static_cast<TColor>(R.U32("colour")) : clSeriesDefault;
        Label.clear();
        if (Flags & tfLabel)
            Label = R.Text(R.U8("label length"), "label");
        for (double& V : More)
            V = R.F64("value");
    };
    // First every record is found and checked; a damaged one ends the
    // points there (those before it are kept, then the error is raised).
    std::vector<size_t> Offsets;
    std::vector<double> Keys;
    Offsets.reserve(static_cast<size_t>(n));
    Keys.reserve(static_cast<size_t>(n));
    std::exception_ptr Damage;
    {
        double Position, Value;
        TColor Color;
        std::string Label;
        std::vector<double> More(static_cast<size_t>(Extra));
        try {
            for (int i = 0; i < n; ++i) {
                const size_t At = R.Position();
                ReadRecord(Position, Value, Color, Label, More);
                if (Flags & tfMarkPosition)
                    R.Skip(MarkPositionSize, "mark position");
                Offsets.push_back(At);
                if (!(Flags & tfNoMandatory))
                    Position = i;
                Keys.push_back(FYMandatory ? Position : Value);
            }
        } catch (const EReadError&) {
            Damage = std::current_exception();
        }
    }
    // Points go in the order their X list keeps: sorting the records once
    // (stable, so equal X values keep their stored order) places them as
    // adding them one by one would, without moving the points already in.
    // NaN X values and a handler that may refuse points keep the stored
    // order of adding.
    std::vector<int> Order(Offsets.size());
    for (size_t i = 0; i < Order.size(); ++i)
        Order[i] = static_cast<int>(i);
    const TChartListOrder XOrder = FXValues->Order();
    const bool AnyNaN = std::any_of(Keys.begin(), Keys.end(), [](double K) { return std::isnan(K); });
    if (XOrder != loNone && !OnBeforeAdd && !AnyNaN) {
        const auto Before = [&](int A, int B) {
            const double KA = Keys[static_cast<size_t>(A)], KB = Keys[static_cast<size_t>(B)];
            return XOrder == loAscending ? KA < KB : KA > KB;
        };
        if (!std::is_sorted(Order.begin(), Order.end(), Before))
            std::stable_sort(Order.begin(), Order.end(), Before);
    }
    {
        TUpdateGuard<TChartSeries> Batch(*this);
        double Position, Value;
        TColor Color;
        std::string Label;
        std::vector<double> More(static_cast<size_t>(Extra));
        for (int i : Order) {
            R.Seek(Offsets[static_cast<size_t>(i)]);
            ReadRecord(Position, Value, Color, Label, More);
            if (!(Flags & tfNoMandatory))
                Position = i;
            const int At = FYMandatory ? AddPoint(Position, Value, More, Label, Color)
                                       : AddPoint(Value, Position, More, Label, Color);
            if (Flags & tfMarkPosition) {
                TSeriesMarkPosition P;
                P.ArrowStart.X = R.I32("mark position");
                P.ArrowStart.Y = R.I32("mark position");
                P.KeepArrowStart = R.U8("mark position") != 0;
                P.ArrowEnd.X = R.I32("mark position");
                P.ArrowEnd.Y = R.I32("mark position");
                P.IsCustom = R.U8("mark position") != 0;
                P.BoxHeight = R.I32("mark position");
                P.BoxTopLeft.X = R.I32("mark position");
                P.BoxTopLeft.Y = R.I32("mark position");
                P.BoxWidth = R.I32("mark position");
                if (At >= 0 && P.IsCustom) {
                    FMarks->Positions().Put(At, P);
                    FMarks->Positions().Get(At)->KeepArrowStart = P.KeepArrowStart;
                }
            }
        }
    }
    if (Damage)
        std::rethrow_exception(Damage);
    ManualData = true;
}

// ------------------------------------------------------------------ extras

void TCustomChartSeries::DefineProperties(TFiler* Filer)
{
    TCustomChartElement::DefineProperties(Filer);
    Filer->DefineProperty(
        "Identifier", [this](TReader* R) { FIdentifier = R->ReadString(); },
        [this](TWriter* W) { W->WriteString(FIdentifier); }, IsIdentifierStored());
    Filer->DefineProperty(
        "Style", [this](TReader* R) { SetStyle(static_cast<TChartSeriesStyle>(R->ReadInteger() & ChSeriesStyleMask)); },
        [this](TWriter* W) { W->WriteInteger(FStyle); }, IsStyleStored());
}

void TChartSeries::DefineProperties(TFiler* Filer)
{
    TCustomChartSeries::DefineProperties(Filer);
    Filer->DefineProperty(
        "DataSources",
        [this](TReader* R) {
            DataSourceNames.clear();
            R->ReadListBegin();
            while (!R->EndOfList())
                DataSourceNames.push_back(R->ReadString());
            R->ReadListEnd();
        },
        [this](TWriter* W) {
            W->WriteListBegin();
            for (int i = 0; i < FDataSources.Count(); ++i)
                W->WriteString(FDataSources[i]->Name());
            W->WriteListEnd();
        },
        FDataSources.Count() > 1);
    const auto AxisReader = [this](bool Horizontal) {
        return [this, Horizontal](TReader* R) {
            const int Index = R->ReadInteger();
            if (FParent == nullptr || Index < 0 || Index >= FParent->CustomAxes().Count())
                R->Error((Horizontal ? "CustomHorizAxis " : "CustomVertAxis ") + std::to_string(Index) +
                         " names no custom axis");
            if (Horizontal)
                SetCustomHorizAxis(FParent->CustomAxes().Get(Index));
            else
                SetCustomVertAxis(FParent->CustomAxes().Get(Index));
        };
    };
    const int HorizIndex = CustomAxisIndex(FParent, FCustomHorizAxis);
    const int VertIndex = CustomAxisIndex(FParent, FCustomVertAxis);
    Filer->DefineProperty(
        "CustomHorizAxis", AxisReader(true), [HorizIndex](TWriter* W) { W->WriteInteger(HorizIndex); },
        HorizIndex >= 0);
    Filer->DefineProperty(
        "CustomVertAxis", AxisReader(false), [VertIndex](TWriter* W) { W->WriteInteger(VertIndex); },
        VertIndex >= 0);
    Filer->DefineBinaryProperty(
        "Data", [this](TStream* S) { ReadData(S); }, [this](TStream* S) { WriteData(S); }, ManualData);
}

// A stored name that would close a circle of data sources is dropped like
// an unknown one.
void TChartSeries::Loaded()
{
    TCustomChartSeries::Loaded();
    if (!DataSourceNames.empty()) {
        std::vector<std::string> Names;
        Names.swap(DataSourceNames);
        FDataSources.Clear();
        TComponent* Owner = this->Owner();
        for (const std::string& N : Names) {
            TComponent* C = Owner != nullptr ? Owner->FindComponent(N) : nullptr;
            if (C == nullptr || C == this)
                continue;
            if (auto* S = dynamic_cast<TChartSeries*>(C); S != nullptr && Reaches(S, this))
                continue;
            InternalAddDataSource(C);
        }
    }
    CheckDataSource();
}

void TChartSeries::GetChildren(const TGetChildProc& Proc, TComponent* Root)
{
    TCustomChartSeries::GetChildren(Proc, Root);
    // (The function has this series as its parent, so the components the
    // series owns leave it out.)
    if (FFunction != nullptr)
        Proc(FFunction);
}
