// The report library's about box.
#pragma once

#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"

#include <string>

class TRpAboutBox : public TForm {
public:
    explicit TRpAboutBox(TComponent* AOwner);

    // Where a click on the link goes (the shell opens it), shown as the
    // link; none: no action.
    const std::string& WebAddress() const { return FWebAddress; }
    void SetWebAddress(const std::string& Value);

private:
    void Label3Click(TObject* Sender);

    TLabel* Label1;       // "Version 4.04"
    TLabel* Label2;
    TLabel* VisitLabel;   // the invitation to the web site
    TLabel* Label3;       // the link
    TBevel* Bevel1;
    TLabel* Label5;
    TLabel* Label4;       // the heading
    TButton* Button1;     // "OK"
    std::string FWebAddress;
};
