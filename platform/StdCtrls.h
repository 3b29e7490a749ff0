// The standard controls: label, buttons, check box, radio button, edits,
// memo, combo box, list box and group box, and the string lists through
// which lists and memos are read and written.
#pragma once

#include "platform/Controls.h"

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// A list kept in memory that tells its control of every change.
class TItemStrings : public TStrings {
public:
    enum TChange { icInsert, icDelete, icPut, icClear, icReset };
    // Changed(Kind, Index): icReset after a batch of changes (EndUpdate).
    explicit TItemStrings(std::function<void(TChange, int)> Changed) : FChanged(std::move(Changed)) {}

    int Count() const override { return static_cast<int>(FItems.size()); }
    std::string Get(int Index) const override;
    void Put(int Index, const std::string& Value) override;
    TObject* GetObject(int Index) const override;
    void PutObject(int Index, TObject* Value) override;
    void Insert(int Index, const std::string& S) override;
    void Delete(int Index) override;
    void Clear() override;

protected:
    void SetUpdateState(bool Updating) override;

private:
    void Notify(TChange Kind, int Index);
    std::vector<std::pair<std::string, TObject*>> FItems;
    std::function<void(TChange, int)> FChanged;
    bool FUpdating = false;
};

enum TTextLayout { tlTop, tlCenter, tlBottom };

class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* AOwner);

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout Value);
    // The label takes the size of its text.
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    // A '&' in the caption marks an access key and is not shown; "&&"
    // shows one '&'.
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool Value);
    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* Value);

protected:
    void TextChanged() override;
    void FontChanged() override;
    void ColorChanged() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void UpdateLabel();
    TAlignment FAlignment = taLeftJustify;
    TTextLayout FLayout = tlTop;
    bool FAutoSize = true;
    bool FWordWrap = false;
    bool FTransparent = false;
    bool FShowAccelChar = true;
    TWinControl* FFocusControl = nullptr;
};

class TButtonControl : public TWinControl {
protected:
    TButtonControl(TComponent* AOwner, QWidget* AHandle);
};

class TButton : public TButtonControl {
public:
    explicit TButton(TComponent* AOwner);

    // Clicking sets the form's ModalResult to it (mrNone leaves it).
    int ModalResult() const { return FModalResult; }
    void SetModalResult(int Value) { FModalResult = Value; }
    // Enter in the form clicks the default button, Esc the cancel button.
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    bool Cancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }

    // What a mouse click does: the form's ModalResult, then the action or OnClick.
    void Click() override;

    // The Qt side: the button has painted; Canvas draws over it.
    void WidgetPaintOver(TCanvas* Canvas) { PaintOver(Canvas); }

protected:
    void TextChanged() override;
    // Draws over the button once the platform has painted it; nothing here.
    virtual void PaintOver(TCanvas* Canvas) {}

private:
    int FModalResult = 0;
    bool FDefault = false;
    bool FCancel = false;
};

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

class TCheckBox : public TButtonControl {
public:
    explicit TCheckBox(TComponent* AOwner);
    bool Checked() const { return State() == cbChecked; }
    // A change clicks the box (OnClick), by code as by the user.
    void SetChecked(bool Value) { SetState(Value ? cbChecked : cbUnchecked); }
    TCheckBoxState State() const;
    void SetState(TCheckBoxState Value);
    bool AllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool Value);

protected:
    void TextChanged() override;

private:
    bool FAllowGrayed = false;
    bool FSetting = false;
};

class TRadioButton : public TButtonControl {
public:
    explicit TRadioButton(TComponent* AOwner);
    bool Checked() const;
    // Checking one unchecks the other radio buttons of the same parent;
    // a change clicks the button (OnClick).
    void SetChecked(bool Value);

protected:
    void TextChanged() override;

private:
    bool FSetting = false;
};

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

// A one-line edit. Every change of the text, typed or set by code, reaches
// Change (OnChange) once and at once.
class TCustomEdit : public TWinControl {
public:
    explicit TCustomEdit(TComponent* AOwner);

    bool ReadOnly() const;
    void SetReadOnly(bool Value);
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    // Non-zero: every character shows as it.
    char PasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(char Value);
    bool AutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool Value) { FAutoSelect = Value; }
    bool Modified() const { return FModified; }
    void SetModified(bool Value) { FModified = Value; }
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    // The height follows the font (the font's line and room for the border)
    // whenever the font changes, and when AutoSize is set or a form is read;
    // a height set in between stays until then.
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);

    // 0-based character positions.
    int SelStart() const;
    void SetSelStart(int Value);
    int SelLength() const;
    void SetSelLength(int Value);
    std::string SelText() const;
    void SetSelText(const std::string& Value);
    void SelectAll();
    void Clear() { SetText(""); }
    // The formatting rectangle: the text and the caret keep these distances
    // (pixels) from the sides of the text area, and the text scrolls so the
    // caret stays inside them (room for controls placed over the edit).
    void SetTextMargins(int Left, int Top, int Right, int Bottom);

    TNotifyEvent OnChange;

    // The Qt side: the text changed.
    void WidgetTextChanged(bool Typed);

protected:
    TCustomEdit(TComponent* AOwner, QWidget* AHandle);
    virtual void Change();
    std::string GetTextBuf() const override;
    void SetTextBuf(const std::string& Value) override;
    void DoEnter() override;
    void FontChanged() override;
    void Loaded() override;

private:
    void Init();
    void AdjustHeight();
    int FMaxLength = 0;
    char FPasswordChar = 0;
    bool FAutoSelect = true;
    bool FModified = false;
    TBorderStyle FBorderStyle = bsSingle;
    bool FAutoSize = true;
};

class TEdit : public TCustomEdit {
public:
    explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
};

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

// A multi-line edit. Lines reads and writes the widget's text directly;
// adding a line at the end is cheap (the protocol log adds thousands).
class TMemo : public TWinControl {
public:
    explicit TMemo(TComponent* AOwner);
    ~TMemo() override;

    TStrings* Lines() const { return FLines.get(); }
    void SetLines(TStrings* Value) { FLines->Assign(Value); }
    bool ReadOnly() const;
    void SetReadOnly(bool Value);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    bool WantReturns() const { return FWantReturns; }
    void SetWantReturns(bool Value) { FWantReturns = Value; }
    void Clear();
    // Selects the whole text.
    void SelectAll();
    // The caret and the selection, in characters from the start of the text
    // (a line break counts as one).
    int SelStart() const;
    void SetSelStart(int Value);
    int SelLength() const;
    void SetSelLength(int Value);
    std::string SelText() const;
    // Replaces the selection (inserts at the caret when there is none) and
    // puts the caret behind the new text.
    void SetSelText(const std::string& Value);
    bool WantsKey(uint16_t Key) const override { return Key == VK_RETURN && FWantReturns; }

    TNotifyEvent OnChange;

    // The Qt side: the text changed.
    void WidgetTextChanged();

protected:
    virtual void Change();
    std::string GetTextBuf() const override;
    void SetTextBuf(const std::string& Value) override;

private:
    std::unique_ptr<TStrings> FLines;
    TScrollStyle FScrollBars = ssNone;
    bool FWordWrap = true;
    bool FWantReturns = true;
};

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

class TComboBox : public TWinControl {
public:
    explicit TComboBox(TComponent* AOwner);
    ~TComboBox() override;

    TStrings* Items() const { return FItems.get(); }
    void SetItems(TStrings* Value) { FItems->Assign(Value); }
    // -1 when no entry is selected. Setting it by code fires no OnChange.
    int ItemIndex() const;
    void SetItemIndex(int Value);
    // csDropDownList: the text is always one of the items.
    TComboBoxStyle Style() const { return FStyle; }
    void SetStyle(TComboBoxStyle Value);
    int DropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int Value);
    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value) { FSorted = Value; }
    void Clear();

    // The user picked an entry or typed.
    TNotifyEvent OnChange;

    // Width of the drop-down button in the platform's style.
    int DropDownButtonWidth() const;

    // The Qt side.
    void WidgetChanged();
    // The combo box has painted; Canvas draws over it.
    void WidgetPaintOver(TCanvas* Canvas) { PaintOver(Canvas); }

protected:
    virtual void Change();
    // Draws over the combo box once the platform has painted it; nothing here.
    virtual void PaintOver(TCanvas* Canvas) {}
    std::string GetTextBuf() const override;
    void SetTextBuf(const std::string& Value) override;

private:
    void ItemsChanged(TItemStrings::TChange Kind, int Index);
    std::unique_ptr<TItemStrings> FItems;
    TComboBoxStyle FStyle = csDropDown;
    int FDropDownCount = 8;
    bool FSorted = false;
    int FSetting = 0;
};

class TCustomListBox : public TWinControl {
public:
    explicit TCustomListBox(TComponent* AOwner);
    ~TCustomListBox() override;

    TStrings* Items() const { return FItems.get(); }
    void SetItems(TStrings* Value) { FItems->Assign(Value); }
    int ItemIndex() const;
    void SetItemIndex(int Value);
    int Count() const { return FItems->Count(); }
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool Value);
    bool Selected(int Index) const;
    void SetSelected(int Index, bool Value);
    void Clear() { FItems->Clear(); }

protected:
    TCustomListBox(TComponent* AOwner, QWidget* AHandle);
    virtual void ItemsChanged(TItemStrings::TChange Kind, int Index);

private:
    void Init();
    std::unique_ptr<TItemStrings> FItems;
    bool FMultiSelect = false;
};

class TListBox : public TCustomListBox {
public:
    explicit TListBox(TComponent* AOwner) : TCustomListBox(AOwner) {}
};

// A framed box with a caption; its children sit inside the frame.
class TGroupBox : public TCustomControl {
public:
    explicit TGroupBox(TComponent* AOwner);

protected:
    TGroupBox(TComponent* AOwner, QWidget* AHandle);
    void AdjustClientRect(TRect& Rect) const override;
    void TextChanged() override;
};

enum TScrollBarKind { sbHorizontal, sbVertical };

// A scroll bar: a position between Min and Max, moved by the user's arrows
// (SmallChange) and page clicks (LargeChange). OnChange follows every change
// of the position, by the user or by code.
class TScrollBar : public TWinControl {
public:
    explicit TScrollBar(TComponent* AOwner);
    TScrollBarKind Kind() const { return FKind; }
    void SetKind(TScrollBarKind Value);
    int Min() const { return FMin; }
    void SetMin(int Value);
    int Max() const { return FMax; }
    void SetMax(int Value);
    // Kept within Min..Max.
    int Position() const { return FPosition; }
    void SetPosition(int Value);
    int SmallChange() const { return FSmallChange; }
    void SetSmallChange(int Value);
    // The step of a click beside the thumb (and of Page Up and Down).
    int LargeChange() const { return FLargeChange; }
    void SetLargeChange(int Value);
    // The part of the range the thumb stands for: 0, the usual small
    // thumb, whatever the large change.
    int PageSize() const { return FPageSize; }
    void SetPageSize(int Value);

    TNotifyEvent OnChange;

private:
    void Apply();
    void PositionChanged(int Value);
    TScrollBarKind FKind = sbHorizontal;
    int FMin = 0;
    int FMax = 100;
    int FPosition = 0;
    int FSmallChange = 1;
    int FLargeChange = 1;
    int FPageSize = 0;
    bool FApplying = false;
};
