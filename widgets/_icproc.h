// Shared procedures of the instrument-control library: binary strings,
// logarithms and scale label lists, colours, text placement, integer and
// rectangle geometry, form positions and the library's start-up values.
#pragma once

#include "platform/Controls.h"
#include "platform/Graphics.h"

#include <cstdint>
#include <span>
#include <string>

// About texts of the library (the shared info record takes them from here).
inline constexpr const char* pName = "IcWidgets";
inline constexpr const char* pVersion = "1.4.0.0";
inline constexpr const char* pCopyright = "Instrument-control widgets for the analyzer workbench";
inline constexpr const char* pMail = "";
inline constexpr const char* pWWW = "";

// Settings key under which form positions are kept.
inline constexpr const char* IcKeyPath = "SOFTWARE\\IcWidgets\\Data\\";

// The library's hand cursor (the default slide cursor of its input
// controls), entered into Screen->Cursors at the library's start-up.
constexpr TCursor crIcHand = 5;
// The library's start-up, run once by the first of its components to be
// made (through LoadIcInfo).
void IcUnitStartUp();

// Folder of the program file with its trailing '/'.
const std::string& AppPath();
// The library's root folder from the per-user settings ("RootDir"), empty
// when none is set; VCLRoot is it + "/CB5".
const std::string& IcRoot();
const std::string& VCLRoot();

// Which point of a text's box lies on the given coordinates.
enum toPos {
    toTopLeft, toTopCenter, toTopRight,
    toMidLeft, toMidCenter, toMidRight,
    toBotLeft, toBotCenter, toBotRight
};

// ------------------------------------------------------- binary strings
// The last character is bit 0.

// Digits 0: the shortest form ("0" for zero, 32 characters for a negative
// value); Digits > 0: bits 0..Digits (Digits + 1 characters, at most 32),
// higher bits dropped.
std::string IcIntToBin(int32_t Value, int Digits);
std::string IcSingleToBin(float Value, int Digits);
// A '1' adds its weight, any other character nothing; only the last 32
// characters count.
uint32_t IcBinToLWord(const std::string& S);
int32_t IcBinToInt(const std::string& S);
float IcBinToSingle(const std::string& S);

// S without any occurrence of C.
std::string IcRemoveSign(const std::string& S, char C);
// The text before the first Separator; it and the separator leave S. Without
// a separator all of S is returned and S becomes empty.
std::string IcStrToken(std::string& S, char Separator);

// -------------------------------------------- logarithms and label lists

long double IcLog10(long double X);
long double IcPower(long double Base, long double Exponent);
// 10 ^ round(log10 X) (halves to even); X <= 0 counts as 1.
double IcRoundLogValue(double X, int& Exponent);
// Steps + 1 labels from B down to A, each followed by ';'.
std::string IcRangeStr(float A, float B, int Steps, const std::string& Format);
// Labels 1eN from ExpFrom to ExpTo (or back) in (ExpTo - ExpFrom) div Steps
// steps, each followed by ';'.
std::string IcLogRangeStr(int ExpFrom, int ExpTo, int Steps, const std::string& Format,
                          bool Descending);
// N + 1 decades starting at X (ascending) or ending at X's decade + N
// (descending), each followed by ';'.
std::string IcCalcLogStr(double X, int N, const std::string& Format, bool Descending);

// ---------------------------------------------------------- integers

int IcMinInt(int A, int B);
int IcMaxInt(int A, int B);
// Min wins when Min > Max.
int IcMinMaxInt(int Value, int Min, int Max);
// Nearest integer, halves to even, saturated to the 32-bit range (NaN gives 0).
int32_t IcRound(long double X);

// ------------------------------------------------------------- colours

// Step Index of Steps from C1 to C2, channel by channel (system colours
// resolved); equal colours give C1 as it is. Steps 0 counts as 1.
TColor IcCalcColor(TColor C1, TColor C2, int Steps, int Index);

// ---------------------------------------------------------------- text
// All with the canvas' current font.

void IcGetTextSize(TCanvas* Canvas, int& Width, int& Height, TPoint& Half, const std::string& S);
// Height of S and the widest of its ';'-separated tokens.
void IcGetMaxTokenSize(TCanvas* Canvas, int& MaxWidth, int& Height, const std::string& S);
// Writes S with the point Pos of its box at (X, Y).
void IcTextOut(TCanvas* Canvas, int X, int Y, const std::string& S, toPos Pos);
// Writes S turned Angle degrees clockwise about P.
void IcRotTextOut(TCanvas* Canvas, const TPoint& P, float Angle, const std::string& S, toPos Pos);
// Raised: a shadow below right and a light above left, then the text.
void IcTextOut3D(TCanvas* Canvas, int X, int Y, TColor TextColor, TColor LightColor,
                 TColor ShadowColor, const std::string& S, toPos Pos, bool Raised);

// ------------------------------------------ rectangle and point geometry

// R := the overlap of R1 and R2; true unless it is negative (touching counts).
bool IcRectIntersection(const TRect& R1, const TRect& R2, TRect& R);
// Left <= X < Right and Top <= Y <= Bottom.
bool IcInRect(int X, int Y, const TRect& R);
bool IcRectIsRect(const TRect& R1, const TRect& R2);
// R1 inside R2, shared edges allowed.
bool IcRectInRect(const TRect& R1, const TRect& R2);
void IcBorder(TRect& R, int W);
void IcMultiBorder(TRect& R, int L, int T, int Rt, int B);
TPoint IcCenterPoint(const TRect& R);
int IcGetRadius(const TRect& R);
// Grows R (outward only) so that it holds (X, Y).
void IcGetMaxRect(int X, int Y, TRect& R);
// P turned Angle degrees about Center; clockwise is clockwise on screen.
TPoint IcRotate(const TPoint& P, const TPoint& Center, float Angle, bool Clockwise);
// Copies the visible part of R on Canvas into Bitmap (sized to R); nothing
// when R lies outside the canvas' clip.
void GetBkUpImage(TCanvas* Canvas, TBitmap* Bitmap, const TRect& R);

// -------------------------------------------------------- form positions
// Kept per user in IcSettingsFileName(), one section per form class.

// $XDG_CONFIG_HOME (or ~/.config) + "/IcWidgets/IcWidgets.ini".
std::string IcSettingsFileName();
// Stores the form's Left and Top, first moved so the form lies on the screen.
void IcSaveFormPos(TControl* Form);
// Moves the form to its stored position (clipped to the screen); no stored
// position leaves it where it is.
void IcLoadFormPos(TControl* Form);

// Opens FileName (a document, folder or URL) with the desktop's usual
// program. A relative FileName is looked up in DefaultDir when one is given.
// Returns a value above 32 on success; 2 when the file does not exist, 31
// when the desktop has nothing to open it with. Params and ShowCmd are kept
// for callers: the desktop's open takes no arguments and places its own
// window. Texts of any length are passed whole, and no main form is needed.
int IcExecuteFile(const std::string& FileName, const std::string& Params, const std::string& DefaultDir,
                  int ShowCmd);

// ------------------------------------------------------------- drawing
// Painted through the canvas' pen and brush, which are left as the
// procedures set them. Angles are degrees clockwise from 12 o'clock.

enum TGradientStyle {
    gsHorizontal1, gsHorizontal2, gsHorizontal3,
    gsVertical1, gsVertical2, gsVertical3,
    gsElliptic1, gsElliptic2, gsElliptic3,
    gsRectangle, gsDiamond1, gsDiamond2,
    gsTopLeft, gsTopRight
};

enum TLEDShape { sRound, sArrowLeft, sArrowRight, sArrowUp, sArrowDown, sRectangle };

// A gradient from C1 to C2 over R, bands one colour level apart. An empty R
// draws nothing.
void IcGradFill(TCanvas* Canvas, const TRect& R, TColor C1, TColor C2, TGradientStyle Style);
// Anti-diagonal lines from C1 near the top-left to C2 near the bottom-right
// of R; they run past R, so the caller clips to its round face.
void IcCircleGradFill(TCanvas* Canvas, const TRect& R, TColor C1, TColor C2);
// Bitmap stretched into the ellipse of radii RX, RY about Center (turned by
// 180 degrees unless Upright), optionally framed. Offset maps Center's
// coordinates to the canvas' (0, 0 on a control's own canvas). Radii below 1
// draw nothing.
void Ic3DEllipse(TCanvas* Canvas, const TPoint& Offset, const TPoint& Center, int RX, int RY, TBitmap* Bitmap,
                 TColor FrameColor, bool Upright, bool Framed);
// A bevelled filled ellipse; R returns the face inside the bevel.
void IcEllipse3D(TCanvas* Canvas, TRect& R, TColor Color, bool Raised);
// A sunken circle of Radius about P (the outline is always clBtnHighlight).
void IcCircleAtPoint(TCanvas* Canvas, const TPoint& P, int Radius, TColor OutlineColor, TColor FillColor);
// A two-pixel button bevel, R filled first when Fill; R returns the face.
void IcBtnBevel(TCanvas* Canvas, TRect& R, bool Raised, bool Fill, TColor Color);
// A slider thumb about P, wide or tall. Unused is kept for callers.
void IcThumb(TCanvas* Canvas, const TPoint& P, int Size, bool Unused, bool Wide, TColor Color);
void IcDrawLED(TCanvas* Canvas, const TRect& R, TLEDShape Shape, TColor PenColor, TColor FillColor);
// Pie sector of the ellipse in R from StartAngle over Sweep degrees
// (clockwise when positive). A sector too thin to show draws nothing.
void IcRoundSector(TCanvas* Canvas, const TRect& R, float StartAngle, float Sweep);
// A horizontal scale of Steps main and SubSteps sub steps with the
// ';'-separated Labels, centred in R; R returns the ticks' extent.
void IcHorizScala(TCanvas* Canvas, const std::string& Labels, TRect& R, int Steps, int SubSteps, bool LabelsAbove);
// A filled triangle with its tip at PPT (0..1000) along R's top edge.
void IcDrawHPointer(TCanvas* Canvas, const TRect& R, int PPT, int HalfWidth, int Length, bool Unused);

// Arrow point lists: element 0 is the header (the low byte of X holds n, the
// index of the last point), element 1 the centre of rotation, 2..n the
// polygon.
void IcArrowSettings(TPoint& Header, int N, uint8_t B0, uint8_t B1, uint8_t B2, uint8_t B3);
// Dst[0..1] := Src[0..1], Dst[2..n] := Src[2..n] turned Angle degrees about
// Src[1]; then the filled polygon Dst[2..n]. n is limited to the points
// both lists hold.
void IcArrowDraw(TCanvas* Canvas, float Angle, std::span<const TPoint> Src, std::span<TPoint> Dst, bool Clockwise);

// Direction from Center to P: 0 up, 90 right, 180 down, 270 left.
float IcGetAngle(const TPoint& P, const TPoint& Center);
// Within half R's width of R's centre.
bool IcInCircle(int X, int Y, const TRect& R);
// The square of R's shorter side at R's top-left corner.
TRect IcMakeSquare(const TRect& R);
// The square of R's shorter side centred along R's longer side.
TRect IcMakeCenterSquare(const TRect& R);
