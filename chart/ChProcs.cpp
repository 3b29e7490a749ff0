// The chart library's free routines: default palette, date-time steps,
// field splitting, unique names, sorting, hit-test geometry, the check box
// drawing and text export.
#include "chart/ChProcs.h"
#include "platform/Clipbrd.h"
#include "platform/IniFiles.h"
#include "platform/Streams.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

// ------------------------------------------------------------------ palette

namespace {

const std::vector<TColor>& DefaultPalette()
{
    static const std::vector<TColor> Colors = {
        RGB(255, 0, 0),     RGB(0, 128, 0),     RGB(255, 255, 0),   RGB(0, 0, 255),     RGB(255, 255, 255),
        RGB(128, 128, 128), RGB(255, 0, 255),   RGB(0, 128, 128),   RGB(0, 0, 128),     RGB(128, 0, 0),
        RGB(0, 255, 0),     RGB(128, 128, 0),   RGB(128, 0, 128),   RGB(192, 192, 192), RGB(0, 255, 255),
        RGB(0, 0, 0),       RGB(192, 220, 192), RGB(166, 202, 240), RGB(255, 251, 240), RGB(160, 160, 164)};
    return Colors;
}

// The lowest date that ChRoundDate rounds: 1 January 1900.
constexpr TDateTime ChLowestRoundDate = 2.0;

}  // namespace

std::vector<TColor> ColorPalette = DefaultPalette();

TColor GetDefaultColor(int Index)
{
    // An emptied palette falls back on the default colours; a negative index
    // counts round the palette like any other.
    const std::vector<TColor>& Palette = ColorPalette.empty() ? DefaultPalette() : ColorPalette;
    const int Count = static_cast<int>(Palette.size());
    const int I = ((Index % Count) + Count) % Count;
    return Palette[static_cast<size_t>(I)];
}

void SetDefaultColorPalette()
{
    ColorPalette = DefaultPalette();
}

void SetDefaultColorPalette(const std::vector<TColor>& Colors)
{
    // One colour, or none, brings the default palette back.
    if (Colors.size() <= 1)
        SetDefaultColorPalette();
    else
        ColorPalette = Colors;
}

// ------------------------------------------------------------------ text and numbers

std::string ChStr(int Number)
{
    return std::to_string(Number);
}

namespace {

// The program writes numbers the same way in every locale.
constexpr char ChThousandSeparator = ',';
constexpr char ChDecimalSeparator = '.';

}  // namespace

std::string InvariantToLocalFormat(const std::string& Format)
{
    std::string Result = Format;
    for (char& C : Result) {
        if (C == ',')
            C = ChThousandSeparator;
        else if (C == '.')
            C = ChDecimalSeparator;
    }
    return Result;
}

std::string LocalToInvariantFormat(const std::string& Format)
{
    std::string Result = Format;
    for (char& C : Result) {
        if (C == ChThousandSeparator)
            C = ',';
        else if (C == ChDecimalSeparator)
            C = '.';
    }
    return Result;
}

std::string ReplaceChar(const std::string& Text, char Old, char New)
{
    std::string Result;
    Result.reserve(Text.size());
    for (char C : Text) {
        if (C != Old)
            Result += C;
        else if (New != '\0')
            Result += New;
    }
    return Result;
}

std::string ChFieldsSeparator = ";";

int ChNumFields(const std::string& Text, const std::string& Separator)
{
    if (Text.empty())
        return 0;
    if (Separator.empty())
        return 1;
    int Result = 1;
    for (size_t P = Text.find(Separator); P != std::string::npos; P = Text.find(Separator, P + Separator.size()))
        ++Result;
    return Result;
}

int ChNumFields(const std::string& Text)
{
    return ChNumFields(Text, ChFieldsSeparator);
}

std::string ChExtractField(const std::string& Text, int Index, const std::string& Separator)
{
    if (Text.empty() || Index < 1)
        return {};
    if (Separator.empty())
        return Text;
    size_t Start = 0;
    for (int i = 1; i < Index; ++i) {
        const size_t P = Text.find(Separator, Start);
        if (P == std::string::npos)
            break;   // past the last field: the last one
        Start = P + Separator.size();
    }
    const size_t End = Text.find(Separator, Start);
    return Text.substr(Start, End == std::string::npos ? std::string::npos : End - Start);
}

std::string ChExtractField(const std::string& Text, int Index)
{
    return ChExtractField(Text, Index, ChFieldsSeparator);
}

std::string ChGetUniqueName(TComponent* Owner, const std::string& StartName)
{
    if (Owner == nullptr)
        return StartName + "1";
    for (int N = 1;; ++N) {
        const std::string Name = StartName + std::to_string(N);
        if (Owner->FindComponent(Name) == nullptr)
            return Name;
    }
}

namespace {

void SortRange(int L, int R, const TChSortCompare& Compare, const TChSortSwap& Swap)
{
    int I = L;
    int J = R;
    int M = (L + R) / 2;
    if (J > I) {
        do {
            while (Compare(I, M) < 0)
                ++I;
            while (Compare(M, J) < 0)
                --J;
            if (I < J) {
                Swap(I, J);
                if (I == M)
                    M = J;
                else if (J == M)
                    M = I;
            }
            if (J >= I) {
                ++I;
                --J;
            }
        } while (J > I);
    }
    if (J > L)
        SortRange(L, J, Compare, Swap);
    if (I < R)
        SortRange(I, R, Compare, Swap);
}

}  // namespace

void ChSort(int StartIndex, int EndIndex, const TChSortCompare& Compare, const TChSortSwap& Swap)
{
    SortRange(StartIndex, EndIndex, Compare, Swap);
}

TChTranslateHookProc ChTranslateHook;

void ChTranslateControl(TControl* Control)
{
    if (ChTranslateHook)
        ChTranslateHook(Control);
}

void EnableControls(bool Enable, const std::vector<TControl*>& Controls)
{
    for (TControl* C : Controls)
        if (C != nullptr)
            C->SetEnabled(Enable);
}

// ------------------------------------------------------------------ dates

std::array<double, 28> DateTimeStep = {
    1.0 / 86400000000.0, 1.0 / 86400000.0, 1.0 / 86400.0, 5.0 / 86400.0, 10.0 / 86400.0, 15.0 / 86400.0,
    30.0 / 86400.0, 60.0 / 86400.0, 300.0 / 86400.0, 600.0 / 86400.0, 900.0 / 86400.0, 1800.0 / 86400.0,
    3600.0 / 86400.0, 7200.0 / 86400.0, 0.25, 0.5, 1, 2, 3, 7, 15, 30, 60, 90, 120, 182, 365, 1};

std::string ChShortDateFormat = "dd/mm/yyyy";
std::string ChShortTimeFormat = "hh:nn:ss";

int DaysInMonth(int Year, int Month)
{
    static constexpr int Days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (Month < 1 || Month > 12)
        return 0;
    if (Month == 2 && IsLeapYear(static_cast<uint16_t>(Year)))
        return 29;
    return Days[Month - 1];
}

std::string DateTimeDefaultFormat(double Step)
{
    return Step > 1 ? ChShortDateFormat : ChShortTimeFormat;
}

double NextDateTimeStep(double Step)
{
    for (int i = dtSixMonths; i >= dtOneMicroSecond; --i)
        if (Step >= DateTimeStep[static_cast<size_t>(i)])
            return DateTimeStep[static_cast<size_t>(i) + 1];
    return DateTimeStep[dtOneYear];
}

TDateTimeStep FindDateTimeStep(double Step)
{
    for (int i = dtOneYear; i >= dtOneMicroSecond; --i)
        if (std::fabs(DateTimeStep[static_cast<size_t>(i)] - Step) < DateTimeStep[dtOneMicroSecond])
            return static_cast<TDateTimeStep>(i);
    return dtNone;
}

TDateTime ChRoundDate(TDateTime Date, TDateTimeStep Step)
{
    if (Date <= ChLowestRoundDate)
        return Date;
    uint16_t Year, Month, Day;
    DecodeDate(Date, Year, Month, Day);
    switch (Step) {
    case dtHalfMonth:
        Day = Day >= 15 ? 15 : 1;
        break;
    case dtOneMonth:
    case dtTwoMonths:
    case dtThreeMonths:
    case dtFourMonths:
    case dtSixMonths:
        Day = 1;
        break;
    case dtOneYear:
        Day = 1;
        Month = 1;
        break;
    default:
        break;
    }
    return EncodeDate(Year, Month, Day);
}

void ChDateTimeIncrement(bool IsDateTime, bool Increment, TDateTime& Value, double Amount, TDateTimeStep Step)
{
    if (!IsDateTime || Step < dtHalfMonth || Step > dtOneYear) {
        Value = Increment ? Value + Amount : Value - Amount;
        return;
    }
    uint16_t Y, M, D;
    DecodeDate(Value, Y, M, D);
    int Year = Y;
    int Month = M;
    int Day = D;

    const auto MoveMonths = [&](int N) {
        if (Increment) {
            Month += N;
            if (Month > 12) {
                ++Year;
                Month -= 12;
            }
        } else if (N < Month)
            Month -= N;
        else {
            --Year;
            Month = 12 - (N - Month);
        }
    };

    switch (Step) {
    case dtHalfMonth:
        if (Increment) {
            // Forwards: the 15th of this month, or the 1st of the next.
            if (Day < 15)
                Day = 15;
            else {
                Day = 1;
                MoveMonths(1);
            }
        } else if (Day > 15)
            Day = 15;
        else if (Day > 1)
            Day = 1;
        else {
            MoveMonths(1);
            Day = 15;
        }
        break;
    case dtOneMonth: MoveMonths(1); Day = 1; break;
    case dtTwoMonths: MoveMonths(2); Day = 1; break;
    case dtThreeMonths: MoveMonths(3); Day = 1; break;
    case dtFourMonths: MoveMonths(4); Day = 1; break;
    case dtSixMonths: MoveMonths(6); Day = 1; break;
    case dtOneYear:
        Year += Increment ? 1 : -1;
        // 29 February of a leap year goes to the last day of February.
        Day = std::min(Day, DaysInMonth(Year, Month));
        break;
    default:
        break;
    }
    Value = EncodeDate(static_cast<uint16_t>(Year), static_cast<uint16_t>(Month), static_cast<uint16_t>(Day));
}

// ------------------------------------------------------------------ geometry

bool PointInLineTolerance(const TPoint& P, int X0, int Y0, int X1, int Y1, int T)
{
    const double M = std::max(std::abs(Y1 - Y0), std::abs(X1 - X0));
    const double D = std::fabs(static_cast<double>(Y1 - Y0) * (P.X - X0) - static_cast<double>(P.Y - Y0) * (X1 - X0));
    if (M <= D)
        return false;
    // a >> b: a lies beyond b by more than the tolerance.
    const auto Beyond = [T](int A, int B) { return A > B + T; };
    if (Beyond(X0, X1) && Beyond(P.X, X0))
        return false;
    if (Beyond(Y0, Y1) && Beyond(P.Y, Y0))
        return false;
    if (Beyond(X0, P.X) && Beyond(X1, X0))
        return false;
    if (Beyond(Y0, P.Y) && Beyond(Y1, Y0))
        return false;
    if (Beyond(X1, X0) && Beyond(P.X, X1))
        return false;
    if (Beyond(Y1, Y0) && Beyond(P.Y, Y1))
        return false;
    if (Beyond(X1, P.X) && Beyond(X0, X1))
        return false;
    if (Beyond(Y1, P.Y) && Beyond(Y0, Y1))
        return false;
    return true;
}

bool PointInPolygon(const TPoint& P, const std::vector<TPoint>& Points)
{
    bool Result = false;
    if (Points.empty())
        return Result;
    size_t J = Points.size() - 1;
    for (size_t I = 0; I < Points.size(); ++I) {
        const TPoint& A = Points[I];
        const TPoint& B = Points[J];
        if (((A.Y <= P.Y && P.Y < B.Y) || (B.Y <= P.Y && P.Y < A.Y))) {
            // In floating point, so that far-off coordinates cannot overflow.
            const double Num = static_cast<double>(B.X - A.X) * (P.Y - A.Y);
            if (P.X < Num / (B.Y - A.Y) + A.X)
                Result = !Result;
        }
        J = I;
    }
    return Result;
}

bool PointInTriangle(const TPoint& P, int X0, int X1, int Y0, int Y1)
{
    return PointInPolygon(P, {{X0, Y0}, {(X0 + X1) / 2, Y1}, {X1, Y0}});
}

bool PointInHorizTriangle(const TPoint& P, int Y0, int Y1, int X0, int X1)
{
    return PointInPolygon(P, {{X0, Y0}, {X1, (Y0 + Y1) / 2}, {X0, Y1}});
}

bool PointInEllipse(const TPoint& P, int Left, int Top, int Right, int Bottom)
{
    const int Cx = (Left + Right) / 2;
    const int Cy = (Top + Bottom) / 2;
    const double A2 = static_cast<double>(Cx - Left) * (Cx - Left);
    const double B2 = static_cast<double>(Cy - Top) * (Cy - Top);
    if (A2 == 0 || B2 == 0)
        return false;
    const double Dx = P.X - Cx;
    const double Dy = P.Y - Cy;
    return Dx * Dx / A2 + Dy * Dy / B2 <= 1;
}

bool CrossingLines(double X1, double Y1, double X2, double Y2, double X3, double Y3, double X4, double Y4,
                   double& X, double& Y)
{
    // The crossing of the two lines by determinants, so that vertical
    // segments need no slope.
    const double D = (X1 - X2) * (Y3 - Y4) - (Y1 - Y2) * (X3 - X4);
    const double Scale = (std::fabs(X1 - X2) + std::fabs(Y1 - Y2)) * (std::fabs(X3 - X4) + std::fabs(Y3 - Y4));
    if (std::fabs(D) <= 1e-15 * Scale) {
        // Parallel (or a segment of no length): no crossing point.
        X = X2;
        Y = Y2;
        return false;
    }
    const double C12 = X1 * Y2 - Y1 * X2;
    const double C34 = X3 * Y4 - Y3 * X4;
    X = (C12 * (X3 - X4) - (X1 - X2) * C34) / D;
    Y = (C12 * (Y3 - Y4) - (Y1 - Y2) * C34) / D;

    const double C1 = X1 * Y2 - X2 * Y1;
    const double C2 = X3 * Y4 - X4 * Y3;
    const bool S3 = (Y2 - Y1) * X3 - (X2 - X1) * Y3 - C1 > 0;
    const bool S4 = (Y2 - Y1) * X4 - (X2 - X1) * Y4 - C1 > 0;
    if (S3 == S4)
        return false;
    const bool S1 = (Y4 - Y3) * X1 - (X4 - X3) * Y1 - C2 > 0;
    const bool S2 = (Y4 - Y3) * X2 - (X4 - X3) * Y2 - C2 > 0;
    return S1 != S2;
}

// ------------------------------------------------------------------ drawing

void ChDrawCheckBox(int Left, int Top, TCanvas* Canvas, bool Checked, TColor BackColor, bool IsCheckBox)
{
    const TRect Box{Left, Top, Left + 13, Top + 13};
    TPen* Pen = Canvas->Pen();
    TBrush* Brush = Canvas->Brush();
    Pen->SetStyle(psSolid);
    Pen->SetWidth(1);
    Pen->SetMode(pmCopy);
    Pen->SetColor(clBtnShadow);
    Brush->SetStyle(bsSolid);
    Brush->SetColor(clWindow);
    if (IsCheckBox) {
        Canvas->Rectangle(Box);
        if (Checked) {
            Pen->SetColor(clWindowText);
            for (int i = 0; i < 3; ++i) {
                Canvas->MoveTo(Left + 3, Top + 5 + i);
                Canvas->LineTo(Left + 5, Top + 7 + i);
                Canvas->LineTo(Left + 10, Top + 2 + i);
            }
        }
    } else {
        Canvas->Ellipse(Box);
        if (Checked) {
            Pen->SetColor(clWindowText);
            Brush->SetColor(clWindowText);
            Canvas->Ellipse(Left + 4, Top + 4, Left + 9, Top + 9);
        }
    }
}

// ------------------------------------------------------------------ editor options

namespace {

const char* const ChEditorSection = "Editor";

}  // namespace

std::string ChEditorOptionsFile()
{
    std::string Folder;
    if (const char* Config = std::getenv("XDG_CONFIG_HOME"); Config != nullptr && *Config != '\0')
        Folder = Config;
    else if (const char* Home = std::getenv("HOME"); Home != nullptr)
        Folder = std::string(Home) + "/.config";
    return IncludeTrailingPathDelimiter(Folder) + "ChartLibrary/Editor.ini";
}

bool ChReadBoolOption(const std::string& Name, bool Default)
{
    const std::string File = ChEditorOptionsFile();
    if (!FileExists(File))
        return Default;
    TIniFile Ini(File);
    return Ini.ReadBool(ChEditorSection, Name, Default);
}

int ChReadIntegerOption(const std::string& Name, int Default)
{
    const std::string File = ChEditorOptionsFile();
    if (!FileExists(File))
        return Default;
    TIniFile Ini(File);
    return Ini.ReadInteger(ChEditorSection, Name, Default);
}

void ChSaveBoolOption(const std::string& Name, bool Value)
{
    const std::string File = ChEditorOptionsFile();
    ForceDirectories(ExtractFilePath(File));
    TIniFile Ini(File);
    Ini.WriteBool(ChEditorSection, Name, Value);
}

void ChSaveIntegerOption(const std::string& Name, int Value)
{
    const std::string File = ChEditorOptionsFile();
    ForceDirectories(ExtractFilePath(File));
    TIniFile Ini(File);
    Ini.WriteInteger(ChEditorSection, Name, Value);
}

// ------------------------------------------------------------------ text export

void TChExportData::CopyToClipboard()
{
    Clipboard()->SetText(AsString());
}

void TChExportData::SaveToStream(TStream* Stream)
{
    const std::string Text = AsString();
    Stream->WriteBuffer(Text.data(), static_cast<int64_t>(Text.size()));
}

void TChExportData::SaveToFile(const std::string& FileName)
{
    std::string Error;
    if (!WriteFileAtomic(FileName, AsString(), Error))
        throw EFileError("Cannot create file \"" + FileName + "\". " + Error);
}

// ------------------------------------------------------------------ resources

void ChLoadBitmap(TBitmap& Bitmap, const std::string& Name1, const std::string& Name2)
{
    if (!LoadBitmapResource(Bitmap, Name1))
        LoadBitmapResource(Bitmap, Name2);
}

void ChGetBitmapEditor(const TObject* Object, TBitmap& Bitmap)
{
    const TClass Class = Object->ClassType();
    ChLoadBitmap(Bitmap, Class->ClassName(), Class->ClassParent() ? Class->ClassParent()->ClassName() : "");
}

namespace {

// The library's start-up: its hand cursor.
const bool HandCursorRegistered = (RegisterStartUpCursor(crChartHand, crHandPoint), true);

}  // namespace
