// The report library's about box: a heading (a navy shape with two
// pictures and the library's name), the version, a link to the web site.
#pragma once

#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/ImgList.h"
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
    TImageList* Pictures;
    TPaintBox* HeadingShape;
    TPaintBox* Picture1;
    TPaintBox* Picture2;
    TLabel* Label4;       // the heading: the library's name
    TButton* Button1;     // "OK"
    std::string FWebAddress;
};
