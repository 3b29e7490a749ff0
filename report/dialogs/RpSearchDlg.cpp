#include "report/dialogs/RpSearchDlg.h"

#include "report/Rp4const.h"

TSearchDlg* SearchDlg = nullptr;

TSearchDlg::TSearchDlg(TComponent* AOwner) : TForm(AOwner)
{
    SetName("SearchDlg");
    SetCaption(LoadResString(SRpSearchCaption));
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(305);
    SetClientHeight(118);
    Font()->SetName("MS Sans Serif");
    Font()->SetSize(8);

    Label1 = new TLabel(this);
    Label1->SetName("Label1");
    Label1->SetParent(this);
    Label1->SetCaption(LoadResString(SRpSearchFor));
    Label1->SetBounds(8, 8, 62, 13);

    Edit1 = new TEdit(this);
    Edit1->SetName("Edit1");
    Edit1->SetParent(this);
    Edit1->SetBounds(8, 26, 289, 21);
    Edit1->SetText("");

    CheckBox1 = new TCheckBox(this);
    CheckBox1->SetName("CheckBox1");
    CheckBox1->SetParent(this);
    CheckBox1->SetCaption(LoadResString(SRpMatchCase));
    CheckBox1->SetBounds(8, 56, 97, 17);

    SpeedButton1 = new TSpeedButton(this);
    SpeedButton1->SetName("SpeedButton1");
    SpeedButton1->SetParent(this);
    SpeedButton1->SetCaption(LoadResString(SRpCancel));
    SpeedButton1->SetBounds(128, 84, 81, 25);
    SpeedButton1->OnClick = [this](TObject* Sender) { SpeedButton1Click(Sender); };

    SpeedButton2 = new TSpeedButton(this);
    SpeedButton2->SetName("SpeedButton2");
    SpeedButton2->SetParent(this);
    SpeedButton2->SetCaption(LoadResString(SRpSearch));
    SpeedButton2->SetBounds(216, 84, 81, 25);
    SpeedButton2->OnClick = [this](TObject* Sender) { SpeedButton2Click(Sender); };
    DoCreate();
}

std::string TSearchDlg::GetText() const { return Edit1->Text(); }

bool TSearchDlg::GetCase() const { return CheckBox1->Checked(); }

void TSearchDlg::SpeedButton1Click(TObject* Sender)
{
    FCancelled = true;
    Close();
}

void TSearchDlg::SpeedButton2Click(TObject* Sender)
{
    FCancelled = false;
    Close();
}
