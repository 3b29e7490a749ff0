// Rich text printables: formatted text kept in a rich-edit control and laid
// out by the platform's format range straight onto the page canvas, inside
// the printable's rectangle.
//
// With AutoStretch a text longer than its rectangle grows the band in 5 mm
// steps; the layout is measured at each step and drawn once, at the final
// height, so that every line is on the page (and in a PDF's text layer)
// exactly once. What does not fit on the page stays for the next one: the
// printable leaves PrintComplete false and NextCharIndex at the first
// character not placed, and the band prints it again there.
//
// Characters are counted as the rich-edit control counts them; its format
// range returns the text length + 1 once everything is placed.
#pragma once

#include "platform/DB.h"
#include "platform/RichEdit.h"
#include "report/RpReport.h"

#include <cstdint>
#include <memory>
#include <string>

// The rich-edit control inside a rich text printable.
class TRpRichEdit : public TCustomRichEdit {
public:
    explicit TRpRichEdit(TComponent* AOwner) : TCustomRichEdit(AOwner) {}
};

class TRpCustomRichText : public TRpPrintable {
    OZ_CLASS(TRpCustomRichText, TRpPrintable);

public:
    static void Publish(TPublisher<TRpCustomRichText>& P);
    explicit TRpCustomRichText(TComponent* AOwner);
    ~TRpCustomRichText() override;

    void Print(int OfsX, int OfsY) override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void SetAlignment(TAlignment Value) override;

    // The first character still to print of an occurrence that goes on.
    int32_t NextCharIndex() const { return FNextCharIndex; }
    bool AutoStretch() const { return FAutoStretch; }
    void SetAutoStretch(bool Value) { FAutoStretch = Value; }
    TRpRichEdit* RichEditor() const { return FRichEditor.get(); }

    // Kept by RichEditor.
    TStrings* Lines() const { return FRichEditor->Lines(); }
    // Into RichEditor and, when set, into ParentRichEdit.
    void SetLines(TStrings* Value);
    // An outside control whose text is printed instead of RichEditor's;
    // setting it copies its text into RichEditor.
    TCustomRichEdit* ParentRichEdit() const { return FParentRichEdit; }
    void SetParentRichEdit(TCustomRichEdit* Value);

    // The control whose text prints.
    TCustomRichEdit* Source() const;

protected:
    void SetNextCharIndex(int32_t Value) { FNextCharIndex = Value; }
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void FontChanged() override;
    void ColorChanged() override;

private:
    // Hands the text placed from Start in Target (twips) to the export
    // filter as an image "RTF<n>".
    void ExportImage(TCustomRichEdit* Edit, const TRect& Target, int Start, int OfsX, int OfsY);

    int32_t FNextCharIndex = 0;
    bool FAutoStretch = false;
    TCustomRichEdit* FParentRichEdit = nullptr;
    std::unique_ptr<TRpRichEdit> FRichEditor;
};

class TRpRichText : public TRpCustomRichText {
    OZ_CLASS(TRpRichText, TRpCustomRichText);

public:
    static void Publish(TPublisher<TRpRichText>& P);
    explicit TRpRichText(TComponent* AOwner) : TRpCustomRichText(AOwner) {}
};

// The text of a memo or blob field (RTF or plain) of a data set.
class TRpDBRichText : public TRpCustomRichText {
    OZ_CLASS(TRpDBRichText, TRpCustomRichText);

public:
    static void Publish(TPublisher<TRpDBRichText>& P);
    explicit TRpDBRichText(TComponent* AOwner) : TRpCustomRichText(AOwner) {}
    ~TRpDBRichText() override;

    void Prepare() override;
    void UnPrepare() override;
    void Print(int OfsX, int OfsY) override;
    // Pixels: the printable's height and the 5 mm steps its text needs,
    // at most as high as the page's printable height.
    void GetExpandedHeight(long double& NewHeight) override;
    void GetFieldString(std::string& Value) override;

    TDataSet* DataSet() const { return FDataSet; }
    void SetDataSet(TDataSet* Value);
    const std::string& DataField() const { return FDataField; }
    void SetDataField(const std::string& Value) { FDataField = Value; }
    // The field found by Prepare.
    TField* Field() const { return FField; }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    bool TextField() const { return FField && FField->IsBlob(); }
    void LoadFromField();

    TField* FField = nullptr;
    std::string FDataField;
    TDataSet* FDataSet = nullptr;
};
