#include "workbench/About.h"

#include "platform/ExtCtrls.h"
#include "platform/StdCtrls.h"
#include "workbench/Main.h"

TdlgAbout* dlgAbout = nullptr;

TdlgAbout::TdlgAbout(TComponent* Owner) : TForm(Owner)
{
    SetName("dlgAbout");
    SetCaption("About");
    SetBorderStyle(bsDialog);
    SetPosition(poMainFormCenter);
    SetClientWidth(300);
    SetClientHeight(170);

    ProgramIcon = new TPaintBox(this);
    ProgramIcon->SetName("ProgramIcon");
    ProgramIcon->SetParent(this);
    ProgramIcon->SetBounds(12, 12, 32, 32);
    ProgramIcon->OnPaint = [this](TObject* Sender) { ProgramIconPaint(Sender); };

    auto Label = [this](TLabel*& Field, const std::string& Name, const std::string& Caption, int Top) {
        Field = new TLabel(this);
        Field->SetName(Name);
        Field->SetParent(this);
        Field->SetCaption(Caption);
        Field->SetBounds(56, Top, 230, 16);
    };
    Label(ProductName, "ProductName", "Zephra for Windows", 14);
    Label(WVersion, "WVersion", "", 44);
    Label(FVersion, "FVersion", "", 64);
    Label(lblDevSN, "lblDevSN", "", 84);

    OKButton = new TButton(this);
    OKButton->SetName("OKButton");
    OKButton->SetParent(this);
    OKButton->SetCaption("OK");
    OKButton->SetDefault(true);
    OKButton->SetCancel(true);   // Esc closes the box too
    OKButton->SetModalResult(mrOk);
    OKButton->SetBounds(112, 128, 75, 25);

    DoCreate();
}

void TdlgAbout::Execute()
{
    FVersion->SetCaption("Device Version " + (MainForm ? MainForm->DeviceVersion() : std::string()));
    WVersion->SetCaption("Software Version " + (MainForm ? MainForm->SoftwareVersion() : std::string()));
    lblDevSN->SetCaption("Device Serial Number " + (MainForm ? MainForm->SerialNumber() : std::string()));
    ShowModal();
}

void TdlgAbout::ProgramIconPaint(TObject* Sender)
{
    // A flow trace in a round badge.
    TCanvas* C = ProgramIcon->Canvas();
    C->Brush()->SetColor(clNavy);
    C->Pen()->SetColor(clNavy);
    C->Ellipse(0, 0, 32, 32);
    C->Pen()->SetColor(clWhite);
    C->MoveTo(5, 18);
    C->LineTo(11, 18);
    C->LineTo(14, 8);
    C->LineTo(18, 25);
    C->LineTo(21, 16);
    C->LineTo(27, 16);
}
