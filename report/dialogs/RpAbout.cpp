#include "report/dialogs/RpAbout.h"

#include "report/Rp4const.h"
#include "report/dialogs/RpHeading.h"

namespace {

TLabel* AddLabel(TForm* Form, const std::string& Name, int L, int T, int W, int H, const std::string& Caption)
{
    auto* C = new TLabel(Form);
    C->SetName(Name);
    C->SetParent(Form);
    C->SetBounds(L, T, W, H);
    C->SetCaption(Caption);
    return C;
}

}  // namespace

TRpAboutBox::TRpAboutBox(TComponent* AOwner) : TForm(AOwner)
{
    SetName("RpAboutBox");
    SetCaption("About");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(400);
    SetClientHeight(258);
    Pictures = new TImageList(this);
    Pictures->SetName("Pictures");
    HeadingShape = RpHeadingShape(this, "HeadingShape", Rect(0, 0, 400, 48));
    Picture1 = RpHeadingPicture(this, Pictures, rpicAboutPages, "Picture1", 8, 7);
    Picture2 = RpHeadingPicture(this, Pictures, rpicAboutPrint, "Picture2", 360, 7);
    Label4 = RpHeadingLabel(this, "Label4", LoadResString(SRpVendorName), Rect(48, 9, 352, 39));
    Label1 = AddLabel(this, "Label1", 8, 58, 200, 13, "Version 4.04");
    Label2 = AddLabel(this, "Label2", 8, 76, 384, 13, "");
    VisitLabel = AddLabel(this, "VisitLabel", 8, 96, 384, 30, LoadResString(SRpVisitWebSite));
    VisitLabel->SetWordWrap(true);
    Label3 = AddLabel(this, "Label3", 8, 130, 384, 13, "");
    Label3->Font()->SetColor(clNavy);
    Label3->Font()->SetStyle(TFontStyles{fsUnderline});
    Label3->SetCursor(crHandPoint);
    Label3->OnClick = [this](TObject* Sender) { Label3Click(Sender); };
    Bevel1 = new TBevel(this);
    Bevel1->SetName("Bevel1");
    Bevel1->SetParent(this);
    Bevel1->SetBounds(8, 152, 384, 2);
    Label5 = AddLabel(this, "Label5", 8, 162, 384, 40, "");
    Label5->Font()->SetSize(7);
    Button1 = new TButton(this);
    Button1->SetName("Button1");
    Button1->SetParent(this);
    Button1->SetBounds(162, 222, 75, 25);
    Button1->SetCaption("OK");
    Button1->SetDefault(true);
    Button1->SetCancel(true);
    Button1->SetModalResult(1);
}

void TRpAboutBox::SetWebAddress(const std::string& Value)
{
    FWebAddress = Value;
    Label3->SetCaption(Value);
}

void TRpAboutBox::Label3Click(TObject*)
{
    if (!FWebAddress.empty())
        ShellOpen(FWebAddress);
}
