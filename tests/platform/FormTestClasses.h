// Small component classes with every kind of stored value, for the form
// stream's tests and its fuzz target.
#pragma once

#include "platform/Classes.h"
#include "platform/Collections.h"
#include "platform/Filer.h"
#include "platform/Graphics.h"
#include "platform/PublishedProps.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

enum TTestShape { tsNone, tsCircle, tsSquare };
enum TTestOption { toFirst, toSecond, toThird };

class TTestOptions {
public:
    constexpr TTestOptions() = default;
    constexpr TTestOptions(std::initializer_list<TTestOption> Items)
    {
        for (TTestOption I : Items)
            FBits = static_cast<uint8_t>(FBits | 1u << I);
    }
    constexpr bool Contains(TTestOption I) const { return (FBits >> I & 1u) != 0; }
    constexpr uint8_t Bits() const { return FBits; }
    static constexpr TTestOptions FromBits(uint8_t Bits)
    {
        TTestOptions S;
        S.FBits = Bits;
        return S;
    }
    constexpr bool operator==(const TTestOptions&) const = default;

private:
    uint8_t FBits = 0;
};

inline const TIdentMap& TestShapeIdents()
{
    static const TIdentMap M = TIdentMap::Names({"tsNone", "tsCircle", "tsSquare"});
    return M;
}

inline const TIdentMap& TestOptionIdents()
{
    static const TIdentMap M = TIdentMap::Names({"toFirst", "toSecond", "toThird"});
    return M;
}

class TTestThing;

// An item of a collection, with a reference to a component of the form.
class TTestItem : public TCollectionItem {
    OZ_CLASS(TTestItem, TCollectionItem);

public:
    explicit TTestItem(TCollection* Collection) : TCollectionItem(Collection) {}
    double Value() const { return FValue; }
    void SetValue(double V) { FValue = V; }
    const std::string& Text() const { return FText; }
    void SetText(const std::string& V) { FText = V; }
    TComponent* Target() const { return FTarget; }
    void SetTarget(TComponent* V) { FTarget = V; }

    static void Publish(TPublisher<TTestItem>& P)
    {
        P.Float("Value", &TTestItem::Value, &TTestItem::SetValue).Default(0.0);
        P.String("Text", &TTestItem::Text, &TTestItem::SetText).Default("");
        P.Component("Target", &TTestItem::Target, &TTestItem::SetTarget);
    }

private:
    double FValue = 0;
    std::string FText;
    TComponent* FTarget = nullptr;
};

// An owned sub-object with a sub-object of its own.
class TTestPart : public TPersistent {
    OZ_CLASS(TTestPart, TPersistent);

public:
    int Size() const { return FSize; }
    void SetSize(int V) { FSize = V; }
    TFont* Font() { return &FFont; }
    TPen* Pen() { return &FPen; }

    static void Publish(TPublisher<TTestPart>& P)
    {
        P.Integer("Size", &TTestPart::Size, &TTestPart::SetSize).Default(5);
        P.Object("Font", &TTestPart::Font);
        P.Object("Pen", &TTestPart::Pen);
    }

private:
    int FSize = 5;
    TFont FFont;
    TPen FPen;
};

// A component with every kind of value.
class TTestThing : public TComponent {
    OZ_CLASS(TTestThing, TComponent);

public:
    explicit TTestThing(TComponent* AOwner)
        : TComponent(AOwner), FItems(this, MakeCollectionItem<TTestItem>), FLines(std::make_unique<TStringList>())
    {
    }

    int Count() const { return FCount; }
    void SetCount(int V) { FCount = V; }
    int64_t Big() const { return FBig; }
    void SetBig(int64_t V) { FBig = V; }
    uint8_t Small() const { return FSmall; }
    void SetSmall(uint8_t V) { FSmall = V; }
    bool Active() const { return FActive; }
    void SetActive(bool V) { FActive = V; }
    TTestShape Shape() const { return FShape; }
    void SetShape(TTestShape V) { FShape = V; }
    TTestOptions Options() const { return FOptions; }
    void SetOptions(TTestOptions V) { FOptions = V; }
    double Ratio() const { return FRatio; }
    void SetRatio(double V) { FRatio = V; }
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& V) { FCaption = V; }
    TColor Color() const { return FColor; }
    void SetColor(TColor V) { FColor = V; }
    TTestPart* Part() { return &FPart; }
    TCollection* Items() { return &FItems; }
    TTestItem* Item(int I) const { return static_cast<TTestItem*>(FItems.Items(I)); }
    TStringList* Lines() { return FLines.get(); }
    TComponent* Buddy() const { return FBuddy; }
    void SetBuddy(TComponent* V) { FBuddy = V; }
    TTestThing* Partner() const { return FPartner; }
    void SetPartner(TTestThing* V) { FPartner = V; }
    std::vector<uint8_t>& Blob() { return FBlob; }
    std::vector<int>& Points() { return FPoints; }
    // Raises for a negative value (a refused value of a property).
    int Limit() const { return FLimit; }
    void SetLimit(int V)
    {
        if (V < 0)
            throw Exception("Limit must not be negative");
        FLimit = V;
    }

    TNotifyEvent OnChange;   // events are not stored

    int LoadedCount() const { return FLoadedCount; }
    TComponent* BuddyWhenLoaded() const { return FBuddyWhenLoaded; }
    bool WasLoading() const { return FWasLoading; }

    void Loaded() override
    {
        FWasLoading = ComponentState().Contains(csLoading);
        TComponent::Loaded();
        ++FLoadedCount;
        FBuddyWhenLoaded = FBuddy;
    }

    void DefineProperties(TFiler* Filer) override
    {
        TComponent::DefineProperties(Filer);
        Filer->DefineBinaryProperty(
            "Blob",
            [this](TStream* S) {
                FBlob.assign(static_cast<size_t>(S->Size()), 0);
                if (!FBlob.empty())
                    S->ReadBuffer(FBlob.data(), S->Size());
            },
            [this](TStream* S) {
                if (!FBlob.empty())
                    S->WriteBuffer(FBlob.data(), static_cast<int64_t>(FBlob.size()));
            },
            !FBlob.empty());
        Filer->DefineProperty(
            "Points",
            [this](TReader* R) {
                FPoints.clear();
                R->ReadListBegin();
                while (!R->EndOfList())
                    FPoints.push_back(R->ReadInteger());
                R->ReadListEnd();
            },
            [this](TWriter* W) {
                W->WriteListBegin();
                for (int P : FPoints)
                    W->WriteInteger(P);
                W->WriteListEnd();
            },
            !FPoints.empty());
        // An older value kept only for reading.
        Filer->DefineProperty(
            "OldFlag", [this](TReader* R) { FActive = R->ReadBoolean(); }, nullptr, false);
    }

    static void Publish(TPublisher<TTestThing>& P)
    {
        P.Integer("Count", &TTestThing::Count, &TTestThing::SetCount).Default(0);
        P.Integer("Big", &TTestThing::Big, &TTestThing::SetBig).Default(0);
        P.Integer("Small", &TTestThing::Small, &TTestThing::SetSmall).Default(0);
        P.Boolean("Active", &TTestThing::Active, &TTestThing::SetActive).Default(false);
        P.Enumeration("Shape", &TTestThing::Shape, &TTestThing::SetShape, TestShapeIdents()).Default(tsCircle);
        P.Set("Options", &TTestThing::Options, &TTestThing::SetOptions, TestOptionIdents())
            .Default(TTestOptions{toFirst});
        P.Float("Ratio", &TTestThing::Ratio, &TTestThing::SetRatio).Default(1.5);
        P.String("Caption", &TTestThing::Caption, &TTestThing::SetCaption).Default("");
        P.Integer("Color", &TTestThing::Color, &TTestThing::SetColor).Default(clBlack).Idents(ColorIdents());
        P.Integer("Limit", &TTestThing::Limit, &TTestThing::SetLimit).Default(0);
        P.Object("Part", &TTestThing::Part);
        P.Object("Items", &TTestThing::Items);
        P.Object("Lines", &TTestThing::Lines);
        P.Component("Buddy", &TTestThing::Buddy, &TTestThing::SetBuddy);
        P.Component("Partner", &TTestThing::Partner, &TTestThing::SetPartner);
        P.Alias("Amount", "Count");
        P.Alias("PartSize", "Part.Size");
    }

private:
    int FCount = 0;
    int64_t FBig = 0;
    uint8_t FSmall = 0;
    bool FActive = false;
    TTestShape FShape = tsCircle;
    TTestOptions FOptions{toFirst};
    double FRatio = 1.5;
    std::string FCaption;
    TColor FColor = clBlack;
    int FLimit = 0;
    TTestPart FPart;
    TCollection FItems;
    std::unique_ptr<TStringList> FLines;
    TComponent* FBuddy = nullptr;
    TTestThing* FPartner = nullptr;
    std::vector<uint8_t> FBlob;
    std::vector<int> FPoints;
    int FLoadedCount = 0;
    TComponent* FBuddyWhenLoaded = nullptr;
    bool FWasLoading = false;
};

// A descendant with another default for an inherited property and a
// property of its own.
class TTestDerived : public TTestThing {
    OZ_CLASS(TTestDerived, TTestThing);

public:
    explicit TTestDerived(TComponent* AOwner) : TTestThing(AOwner) { SetCount(7); }
    const std::string& Note() const { return FNote; }
    void SetNote(const std::string& V) { FNote = V; }

    static void Publish(TPublisher<TTestDerived>& P)
    {
        P.Redeclare("Count").Default(7);
        P.String("Note", &TTestDerived::Note, &TTestDerived::SetNote).Default("");
    }

private:
    std::string FNote;
};

// Declares no class reference: answers as TTestThing.
class TTestUndeclared : public TTestThing {
public:
    using TTestThing::TTestThing;
};

// Makes an "Embedded" child in its constructor and, like a printable that
// holds a chart, frees it before reading so the stored one replaces it.
class TTestHolder : public TComponent {
    OZ_CLASS(TTestHolder, TComponent);

public:
    explicit TTestHolder(TComponent* AOwner) : TComponent(AOwner)
    {
        auto* E = new TTestThing(this);
        E->SetName("Embedded");
        E->SetCount(1);
    }
    void ReadState(TReader* Reader) override
    {
        delete FindComponent("Embedded");
        TComponent::ReadState(Reader);
    }
};

// Not registered: forms naming it do not load.
class TTestUnregistered : public TComponent {
    OZ_CLASS(TTestUnregistered, TComponent);

public:
    using TComponent::TComponent;
};

inline void RegisterTestClasses()
{
    RegisterClasses({TTestThing::StaticClass(), TTestDerived::StaticClass(), TTestHolder::StaticClass()});
}
