#include "chart/ChEditCtrls.h"

#include "platform/Classes.h"
#include "platform/Dialogs.h"

#include <memory>

namespace {

std::unique_ptr<TStringList> GCustomEditColors;

} // namespace

TStringList* ChCustomEditColors() { return GCustomEditColors.get(); }

void FreeChCustomEditColors() { GCustomEditColors.reset(); }

// ------------------------------------------------------------------ button with a symbol

TChButton::TChButton(TComponent* AOwner) : TButton(AOwner)
{
    SetBounds(Left(), Top(), 75, 25);
}

void TChButton::LinkProperty(TObject* Instance, const std::string& PropName)
{
    FInstance = Instance;
    if (Instance == nullptr)
        return;
    FInfo = PropName.empty() ? nullptr : Instance->ClassType()->FindProperty(PropName);
    Invalidate();
}

void TChButton::PaintOver(TCanvas* Canvas)
{
    TButton::PaintOver(Canvas);
    if (FInstance == nullptr)
        return;
    TChCanvas3D ChCanvas;
    ChCanvas.SetCanvas(Canvas);
    DrawSymbol(&ChCanvas);
}

void TChButton::TextChanged()
{
    TButton::TextChanged();
    Invalidate();
}

void TChButton::EnabledChanged()
{
    TButton::EnabledChanged();
    Repaint();
}

// ------------------------------------------------------------------ colour button

TColor TButtonColor::GetChColor()
{
    if (GetColorProc)
        return GetColorProc();
    if (FInfo != nullptr && FInstance != nullptr)
        return ColorToRGB(static_cast<TColor>(FInfo->GetOrd(FInstance)));
    return clNone;
}

void TButtonColor::SetChColor(TColor Value)
{
    if (FInfo != nullptr && FInstance != nullptr)
        FInfo->SetOrd(FInstance, Value);
}

void TButtonColor::DrawSymbol(TChCanvas* Canvas)
{
    const TColor Color = GetChColor();
    Canvas->Brush->SetColor(Color);
    if (Color == clNone)
        return;
    Canvas->Brush->SetStyle(bsSolid);
    if (!Enabled())
        Canvas->Pen->SetStyle(psClear);
    const int W = Width(), H = Height();
    Canvas->Rectangle(W - 19, H - 3 * (H / 4), W - 6, H - H / 4);
}

void TButtonColor::Click()
{
    if (FInstance == nullptr) {
        TChButton::Click();
        return;
    }
    TColor C = GetChColor();
    if (!EditColorDialog(this, C))
        return;
    SetChColor(C);
    Repaint();
    TChButton::Click();
}

// ------------------------------------------------------------------ flat combo box

TComboFlat::TComboFlat(TComponent* AOwner) : TComboBox(AOwner)
{
    SetStyle(csDropDownList);
    SetBounds(Left(), Top(), Width(), 21);
}

void TComboFlat::AddItem(const std::string& Text, TObject* Obj) { Items()->AddObject(Text, Obj); }

void TComboFlat::PaintOver(TCanvas* Canvas)
{
    TComboBox::PaintOver(Canvas);
    if (FMouseInControl || Focused())
        return;
    Canvas->Pen()->SetColor(clBtnFace);
    Canvas->Pen()->SetStyle(psSolid);
    Canvas->Pen()->SetWidth(1);
    Canvas->Brush()->SetStyle(bsClear);
    TRect R = ClientRect();
    Canvas->Rectangle(R);
    InflateRect(R, -1, -1);
    Canvas->Rectangle(R);
    // The drop-down button's width in the platform's style.
    R.Left = R.Right - DropDownButtonWidth() - 2;
    ++R.Top;
    --R.Bottom;
    Canvas->Pen()->SetColor(clWindow);
    Canvas->Rectangle(R);
    Canvas->MoveTo(R.Right - 2, R.Top);
    Canvas->LineTo(R.Right - 2, R.Bottom);
}

void TComboFlat::MouseEnter()
{
    TComboBox::MouseEnter();
    FMouseInControl = true;
    Repaint();
}

void TComboFlat::MouseLeave()
{
    TComboBox::MouseLeave();
    FMouseInControl = false;
    Repaint();
}

void TComboFlat::DoEnter()
{
    TComboBox::DoEnter();
    FMouseInControl = false;
    Repaint();
}

void TComboFlat::DoExit()
{
    TComboBox::DoExit();
    FMouseInControl = false;
    Repaint();
}

// ------------------------------------------------------------------ colour dialog

TColor EditColor(TComponent* Owner, TColor Color)
{
    auto Dialog = std::make_unique<TColorDialog>(Owner);
    Dialog->SetColor(Color);
    if (GCustomEditColors != nullptr)
        Dialog->SetCustomColors(GCustomEditColors.get());
    else
        GCustomEditColors = std::make_unique<TStringList>();
    if (!Dialog->Execute())
        return Color;
    GCustomEditColors->Assign(Dialog->CustomColors());
    return Dialog->Color();
}

bool EditColorDialog(TComponent* Owner, TColor& Color)
{
    const TColor C = EditColor(Owner, Color);
    if (C == Color)
        return false;
    Color = C;
    return true;
}
