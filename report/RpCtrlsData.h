// Text printables whose text comes from the run: a field of a data set
// (TRpDBText), an expression (TRpExpr, TRpDBCalc) and lines with braced
// expressions merged in (TRpExprMemo with TRpMerger).
#pragma once

#include "report/RpCtrls.h"
#include "report/RpExpr.h"

#include <memory>
#include <string>
#include <vector>

class TDataSet;
class TDataSource;
class TField;

// One field of a data set, formatted with Mask (numbers as a float mask,
// dates as a date-time format; a string field ignores it). Memo and blob
// fields print their text as lines.
class TRpDBText : public TRpCustomLabel {
    OZ_CLASS(TRpDBText, TRpCustomLabel);

public:
    static void Publish(TPublisher<TRpDBText>& P);
    explicit TRpDBText(TComponent* AOwner);

    TDataSet* DataSet() const { return FDataSet; }
    void SetDataSet(TDataSet* Value);
    const std::string& DataField() const { return FDataField; }
    // Also the design caption.
    void SetDataField(const std::string& Value);
    const std::string& Mask() const { return FMask; }
    void SetMask(const std::string& Value) { FMask = Value; }

    bool GetCaptionBased() const override { return !FIsBlob; }
    // Only text mirrors its alignment: with bdRightToLeft, no field or a
    // field of text, truth value or a kind after the date-times other than
    // an auto-increment number; numbers, dates and times keep theirs.
    bool UseRightToLeftAlignment() const override;
    void Prepare() override;
    void Print(int OfsX, int OfsY) override;
    void UnPrepare() override;
    void GetExpandedHeight(long double& NewHeight) override;
    void GetFieldString(std::string& Value) override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    // The field as the data set holds it now: by its stored position while
    // that field still has the name, else by name; nullptr when gone.
    TField* CurrentField() const;
    std::string FieldText(const TField* Field);

    int32_t FFieldIndex = -1;
    bool FFound = false;
    TDataSet* FDataSet = nullptr;
    std::string FDataField;
    std::string FMask;
    bool FIsBlob = false;
};

// The value of an expression; aggregates in it take in one record for each
// print of the detail band of the loop it follows (Master, or the host
// report's loop when the expression aggregates).
class TRpExpr : public TRpCustomLabel {
    OZ_CLASS(TRpExpr, TRpCustomLabel);

public:
    static void Publish(TPublisher<TRpExpr>& P);
    explicit TRpExpr(TComponent* AOwner);
    ~TRpExpr() override;
    TRpPrintableEditorClass GetEditorClass() const override { return RpPrintableEditorClass("TRpExprEditor"); }

    const std::string& Expression() const { return FExpression; }
    // Also the design caption ("(none)" when empty).
    void SetExpression(const std::string& Value);
    const std::string& Mask() const { return FMask; }
    void SetMask(const std::string& Value);
    TComponent* Master() const { return FMaster; }
    void SetMaster(TComponent* Value);
    bool ResetAfterPrint() const { return FResetAfterPrint; }
    void SetResetAfterPrint(bool Value) { FResetAfterPrint = Value; }

    void Prepare() override;
    void Print(int OfsX, int OfsY) override;
    void UnPrepare() override;
    void RpNotification(TObject* Sender, TRpNotifyOperation Operation) override;
    // The value, or an error value when not prepared.
    TRpEvResult GetValue();
    // The aggregates start again.
    void Reset();

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    std::unique_ptr<TRpEvaluator> FEvaluator;
    std::string FExpression;
    std::string FMask;
    TComponent* FMaster = nullptr;
    bool FResetAfterPrint = false;
};

enum TRpCalcOperation { rpcSum, rpcCount, rpcMax, rpcMin, rpcAverage };

// An aggregate over one field: its Expression is made from Operation and
// DataField ("Sum(QTY)", "Count", ...). DataSource and ResetBand are kept
// with the form only.
class TRpDBCalc : public TRpExpr {
    OZ_CLASS(TRpDBCalc, TRpExpr);

public:
    static void Publish(TPublisher<TRpDBCalc>& P);
    explicit TRpDBCalc(TComponent* AOwner);

    const std::string& DataField() const { return FDataField; }
    void SetDataField(const std::string& Value);
    TRpCalcOperation Operation() const { return FOperation; }
    void SetOperation(TRpCalcOperation Value);
    const std::string& PrintMask() const { return Mask(); }
    void SetPrintMask(const std::string& Value) { SetMask(Value); }
    TDataSource* DataSource() const { return FDataSource; }
    void SetDataSource(TDataSource* Value);
    TRpBand* ResetBand() const { return FResetBand; }
    void SetResetBand(TRpBand* Value);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void ApplyOperation();
    std::string FDataField;
    TRpCalcOperation FOperation = rpcSum;
    TDataSource* FDataSource = nullptr;
    TRpBand* FResetBand = nullptr;
};

// A braced expression of a template line: where its value goes.
class TMemoEvaluator : public TRpEvaluator {
public:
    int32_t LineIndex() const { return FLineIndex; }
    int32_t InsertPos() const { return FInsertPos; }
    void SetPlace(int32_t Line, int32_t Pos)
    {
        FLineIndex = Line;
        FInsertPos = Pos;
    }

private:
    int32_t FLineIndex = 0;
    int32_t FInsertPos = 0;   // 0-based character position in the bare line
};

// Merges the values of braced expressions into template lines: "Total:
// {SUM(QTY)}" prints the sum after "Total: ". A "{" without a "}" after it,
// an empty "{}" and a "}" before the first "{" stay as text; the search goes
// on after them.
class TRpMerger : public TObject {
public:
    TRpMerger();
    ~TRpMerger() override;

    TStrings* OrgLines() const { return FOrgLines.get(); }
    // nullptr until a merge has run.
    TStrings* MergedLines() const { return FMerged ? FMergedLines.get() : nullptr; }
    bool Prepared() const { return FPrepared; }
    // The fields the expressions may name (not owned).
    void SetMergeDataSets(TRpEvDatasets* Value) { FMergeDataSets = Value; }

    void Prepare();
    void Merge();
    void Unprepare();

private:
    std::unique_ptr<TStringList> FOrgLines;
    std::unique_ptr<TStringList> FBareLines;
    std::unique_ptr<TStringList> FMergedLines;
    bool FMerged = false;
    bool FPrepared = false;
    std::vector<std::unique_ptr<TMemoEvaluator>> FMemoExpressions;
    TRpEvDatasets* FMergeDataSets = nullptr;
};

// Lines with braced expressions merged in at print time.
class TRpExprMemo : public TRpCustomLabel {
    OZ_CLASS(TRpExprMemo, TRpCustomLabel);

public:
    static void Publish(TPublisher<TRpExprMemo>& P);
    explicit TRpExprMemo(TComponent* AOwner);
    ~TRpExprMemo() override;

    bool GetCaptionBased() const override { return false; }
    bool RemoveBlankLines() const { return FRemoveBlankLines; }
    void SetRemoveBlankLines(bool Value) { FRemoveBlankLines = Value; }

    void Prepare() override;
    void Print(int OfsX, int OfsY) override;
    void UnPrepare() override;

protected:
    void Paint() override;

private:
    std::unique_ptr<TRpMerger> FMerger;
    bool FRemoveBlankLines = false;
};

// A picture held in a blob field of a data set. With Stretch it fills the
// printed rectangle (an empty picture fills it with Color); without, it
// prints at its natural size, centred with Center, clipped to the rectangle.
class TRpDBImage : public TRpPrintable {
    OZ_CLASS(TRpDBImage, TRpPrintable);

public:
    static void Publish(TPublisher<TRpDBImage>& P);
    explicit TRpDBImage(TComponent* AOwner);
    ~TRpDBImage() override;

    TDataSet* DataSet() const { return FDataSet; }
    void SetDataSet(TDataSet* Value);
    const std::string& DataField() const { return FDataField; }
    void SetDataField(const std::string& Value) { FDataField = Value; }
    bool Stretch() const { return FStretch; }
    void SetStretch(bool Value);
    bool Center() const { return FCenter; }
    void SetCenter(bool Value);
    // The design picture.
    TPicture* Picture() const { return FPicture.get(); }

    void Prepare() override;
    void UnPrepare() override;
    void Print(int OfsX, int OfsY) override;
    void GetExpandedHeight(long double& NewHeight) override;
    // Loads the field's picture into Picture unless one was loaded.
    void LoadPicture();

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    // The blob field of the current record as a picture; false when there
    // is none or it cannot be read.
    bool FieldPicture(TPicture& Picture) const;

    TField* FField = nullptr;
    TDataSet* FDataSet = nullptr;
    std::string FDataField;
    std::unique_ptr<TPicture> FPicture;
    bool FStretch = false;
    bool FCenter = true;
    bool FPictureLoaded = false;
};
