#include "report/dialogs/RpHeading.h"

namespace {

constexpr int PictureSize = 32;
// The band's colour and the lighter line along its foot.
constexpr TColor HeadingColor = clNavy;
constexpr TColor HeadingEdge = 0x00C08040;   // blue (BGR)

}  // namespace

TPaintBox* RpHeadingShape(TForm* Form, const std::string& Name, const TRect& Bounds)
{
    auto* Shape = new TPaintBox(Form);
    Shape->SetName(Name);
    Shape->SetParent(Form);
    Shape->SetBoundsRect(Bounds);
    Shape->OnPaint = [Shape](TObject*) {
        TCanvas* C = Shape->Canvas();
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(HeadingColor);
        C->FillRect(Rect(0, 0, Shape->Width(), Shape->Height()));
        C->Brush()->SetColor(HeadingEdge);
        C->FillRect(Rect(0, Shape->Height() - 3, Shape->Width(), Shape->Height()));
    };
    return Shape;
}

TPaintBox* RpHeadingPicture(TForm* Form, TImageList* Images, TRpPicture Picture, const std::string& Name, int Left,
                            int Top)
{
    if (Images->Count() == 0) {
        Images->SetWidth(PictureSize);
        Images->SetHeight(PictureSize);
    }
    const int Index = Images->AddSvg(RpPictureSvg(Picture));
    auto* Box = new TPaintBox(Form);
    Box->SetName(Name);
    Box->SetParent(Form);
    Box->SetBounds(Left, Top, PictureSize, PictureSize);
    Box->OnPaint = [Box, Images, Index](TObject*) {
        TCanvas* C = Box->Canvas();
        C->Brush()->SetColor(HeadingColor);
        C->FillRect(Rect(0, 0, Box->Width(), Box->Height()));
        Images->Draw(C, 0, 0, Index);
    };
    return Box;
}

TLabel* RpHeadingLabel(TForm* Form, const std::string& Name, const std::string& Caption, const TRect& Bounds)
{
    auto* L = new TLabel(Form);
    L->SetName(Name);
    L->SetParent(Form);
    L->SetBoundsRect(Bounds);
    L->SetTransparent(true);
    L->SetCaption(Caption);
    L->Font()->SetName("Arial");
    L->Font()->SetHeight(-24);
    L->Font()->SetStyle(TFontStyles{fsBold});
    L->Font()->SetColor(clWhite);
    return L;
}
