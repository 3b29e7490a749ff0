#include "widgets/_icproc.h"

#include "platform/Forms.h"
#include "platform/IniFiles.h"
#include "platform/SysUtils.h"

#include <cxxabi.h>
#include <cstdlib>
#include <typeinfo>

#include <bit>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <limits>
#include <system_error>

namespace {

// Parses the text "1e<Exp>" as the number it names, so decades come out as
// exactly as a typed number would.
double Decade(long long Exp)
{
    const std::string s = "1e" + std::to_string(Exp);
    double v = 0.0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    if (r.ec == std::errc::result_out_of_range)
        return Exp < 0 ? 0.0 : std::numeric_limits<double>::infinity();
    return v;
}

}  // namespace

void IcUnitStartUp()
{
    static const bool done = [] {
        Screen->SetCursors(crIcHand, crHandPoint);
        return true;
    }();
    (void)done;
}

std::string IcSettingsFileName()
{
    std::string base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        base = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        base = std::string(home) + "/.config";
    else
        base = ".";
    return IncludeTrailingPathDelimiter(base) + "IcWidgets/IcWidgets.ini";
}

const std::string& IcRoot()
{
    static const std::string Root = [] {
        TIniFile ini(IcSettingsFileName());
        return ini.ReadString("IcWidgets", "RootDir", "");
    }();
    return Root;
}

const std::string& VCLRoot()
{
    static const std::string Root = IcRoot() + "/CB5";
    return Root;
}

const std::string& AppPath()
{
    static const std::string Path = [] {
        std::error_code ec;
        const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
        return ec ? std::string() : IncludeTrailingPathDelimiter(exe.parent_path().string());
    }();
    return Path;
}

// ------------------------------------------------------- binary strings

std::string IcIntToBin(int32_t Value, int Digits)
{
    if (Digits < 0)
        Digits = 0;
    const uint32_t bits = static_cast<uint32_t>(Value);
    std::string s;
    if (Digits == 0) {
        uint32_t v = bits;
        do {
            s.insert(s.begin(), (v & 1u) ? '1' : '0');
            v >>= 1;
        } while (v != 0);
        return s;
    }
    const int count = Digits >= 31 ? 32 : Digits + 1;
    for (int i = 0; i < count; ++i)
        s.insert(s.begin(), ((bits >> i) & 1u) ? '1' : '0');
    return s;
}

std::string IcSingleToBin(float Value, int Digits)
{
    return IcIntToBin(std::bit_cast<int32_t>(Value), Digits);
}

uint32_t IcBinToLWord(const std::string& S)
{
    uint32_t result = 0;
    const size_t n = S.size();
    for (size_t i = 0; i < n && i < 32; ++i)
        if (S[n - 1 - i] == '1')
            result |= 1u << i;
    return result;
}

int32_t IcBinToInt(const std::string& S)
{
    return static_cast<int32_t>(IcBinToLWord(S));
}

float IcBinToSingle(const std::string& S)
{
    return std::bit_cast<float>(IcBinToLWord(S));
}

std::string IcRemoveSign(const std::string& S, char C)
{
    std::string r;
    r.reserve(S.size());
    for (char ch : S)
        if (ch != C)
            r += ch;
    return r;
}

std::string IcStrToken(std::string& S, char Separator)
{
    const size_t p = S.find(Separator);
    std::string token;
    if (p == std::string::npos) {
        token.swap(S);
        return token;
    }
    token = S.substr(0, p);
    S.erase(0, p + 1);
    return token;
}

// -------------------------------------------- logarithms and label lists

long double IcLog10(long double X)
{
    return std::log(X) / std::log(10.0L);
}

long double IcPower(long double Base, long double Exponent)
{
    return std::exp(Exponent * std::log(Base));
}

double IcRoundLogValue(double X, int& Exponent)
{
    if (!(X > 0.0))
        X = 1.0;
    Exponent = IcRound(IcLog10(X));
    return Decade(Exponent);
}

std::string IcRangeStr(float A, float B, int Steps, const std::string& Format)
{
    std::string r;
    if (Steps < 0)
        return r;
    // No steps at all lists A alone instead of dividing by zero.
    const float Step = Steps == 0 ? 0.0f : (B - A) / static_cast<float>(Steps);
    for (int i = 0; i <= Steps; ++i) {
        const float v = static_cast<float>(Steps - i) * Step + A;
        r += FormatFloat(Format, v);
        r += ';';
    }
    return r;
}

std::string IcLogRangeStr(int ExpFrom, int ExpTo, int Steps, const std::string& Format,
                          bool Descending)
{
    if (Steps < 1)
        Steps = 1;
    long long Delta = (static_cast<long long>(ExpTo) - ExpFrom) / Steps;
    // More steps than decades would give a step of 0 and never reach the
    // far end: go one decade at a time instead.
    if (Delta == 0)
        Delta = ExpTo >= ExpFrom ? 1 : -1;
    std::string r;
    auto add = [&](long long e) {
        r += FormatFloat(Format, Decade(e));
        r += ';';
    };
    if (Descending) {
        long long e = ExpTo;
        add(e);
        while (e > ExpFrom) {
            e -= Delta;
            add(e);
        }
    } else {
        long long e = ExpFrom;
        add(e);
        while (e < ExpTo) {
            e += Delta;
            add(e);
        }
    }
    return r;
}

std::string IcCalcLogStr(double X, int N, const std::string& Format, bool Descending)
{
    if (!(X > 0.0))
        X = 1.0;
    std::string r;
    auto add = [&](double v) {
        r += FormatFloat(Format, v);
        r += ';';
    };
    if (Descending) {
        double V = Decade(static_cast<long long>(IcRound(IcLog10(X))) + N);
        add(V);
        for (int i = 0; i < N; ++i) {
            V /= 10.0;
            add(V);
        }
    } else {
        double V = X;
        add(V);
        for (int i = 0; i < N; ++i) {
            V *= 10.0;
            add(V);
        }
    }
    return r;
}

// ---------------------------------------------------------- integers

int IcMinInt(int A, int B) { return A < B ? A : B; }
int IcMaxInt(int A, int B) { return A > B ? A : B; }
int IcMinMaxInt(int Value, int Min, int Max) { return IcMaxInt(IcMinInt(Value, Max), Min); }

int32_t IcRound(long double X)
{
    if (std::isnan(X))
        return 0;
    const long double r = std::nearbyint(X);
    if (r >= 2147483647.0L)
        return std::numeric_limits<int32_t>::max();
    if (r <= -2147483648.0L)
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(r);
}

// ------------------------------------------------------------- colours

TColor IcCalcColor(TColor C1, TColor C2, int Steps, int Index)
{
    const TColor a = ColorToRGB(C1);
    const TColor b = ColorToRGB(C2);
    if (a == b)
        return C1;
    if (Steps == 0)
        Steps = 1;
    auto channel = [&](int c1, int c2) {
        const long double v = c1 + static_cast<long double>(IcRound(static_cast<long double>(c2 - c1) / Steps * Index));
        return IcMinMaxInt(IcRound(v), 0, 255);
    };
    return RGB(channel(GetRValue(a), GetRValue(b)), channel(GetGValue(a), GetGValue(b)),
               channel(GetBValue(a), GetBValue(b)));
}

// ---------------------------------------------------------------- text

void IcGetTextSize(TCanvas* Canvas, int& Width, int& Height, TPoint& Half, const std::string& S)
{
    Width = Canvas->TextWidth(S);
    Height = Canvas->TextHeight(S);
    Half = Point(Width / 2, Height / 2);
}

void IcGetMaxTokenSize(TCanvas* Canvas, int& MaxWidth, int& Height, const std::string& S)
{
    Height = Canvas->TextHeight(S);
    MaxWidth = 0;
    std::string rest = S;
    do {
        const std::string token = IcStrToken(rest, ';');
        MaxWidth = IcMaxInt(MaxWidth, Canvas->TextWidth(token));
    } while (!rest.empty());
}

void IcTextOut(TCanvas* Canvas, int X, int Y, const std::string& S, toPos Pos)
{
    const int w = Canvas->TextWidth(S);
    const int h = Canvas->TextHeight(S);
    switch (Pos % 3) {
    case 1: X -= w / 2; break;
    case 2: X -= w; break;
    default: break;
    }
    switch (Pos / 3) {
    case 1: Y -= h / 2; break;
    case 2: Y -= h; break;
    default: break;
    }
    Canvas->TextOut(X, Y, S);
}

void IcRotTextOut(TCanvas* Canvas, const TPoint& P, float Angle, const std::string& S, toPos Pos)
{
    TFont* font = Canvas->Font();
    const int oldOrientation = font->Orientation();
    const unsigned oldAlign = Canvas->TextAlign();
    // The font turns counter-clockwise; our angles count clockwise.
    font->SetOrientation(-static_cast<int>(std::trunc(Angle * 10.0f)));
    unsigned align = TA_LEFT | TA_TOP;
    TPoint anchor = P;
    switch (Pos) {
    case toTopLeft: align = TA_LEFT | TA_TOP; break;
    case toTopCenter: align = TA_CENTER | TA_TOP; break;
    case toTopRight: align = TA_RIGHT | TA_TOP; break;
    case toMidLeft: align = TA_LEFT | TA_TOP; break;
    case toMidCenter: align = TA_CENTER | TA_TOP; break;
    case toMidRight: align = TA_RIGHT | TA_TOP; break;
    case toBotLeft: align = TA_LEFT | TA_BASELINE; break;
    case toBotCenter: align = TA_CENTER | TA_BOTTOM; break;
    case toBotRight: align = TA_RIGHT | TA_BOTTOM; break;
    }
    if (Pos == toMidLeft || Pos == toMidCenter || Pos == toMidRight)
        anchor.Y -= Canvas->TextHeight(S) / 2;
    anchor = IcRotate(anchor, P, Angle, true);
    Canvas->SetTextAlign(align);
    Canvas->TextOut(anchor.X, anchor.Y, S);
    Canvas->SetTextAlign(oldAlign);
    font->SetOrientation(oldOrientation);
}

void IcTextOut3D(TCanvas* Canvas, int X, int Y, TColor TextColor, TColor LightColor,
                 TColor ShadowColor, const std::string& S, toPos Pos, bool Raised)
{
    TFont* font = Canvas->Font();
    if (Raised) {
        font->SetColor(ShadowColor);
        IcTextOut(Canvas, X + 1, Y + 1, S, Pos);
        font->SetColor(LightColor);
        IcTextOut(Canvas, X - 1, Y - 1, S, Pos);
    }
    font->SetColor(TextColor);
    IcTextOut(Canvas, X, Y, S, Pos);
}

// ------------------------------------------ rectangle and point geometry

bool IcRectIntersection(const TRect& R1, const TRect& R2, TRect& R)
{
    R = Rect(IcMaxInt(R1.Left, R2.Left), IcMaxInt(R1.Top, R2.Top), IcMinInt(R1.Right, R2.Right),
             IcMinInt(R1.Bottom, R2.Bottom));
    return !(R.Right < R.Left || R.Bottom < R.Top);
}

bool IcInRect(int X, int Y, const TRect& R)
{
    return R.Left <= X && X < R.Right && R.Top <= Y && Y <= R.Bottom;
}

bool IcRectIsRect(const TRect& R1, const TRect& R2)
{
    return R1 == R2;
}

bool IcRectInRect(const TRect& R1, const TRect& R2)
{
    return R1.Left >= R2.Left && R1.Top >= R2.Top && R1.Right <= R2.Right && R1.Bottom <= R2.Bottom;
}

void IcBorder(TRect& R, int W)
{
    IcMultiBorder(R, W, W, W, W);
}

void IcMultiBorder(TRect& R, int L, int T, int Rt, int B)
{
    R.Left += L;
    R.Top += T;
    R.Right -= Rt;
    R.Bottom -= B;
}

TPoint IcCenterPoint(const TRect& R)
{
    return Point(R.Left + (R.Right - R.Left) / 2, R.Top + (R.Bottom - R.Top) / 2);
}

int IcGetRadius(const TRect& R)
{
    return IcMinInt((R.Bottom - R.Top) / 2, (R.Right - R.Left) / 2);
}

void IcGetMaxRect(int X, int Y, TRect& R)
{
    R.Left = IcMinInt(R.Left, X);
    R.Top = IcMinInt(R.Top, Y);
    R.Right = IcMaxInt(R.Right, X);
    R.Bottom = IcMaxInt(R.Bottom, Y);
}

TPoint IcRotate(const TPoint& P, const TPoint& Center, float Angle, bool Clockwise)
{
    const float a = static_cast<float>(Angle * 3.14159265358979323846 / 180.0);
    const double c = std::cos(static_cast<double>(a));
    const double s = std::sin(static_cast<double>(a));
    const double dx = P.X - Center.X;
    const double dy = P.Y - Center.Y;
    if (Clockwise)
        return Point(IcRound(Center.X + std::nearbyint(dx * c - dy * s)),
                     IcRound(Center.Y + std::nearbyint(dy * c + dx * s)));
    return Point(IcRound(Center.X + std::nearbyint(dx * c + dy * s)),
                 IcRound(Center.Y + std::nearbyint(dy * c - dx * s)));
}

void GetBkUpImage(TCanvas* Canvas, TBitmap* Bitmap, const TRect& R)
{
    TRect visible;
    if (R.IsEmpty() || !IntersectRect(visible, R, Canvas->ClipRect()))
        return;
    Bitmap->SetSize(R.Width(), R.Height());
    TRect dest = visible;
    OffsetRect(dest, -R.Left, -R.Top);
    Bitmap->Canvas()->CopyRect(dest, Canvas, visible);
}

// -------------------------------------------------------- form positions

namespace {

std::string formSection(TControl* Form)
{
    const char* mangled = typeid(*Form).name();
    int status = 0;
    char* name = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
    std::string r = std::string(IcKeyPath) + (status == 0 && name ? name : mangled);
    std::free(name);
    return r;
}

// Moves (Left, Top) so a Width x Height form lies on the screen.
void clipToScreen(int& Left, int& Top, int Width, int Height)
{
    if (Left + Width > Screen->Width())
        Left = Screen->Width() - Width;
    if (Top + Height > Screen->Height())
        Top = Screen->Height() - Height;
    if (Left < 0)
        Left = 0;
    if (Top < 0)
        Top = 0;
}

}  // namespace

void IcSaveFormPos(TControl* Form)
{
    int left = Form->Left();
    int top = Form->Top();
    clipToScreen(left, top, Form->Width(), Form->Height());
    const std::string file = IcSettingsFileName();
    ForceDirectories(ExtractFilePath(file));
    TIniFile ini(file);
    ini.WriteInteger(formSection(Form), "Left", left);
    ini.WriteInteger(formSection(Form), "Top", top);
}

void IcLoadFormPos(TControl* Form)
{
    TIniFile ini(IcSettingsFileName());
    const std::string section = formSection(Form);
    int left = ini.ReadInteger(section, "Left", Form->Left());
    int top = ini.ReadInteger(section, "Top", Form->Top());
    clipToScreen(left, top, Form->Width(), Form->Height());
    Form->SetBounds(left, top, Form->Width(), Form->Height());
}

// ------------------------------------------------------------ opening files

int IcExecuteFile(const std::string& FileName, const std::string& Params, const std::string& DefaultDir,
                  int ShowCmd)
{
    constexpr int Opened = 33;
    constexpr int FileNotFound = 2;
    constexpr int NoAssociation = 31;
    if (FileName.empty())
        return FileNotFound;
    const bool IsUrl = FileName.find("://") != std::string::npos || FileName.rfind("mailto:", 0) == 0;
    if (IsUrl)
        return ShellOpen(FileName) ? Opened : NoAssociation;
    std::filesystem::path Path(FileName);
    if (Path.is_relative() && !DefaultDir.empty())
        Path = std::filesystem::path(DefaultDir) / Path;
    std::error_code ec;
    if (!std::filesystem::exists(Path, ec))
        return FileNotFound;
    return ShellOpen(std::filesystem::absolute(Path, ec).string()) ? Opened : NoAssociation;
}
