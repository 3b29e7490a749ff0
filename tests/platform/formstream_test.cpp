// Class references, published-property tables and the form stream: forms
// written and read back byte for byte, defaults and older names, references,
// and the reader's refusal of damaged forms.
#include "FormTestClasses.h"

#include "platform/ExtCtrls.h"
#include "platform/Filer.h"
#include "platform/Menus.h"
#include "platform/PublishedProps.h"
#include "platform/Streams.h"
#include "platform/SysUtils.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

// Another class of a registered class's name.
namespace clash {
class TTestThing : public TComponent {
    OZ_CLASS(TTestThing, TComponent);

public:
    using TComponent::TComponent;
};
}  // namespace clash

namespace {

// A control with the platform's published control properties.
class TTestControl : public TCustomControl {
    OZ_CLASS(TTestControl, TCustomControl);

public:
    using TCustomControl::TCustomControl;
};

// A control that also shows the control properties concrete classes
// publish.
class TTestShowingControl : public TCustomControl {
    OZ_CLASS(TTestShowingControl, TCustomControl);

public:
    using TCustomControl::TCustomControl;

    static void Publish(TPublisher<TTestShowingControl>& P)
    {
        PublishAnchors(P);
        PublishConstraints(P);
        PublishCtl3D(P);
        PublishDragCursor(P);
        PublishDragKind(P);
        PublishDragMode(P);
        PublishParentCtl3D(P);
        PublishParentFont(P);
        PublishParentShowHint(P);
        PublishPopupMenu(P);
        PublishTabOrder(P);
    }
};

// Builds its font in Arial 14, as an instrument's scale does.
class TTestFontOwner : public TComponent {
    OZ_CLASS(TTestFontOwner, TComponent);

public:
    explicit TTestFontOwner(TComponent* AOwner) : TComponent(AOwner)
    {
        FFont.SetName("Arial");
        FFont.SetSize(14);
        FFont.KeepAsDefaults();
    }
    TFont* Font() { return &FFont; }
    static void Publish(TPublisher<TTestFontOwner>& P) { P.Object("Font", &TTestFontOwner::Font); }

private:
    TFont FFont;
};

class FormStream : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterTestClasses();
        RegisterClasses({TTestControl::StaticClass(), TTestShowingControl::StaticClass(),
                         TTestFontOwner::StaticClass()});
    }
};

std::string Write(TComponent* C)
{
    TMemoryStream S;
    S.WriteComponent(C);
    return std::string(reinterpret_cast<const char*>(S.Memory()), static_cast<size_t>(S.Size()));
}

std::unique_ptr<TComponent> Read(const std::string& Text, TComponent* Into = nullptr)
{
    TMemoryStream S;
    S.WriteBuffer(Text.data(), static_cast<int64_t>(Text.size()));
    S.SetPosition(0);
    TComponent* C = S.ReadComponent(Into);
    return std::unique_ptr<TComponent>(Into ? nullptr : C);
}

template <class T>
T* Child(TComponent* Owner, const std::string& Name)
{
    auto* C = dynamic_cast<T*>(Owner->FindComponent(Name));
    EXPECT_NE(C, nullptr) << Name;
    return C;
}

// A form with every kind of value: nested owned components, sub-objects,
// a collection, references (one to the root, one two levels down, one from
// a collection item), binary bytes, a list, enumerations, sets and texts
// needing escapes.
std::unique_ptr<TTestThing> FullForm()
{
    auto Root = std::make_unique<TTestThing>(nullptr);
    Root->SetName("Root");
    auto* Child1 = new TTestThing(Root.get());
    Child1->SetName("Child1");
    auto* Grand = new TTestDerived(Child1);
    Grand->SetName("Grand");
    Grand->SetNote("deep");
    Grand->SetCount(0);
    auto* Child2 = new TTestThing(Root.get());
    Child2->SetName("Child2");
    Child2->SetPartner(Root.get());
    Child2->SetShape(tsNone);

    Root->SetCount(-42);
    Root->SetBig(-9007199254740993);
    Root->SetSmall(255);
    Root->SetActive(true);
    Root->SetShape(tsSquare);
    Root->SetOptions(TTestOptions{toSecond, toThird});
    Root->SetRatio(0.1);
    Root->SetCaption(std::string("Flow \"in\" \xC2\xB5L\\s\n\t\x01 \xFF"));
    Root->SetColor(clRed);
    Root->Part()->SetSize(9);
    Root->Part()->Font()->SetStyle(TFontStyles{fsBold, fsUnderline});
    Root->Part()->Font()->SetColor(RGB(1, 2, 3));
    Root->Part()->Font()->SetName("Arial");
    Root->Part()->Pen()->SetWidth(3);
    Root->Part()->Pen()->SetStyle(psDot);
    auto* I0 = static_cast<TTestItem*>(Root->Items()->Add());
    I0->SetValue(-2.5);
    I0->SetTarget(Child2);
    auto* I1 = static_cast<TTestItem*>(Root->Items()->Add());
    I1->SetText("second");
    Root->Lines()->Add("one");
    Root->Lines()->Add("");
    Root->SetBuddy(Grand);
    for (int I = 0; I < 40; ++I)
        Root->Blob().push_back(static_cast<uint8_t>(I * 7));
    Root->Points() = {1, -2, 3};
    Child1->SetRatio(1e300);
    Child1->SetBig(INT64_MIN);
    return Root;
}

const char* const FullText =
    "object Root: TTestThing\n"
    "  Count = -42\n"
    "  Big = -9007199254740993\n"
    "  Small = 255\n"
    "  Active = True\n"
    "  Shape = tsSquare\n"
    "  Options = [toSecond, toThird]\n"
    "  Ratio = 0.1\n"
    "  Caption = \"Flow \\\"in\\\" \xC2\xB5L\\\\s\\n\\t\\x01 \\xFF\"\n"
    "  Color = clRed\n"
    "  Part.Size = 9\n"
    "  Part.Font.Color = 197121\n"
    "  Part.Font.Name = \"Arial\"\n"
    "  Part.Font.Style = [fsBold, fsUnderline]\n"
    "  Part.Pen.Style = psDot\n"
    "  Part.Pen.Width = 3\n"
    "  Items = <\n"
    "    item\n"
    "      Value = -2.5\n"
    "      Target = Child2\n"
    "    end\n"
    "    item\n"
    "      Text = \"second\"\n"
    "    end>\n"
    "  Lines.Strings = (\n"
    "    \"one\"\n"
    "    \"\")\n"
    "  Buddy = Child1.Grand\n"
    "  Blob = {\n"
    "    00070E151C232A31383F464D545B626970777E858C939AA1A8AFB6BDC4CBD2D9\n"
    "    E0E7EEF5FC030A11}\n"
    "  Points = (\n"
    "    1\n"
    "    -2\n"
    "    3)\n"
    "  object Child1: TTestThing\n"
    "    Big = -9223372036854775808\n"
    "    Ratio = 1E300\n"
    "    object Grand: TTestDerived\n"
    "      Count = 0\n"
    "      Note = \"deep\"\n"
    "    end\n"
    "  end\n"
    "  object Child2: TTestThing\n"
    "    Shape = tsNone\n"
    "    Partner = Root\n"
    "  end\n"
    "end\n";

}  // namespace

// ------------------------------------------------------------ class references

TEST(ClassReference, NamesParentsAndVirtualConstructor)
{
    EXPECT_EQ(sizeof(TObject), sizeof(void*)) << "TObject carries no data";

    TTestDerived D(nullptr);
    TObject* O = &D;
    EXPECT_EQ(O->ClassName(), "TTestDerived");
    EXPECT_EQ(O->ClassType(), TTestDerived::StaticClass());
    EXPECT_EQ(TTestDerived::StaticClass()->ClassParent(), TTestThing::StaticClass());
    EXPECT_EQ(TTestThing::StaticClass()->ClassParent(), TComponent::StaticClass());
    EXPECT_EQ(TComponent::StaticClass()->ClassParent()->ClassParent(), TObject::StaticClass());
    EXPECT_EQ(TObject::StaticClass()->ClassParent(), nullptr);
    EXPECT_TRUE(O->InheritsFrom(TTestThing::StaticClass()));
    EXPECT_TRUE(O->InheritsFrom(TPersistent::StaticClass()));
    EXPECT_FALSE(TTestThing::StaticClass()->InheritsFrom(TTestDerived::StaticClass()));
    EXPECT_TRUE(TTestThing::StaticClass()->ClassNameIs("ttestthing"));

    // A class that declares nothing answers with its nearest declaring ancestor.
    TTestUndeclared U(nullptr);
    EXPECT_EQ(U.ClassName(), "TTestThing");

    // Platform classes answer for themselves.
    TFont F;
    TStringList L;
    EXPECT_EQ(F.ClassName(), "TFont");
    EXPECT_EQ(F.ClassType()->ClassParent()->ClassName(), "TGraphicsObject");
    EXPECT_EQ(L.ClassName(), "TStringList");
    EXPECT_EQ(L.ClassType()->ClassParent()->ClassName(), "TStrings");

    // The virtual constructor makes the class it belongs to, owned by Owner.
    TComponent Owner(nullptr);
    TComponent* C = TTestDerived::StaticClass()->Create(&Owner);
    EXPECT_EQ(C->ClassType(), TTestDerived::StaticClass());
    EXPECT_EQ(C->Owner(), &Owner);
    EXPECT_EQ(static_cast<TTestDerived*>(C)->Count(), 7) << "its own constructor ran";
    EXPECT_FALSE(TFont::StaticClass()->CanCreate());
    EXPECT_FALSE(TStrings::StaticClass()->CanCreate());
    EXPECT_THROW(TFont::StaticClass()->Create(nullptr), Exception);
}

TEST(ClassReference, RegistryFindsRegisteredClassesByName)
{
    RegisterTestClasses();
    RegisterTestClasses();   // twice does nothing
    EXPECT_EQ(GetClass("TTESTTHING"), TTestThing::StaticClass());
    EXPECT_EQ(FindClass("TTestDerived"), TTestDerived::StaticClass());
    EXPECT_EQ(GetClass("TTestUnregistered"), nullptr);
    EXPECT_THROW(FindClass("TTestUnregistered"), EClassNotFound);

    // Another class under a registered name is refused.
    EXPECT_THROW(RegisterClass(clash::TTestThing::StaticClass()), std::logic_error);
    EXPECT_EQ(GetClass("TTestThing"), TTestThing::StaticClass());
    RegisterClass(TTestUnregistered::StaticClass());
    EXPECT_EQ(FindClass("TTestUnregistered"), TTestUnregistered::StaticClass());
    UnRegisterClass(TTestUnregistered::StaticClass());
    EXPECT_EQ(GetClass("TTestUnregistered"), nullptr);
}

// -------------------------------------------------------------- property tables

TEST(PropertyTable, AncestorsFirstAndRedeclaredInPlace)
{
    TTestDerived D(nullptr);
    const auto& Props = D.ClassType()->Properties();
    std::vector<std::string> Names;
    for (const TPropInfo* P : Props)
        Names.push_back(P->Name());
    ASSERT_GE(Names.size(), 4u);
    EXPECT_EQ(Names.front(), "Tag") << "TComponent's property first";
    EXPECT_EQ(Names[1], "Count");
    EXPECT_EQ(Names.back(), "Note");

    const TPropInfo* Count = GetPropInfo(&D, "count");
    ASSERT_NE(Count, nullptr);
    EXPECT_EQ(Count, Props[1]);
    EXPECT_TRUE(Count->IsDefault(&D)) << "TTestDerived's default is 7";
    TTestThing T(nullptr);
    EXPECT_FALSE(GetPropInfo(&T, "Count")->IsDefault(&D));
    EXPECT_EQ(GetPropInfo(&T, "Note"), nullptr);

    const TPropInfo* Small = GetPropInfo(&T, "Small");
    EXPECT_EQ(Small->Kind(), tkInteger);
    EXPECT_EQ(Small->MinValue(), 0);
    EXPECT_EQ(Small->MaxValue(), 255);
    EXPECT_EQ(GetPropInfo(&T, "Options")->Kind(), tkSet);
    EXPECT_EQ(GetPropInfo(&T, "Active")->Kind(), tkEnumeration);
    EXPECT_EQ(GetPropInfo(&T, "Part")->Kind(), tkClass);
    EXPECT_EQ(GetPropInfo(&T, "Buddy")->Kind(), tkComponent);
    EXPECT_TRUE(GetPropInfo(&T, "Amount")->IsAlias());
    EXPECT_EQ(GetPropInfo(&T, "PartSize")->AliasOf(), "Part.Size");

    // The accessors reach the instance's values.
    GetPropInfo(&T, "Shape")->SetOrd(&T, tsSquare);
    EXPECT_EQ(T.Shape(), tsSquare);
    GetPropInfo(&T, "Caption")->SetString(&T, "x");
    EXPECT_EQ(T.Caption(), "x");
    EXPECT_EQ(GetPropInfo(&T, "Part")->GetObject(&T), T.Part());

    // Platform persistent classes chain like any other.
    TFont F;
    EXPECT_TRUE(GetPropInfo(&F, "Height")->IsDefault(&F));
    F.SetSize(12);
    EXPECT_FALSE(GetPropInfo(&F, "Height")->IsDefault(&F));
    EXPECT_FALSE(GetPropInfo(&F, "Size")->IsStored(&F)) << "Size is read, Height stored";
}

TEST(PropertyTable, MisdeclaredTablesAreRefused)
{
    class TBad : public TComponent {
        OZ_CLASS(TBad, TComponent);

    public:
        using TComponent::TComponent;
        static void Publish(TPublisher<TBad>& P)
        {
            P.Integer("Tag", &TBad::Tag, &TBad::SetTag);
            P.Integer("Tag", &TBad::Tag, &TBad::SetTag);
        }
    };
    class TReserved : public TComponent {
        OZ_CLASS(TReserved, TComponent);

    public:
        using TComponent::TComponent;
        static void Publish(TPublisher<TReserved>& P) { P.Integer("End", &TReserved::Tag, &TReserved::SetTag); }
    };
    EXPECT_THROW(TBad::StaticClass()->Properties(), std::logic_error);
    EXPECT_THROW(TReserved::StaticClass()->Properties(), std::logic_error);
}

// ------------------------------------------------------------------ round trips

TEST_F(FormStream, EveryKindOfValueRoundTripsByteForByte)
{
    auto Root = FullForm();
    const std::string Text = Write(Root.get());
    EXPECT_EQ(Text, FullText);

    auto Copy = Read(Text);
    ASSERT_NE(Copy, nullptr);
    EXPECT_EQ(Write(Copy.get()), Text);

    auto* R = dynamic_cast<TTestThing*>(Copy.get());
    ASSERT_NE(R, nullptr);
    EXPECT_EQ(R->Caption(), Root->Caption()) << "escapes and a stray byte come back";
    EXPECT_EQ(R->Ratio(), 0.1);
    EXPECT_EQ(R->Options(), (TTestOptions{toSecond, toThird}));
    EXPECT_EQ(R->Part()->Font()->Style(), (TFontStyles{fsBold, fsUnderline}));
    EXPECT_EQ(R->Blob(), Root->Blob());
    EXPECT_EQ(R->Points(), Root->Points());
    EXPECT_EQ(R->Lines()->Count(), 2);
    ASSERT_EQ(R->Items()->Count(), 2);

    auto* Child1 = Child<TTestThing>(R, "Child1");
    auto* Child2 = Child<TTestThing>(R, "Child2");
    auto* Grand = Child<TTestDerived>(Child1, "Grand");
    EXPECT_EQ(Grand->Owner(), Child1) << "nested as owned";
    EXPECT_EQ(Grand->Count(), 0);
    EXPECT_EQ(R->Buddy(), Grand);
    EXPECT_EQ(R->Item(0)->Target(), Child2);
    EXPECT_EQ(Child2->Partner(), R);
    EXPECT_EQ(Child1->Big(), INT64_MIN);

    // Loaded once each, after the references were resolved, and the loading
    // state ends with it.
    for (TTestThing* T : {R, Child1, Child2, static_cast<TTestThing*>(Grand)}) {
        EXPECT_EQ(T->LoadedCount(), 1) << T->Name();
        EXPECT_TRUE(T->WasLoading()) << T->Name();
        EXPECT_FALSE(T->ComponentState().Contains(csLoading)) << T->Name();
    }
    EXPECT_EQ(R->BuddyWhenLoaded(), Grand);
}

TEST_F(FormStream, DefaultsAreNotWrittenAndOlderNamesOnlyRead)
{
    TTestThing Fresh(nullptr);
    Fresh.SetName("Fresh");
    TComponent Outsider(nullptr);
    Outsider.SetName("Outsider");
    Fresh.SetBuddy(&Outsider);   // outside the form: not stored
    Fresh.OnChange = [](TObject*) {};
    EXPECT_EQ(Write(&Fresh), "object Fresh: TTestThing\nend\n");

    TTestDerived D(nullptr);
    EXPECT_EQ(Write(&D), "object TTestDerived\nend\n") << "7 is its own default";
    D.SetCount(0);
    EXPECT_EQ(Write(&D), "object TTestDerived\n  Count = 0\nend\n");

    auto Old = Read("object Old: TTestThing\n"
                    "  Amount = 4\n"
                    "  PartSize = 8\n"
                    "  oldflag = true\n"
                    "  shape = TSSQUARE\n"
                    "end");
    auto* T = static_cast<TTestThing*>(Old.get());
    EXPECT_EQ(T->Count(), 4);
    EXPECT_EQ(T->Part()->Size(), 8);
    EXPECT_TRUE(T->Active());
    EXPECT_EQ(T->Shape(), tsSquare);
    EXPECT_EQ(Write(T), "object Old: TTestThing\n"
                        "  Count = 4\n"
                        "  Active = True\n"
                        "  Shape = tsSquare\n"
                        "  Part.Size = 8\n"
                        "end\n");

    // A colour by name or number; floats from integers; special floats.
    auto V = Read("object V: TTestThing\n Color = 255 Ratio = 2 Part.Font.Color = clwindowtext\nend\n");
    auto* W = static_cast<TTestThing*>(V.get());
    EXPECT_EQ(W->Color(), clRed);
    EXPECT_EQ(W->Ratio(), 2.0);
    EXPECT_EQ(W->Part()->Font()->Color(), clWindowText);
    W->SetRatio(std::numeric_limits<double>::infinity());
    EXPECT_NE(Write(W).find("Ratio = INF\n"), std::string::npos);
    EXPECT_EQ(Write(Read(Write(W)).get()), Write(W));

    // Floats keep every bit, the smallest and largest included.
    for (double X : {5e-324, 2.2250738585072014e-308, 1.7976931348623157e308, -1e-5, 123456789012345678.0, 3.0}) {
        W->SetRatio(X);
        auto Back = Read(Write(W));
        EXPECT_EQ(static_cast<TTestThing*>(Back.get())->Ratio(), X) << Write(W);
    }
}

TEST(Collection, ItemsBelongToTheirCollection)
{
    TComponent Owner(nullptr);
    TCollection A(&Owner, MakeCollectionItem<TTestItem>), B(&Owner, MakeCollectionItem<TTestItem>);
    EXPECT_EQ(A.Owner(), &Owner);
    auto* I0 = static_cast<TTestItem*>(A.Add());
    auto* I1 = static_cast<TTestItem*>(A.Add());
    I1->SetText("one");
    EXPECT_EQ(I1->Index(), 1);
    EXPECT_EQ(A.FindItemID(I1->ID()), I1);
    I1->SetIndex(0);
    EXPECT_EQ(A.Items(0), I1);
    I0->SetCollection(&B);
    EXPECT_EQ(A.Count(), 1);
    EXPECT_EQ(B.Items(0), I0);
    delete I1;   // an item leaves its collection when freed
    EXPECT_EQ(A.Count(), 0);
    EXPECT_THROW(A.Items(0), Exception);
    A.Insert(0);
    B.Clear();
    EXPECT_EQ(B.Count(), 0);
}

TEST_F(FormStream, ReadingIntoAnExistingComponentReusesItsChildren)
{
    TTestThing Root(nullptr);
    auto* Kept = new TTestThing(&Root);
    Kept->SetName("Kept");
    Read("object Root: TTestThing\n"
         "  Count = 3\n"
         "  object Kept: TTestThing\n"
         "    Count = 5\n"
         "  end\n"
         "  object Added: TTestDerived\n"
         "  end\n"
         "end\n",
         &Root);
    EXPECT_EQ(Root.Name(), "Root");
    EXPECT_EQ(Root.Count(), 3);
    EXPECT_EQ(Root.ComponentCount(), 2);
    EXPECT_EQ(Root.FindComponent("Kept"), Kept);
    EXPECT_EQ(Kept->Count(), 5);
    EXPECT_NE(dynamic_cast<TTestDerived*>(Root.FindComponent("Added")), nullptr);

    // A component that frees its own child before reading gets the stored one.
    TTestHolder Holder(nullptr);
    Read("object Holder: TTestHolder\n"
         "  object Embedded: TTestThing\n"
         "    Count = 9\n"
         "  end\n"
         "end\n",
         &Holder);
    ASSERT_EQ(Holder.ComponentCount(), 1);
    EXPECT_EQ(static_cast<TTestThing*>(Holder.Components(0))->Count(), 9);

    // A form of another class is refused.
    TTestThing Other(nullptr);
    EXPECT_THROW(Read("object X: TTestHolder\nend\n", &Other), EReadError);
}

TEST_F(FormStream, ReferencesResolveByNameAfterTheWholeForm)
{
    // Named before it is read, and a name that finds nothing is left unset.
    auto F = Read("object Root: TTestThing\n"
                  "  Buddy = Later\n"
                  "  Partner = Nowhere\n"
                  "  object Later: TTestThing\n"
                  "    Buddy = nil\n"
                  "  end\n"
                  "end\n");
    auto* R = static_cast<TTestThing*>(F.get());
    EXPECT_EQ(R->Buddy(), R->FindComponent("Later"));
    EXPECT_EQ(R->Partner(), nullptr);

    // A component of a class the property does not take is an error.
    try {
        Read("object Root: TTestThing\n"
             "  object H: TTestHolder\n"
             "  end\n"
             "  Partner = H\n"
             "end\n");
        ADD_FAILURE();
    } catch (const EReadError& E) {
        EXPECT_STREQ(E.what(), "Root.Partner: H is a TTestHolder, which Partner does not take (line 4)");
    }
}

TEST_F(FormStream, StreamPositionEndsAfterTheFormAndFilesAreReplacedWhole)
{
    TTestThing A(nullptr), B(nullptr);
    A.SetName("A");
    A.SetCount(1);
    B.SetName("B");
    B.SetCount(2);
    TMemoryStream S;
    S.WriteComponent(&A);
    S.WriteComponent(&B);
    S.SetPosition(0);
    std::unique_ptr<TComponent> RA(S.ReadComponent(nullptr));
    std::unique_ptr<TComponent> RB(S.ReadComponent(nullptr));
    EXPECT_EQ(RA->Name(), "A");
    EXPECT_EQ(static_cast<TTestThing*>(RB.get())->Count(), 2);
    EXPECT_EQ(S.Position(), S.Size());

    const auto Dir = std::filesystem::temp_directory_path() / ("formstream" + std::to_string(::getpid()));
    std::filesystem::create_directories(Dir);
    const std::string File = (Dir / "form.txt").string();
    WriteComponentFile(File, &A);
    std::unique_ptr<TComponent> FA(ReadComponentFile(File, nullptr));
    EXPECT_EQ(Write(FA.get()), Write(&A));

    // A form that cannot be written leaves the file as it was, with no
    // temporary file beside it.
    TTestThing Bad(nullptr);
    Bad.SetName("not an identifier");
    EXPECT_THROW(WriteComponentFile(File, &Bad), EWriteError);
    std::ifstream In(File);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(In), {}), Write(&A));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Dir), {}), 1);

    std::ofstream(File, std::ios::app) << "\n  object\n";
    EXPECT_THROW(ReadComponentFile(File, nullptr), EReadError);
    std::filesystem::remove_all(Dir);
}

TEST_F(FormStream, ControlsStoreTheirPlatformProperties)
{
    TTestControl Panel(nullptr);
    Panel.SetName("Panel");
    Panel.SetBounds(5, 6, 70, 80);
    Panel.SetAlign(alTop);
    Panel.SetVisible(false);
    Panel.Font()->SetStyle(TFontStyles{fsItalic});
    Panel.SetCursor(crHandPoint);
    auto* Inner = new TTestControl(&Panel);
    Inner->SetName("Inner");
    Inner->SetParent(&Panel);
    Inner->SetColor(clYellow);

    const std::string Text = Write(&Panel);
    EXPECT_EQ(Text.find("\n  Color"), std::string::npos) << "the parent's colour is not stored";
    EXPECT_NE(Text.find("    Color = clYellow\n    ParentColor = False\n"), std::string::npos) << Text;
    auto Copy = Read(Text);
    auto* P = static_cast<TTestControl*>(Copy.get());
    EXPECT_EQ(P->BoundsRect(), Bounds(5, 6, 70, 80));
    EXPECT_EQ(P->Align(), alTop);
    EXPECT_FALSE(P->Visible());
    EXPECT_EQ(P->Cursor(), crHandPoint);
    EXPECT_TRUE(P->Font()->Style().Contains(fsItalic));
    auto* I = Child<TTestControl>(P, "Inner");
    EXPECT_EQ(I->Parent(), P) << "a control read inside a windowed control becomes its child";
    EXPECT_EQ(I->Color(), clYellow);
    EXPECT_EQ(Write(P), Text);
}

TEST_F(FormStream, ControlPropertiesOfConcreteClassesAndMenusReadBack)
{
    TTestShowingControl Fresh(nullptr);
    Fresh.SetName("Fresh");
    EXPECT_EQ(Write(&Fresh), "object Fresh: TTestShowingControl\n"
                             "  Left = 0\n  Top = 0\n  Width = 0\n  Height = 0\n"
                             "end\n")
        << "nothing at its default";

    TTestShowingControl Panel(nullptr);
    Panel.SetName("Panel");
    Panel.SetBounds(0, 0, 200, 100);
    auto* Menu = new TPopupMenu(&Panel);
    Menu->SetName("Menu1");
    Menu->SetAlignment(TPopupAlignment::paRight);
    auto* File = new TMenuItem(&Panel);
    File->SetName("File1");
    File->SetCaption("&File");
    File->SetShortCut(ShortCut('S', {ssCtrl}));
    Menu->Items()->Add(File);
    auto* Recent = new TMenuItem(&Panel);
    Recent->SetName("Recent1");
    Recent->SetRadioItem(true);
    Recent->SetChecked(true);
    File->Add(Recent);
    auto* A = new TTestShowingControl(&Panel);
    A->SetName("A");
    A->SetParent(&Panel);
    A->SetBounds(10, 10, 50, 20);
    A->SetAnchors({akLeft, akRight});
    A->Constraints()->SetMinWidth(40);
    A->SetCtl3D(false);
    A->SetDragCursor(crNo);
    A->SetDragKind(dkDock);
    A->SetDragMode(dmAutomatic);
    A->SetShowHint(true);
    A->SetPopupMenu(Menu);
    auto* B = new TTestShowingControl(&Panel);
    B->SetName("B");
    B->SetParent(&Panel);
    B->SetTabOrder(0);

    const std::string Text = Write(&Panel);
    EXPECT_EQ(Text, "object Panel: TTestShowingControl\n"
                    "  Left = 0\n  Top = 0\n  Width = 200\n  Height = 100\n"
                    "  object Menu1: TPopupMenu\n"
                    "    Alignment = paRight\n"
                    "    object File1: TMenuItem\n"
                    "      Caption = \"&File\"\n"
                    "      ShortCut = 16467\n"
                    "      object Recent1: TMenuItem\n"
                    "        Checked = True\n"
                    "        RadioItem = True\n"
                    "      end\n"
                    "    end\n"
                    "  end\n"
                    "  object A: TTestShowingControl\n"
                    "    Left = 10\n    Top = 10\n    Width = 50\n    Height = 20\n"
                    "    ShowHint = True\n"
                    "    Anchors = [akLeft, akRight]\n"
                    "    Constraints.MinWidth = 40\n"
                    "    Ctl3D = False\n"
                    "    DragCursor = crNo\n"
                    "    DragKind = dkDock\n"
                    "    DragMode = dmAutomatic\n"
                    "    ParentCtl3D = False\n"
                    "    ParentShowHint = False\n"
                    "    PopupMenu = Menu1\n"
                    "    TabOrder = 1\n"
                    "  end\n"
                    "  object B: TTestShowingControl\n"
                    "    Left = 0\n    Top = 0\n    Width = 0\n    Height = 0\n"
                    "    TabOrder = 0\n"
                    "  end\n"
                    "end\n");

    auto Copy = Read(Text);
    auto* P = static_cast<TTestShowingControl*>(Copy.get());
    auto* MenuBack = Child<TPopupMenu>(P, "Menu1");
    auto* ABack = Child<TTestShowingControl>(P, "A");
    ASSERT_TRUE(MenuBack && ABack);
    EXPECT_EQ(ABack->PopupMenu(), MenuBack);
    EXPECT_EQ(ABack->Anchors(), (TAnchors{akLeft, akRight}));
    EXPECT_EQ(ABack->Constraints()->MinWidth(), 40);
    EXPECT_FALSE(ABack->Ctl3D());
    EXPECT_EQ(ABack->DragKind(), dkDock);
    EXPECT_EQ(ABack->TabOrder(), 1);
    EXPECT_EQ(Child<TTestShowingControl>(P, "B")->TabOrder(), 0);
    // The entries hang where they hung, owned by the form as before.
    ASSERT_EQ(MenuBack->Items()->Count(), 1);
    TMenuItem* FileBack = MenuBack->Items()->Items(0);
    EXPECT_EQ(FileBack, P->FindComponent("File1"));
    EXPECT_EQ(FileBack->Caption(), "&File");
    EXPECT_EQ(FileBack->ShortCut(), ShortCut('S', {ssCtrl}));
    ASSERT_EQ(FileBack->Count(), 1);
    EXPECT_TRUE(FileBack->Items(0)->Checked());
    EXPECT_EQ(Write(P), Text);
}

TEST_F(FormStream, StoredTabOrderIsTakenOnceAllControlsAreRead)
{
    // An order that placing each control as it comes would get wrong.
    auto Form = Read("object Panel: TTestShowingControl\n"
                     "  object C: TTestShowingControl\n    TabOrder = 2\n  end\n"
                     "  object D: TTestShowingControl\n    TabOrder = 3\n  end\n"
                     "  object B: TTestShowingControl\n    TabOrder = 1\n  end\n"
                     "  object A: TTestShowingControl\n    TabOrder = 0\n  end\n"
                     "end\n");
    const std::pair<const char*, int> Expected[] = {{"A", 0}, {"B", 1}, {"C", 2}, {"D", 3}};
    for (const auto& [Name, Place] : Expected)
        EXPECT_EQ(Child<TTestShowingControl>(Form.get(), Name)->TabOrder(), Place) << Name;
}

TEST_F(FormStream, FontsAreStoredAgainstTheDefaultsTheirOwnerBuilds)
{
    // Built in Arial 14: untouched it stores nothing; set to the platform's
    // default font it stores what differs from Arial 14.
    TTestFontOwner Owner(nullptr);
    EXPECT_EQ(Write(&Owner), "object TTestFontOwner\nend\n");
    TFont Platform;
    Owner.Font()->Assign(&Platform);
    const std::string Text = Write(&Owner);
    EXPECT_EQ(Text, "object TTestFontOwner\n  Font.Height = -11\n  Font.Name = \"MS Sans Serif\"\nend\n");
    auto Back = Read(Text);
    EXPECT_TRUE(static_cast<TTestFontOwner*>(Back.get())->Font()->SameAs(Platform));

    // A control that follows its parent's font stores none; one with its
    // own stores it against the platform's default, and reads back so
    // whatever its parent's font is.
    TTestShowingControl Panel(nullptr);
    Panel.SetName("Panel");
    Panel.Font()->SetName("Arial");
    Panel.Font()->SetSize(12);
    auto* Follows = new TTestShowingControl(&Panel);
    Follows->SetName("Follows");
    Follows->SetParent(&Panel);
    auto* Own = new TTestShowingControl(&Panel);
    Own->SetName("Own");
    Own->SetParent(&Panel);
    Own->Font()->Assign(&Platform);
    Own->Font()->SetStyle(TFontStyles{fsBold});
    const std::string Form = Write(&Panel);
    EXPECT_NE(Form.find("  object Follows: TTestShowingControl\n"
                        "    Left = 0\n    Top = 0\n    Width = 0\n    Height = 0\n"
                        "    TabOrder = 0\n"),
              std::string::npos)
        << Form;
    EXPECT_NE(Form.find("    Font.Style = [fsBold]\n    ParentFont = False\n"), std::string::npos) << Form;
    auto Copy = Read(Form);
    auto* FollowsBack = Child<TTestShowingControl>(Copy.get(), "Follows");
    auto* OwnBack = Child<TTestShowingControl>(Copy.get(), "Own");
    EXPECT_TRUE(FollowsBack->ParentFont());
    EXPECT_TRUE(FollowsBack->Font()->SameAs(*Panel.Font()));
    EXPECT_FALSE(OwnBack->ParentFont());
    EXPECT_TRUE(OwnBack->Font()->SameAs(*Own->Font())) << OwnBack->Font()->Name() << " " << OwnBack->Font()->Size();
    EXPECT_EQ(Write(Copy.get()), Form);
}

// ------------------------------------------------------------ damaged forms

TEST_F(FormStream, DamagedFormsRaiseReadErrorsNamingWhatAndWhere)
{
    const std::string Head = "object Root: TTestThing\n";
    const std::string Long(300, 'a');
    struct TCase {
        std::string Text;
        std::string Message;
    };
    const std::vector<TCase> Cases = {
        {"", "a form begins with \"object\", not the end of the form (line 1)"},
        {"object Root: TNoSuch\nend\n", "Root: unknown class TNoSuch (line 1)"},
        {"object Root: TTestUnregistered\nend\n", "unknown class TTestUnregistered (line 1)"},
        {"object Root: TTestPart\nend\n", "unknown class TTestPart"},
        {"object\n= 1\nend\n", "a name or class name expected, not '=' (line 2)"},
        {"object A.B: TTestThing\nend\n", "plain identifiers (line 1)"},
        {Head + "  Colr = 1\nend\n", "Root.Colr: unknown property Colr of TTestThing (line 2)"},
        {Head + "  Count = \"x\"\nend\n", "Root.Count: an integer expected, not a string (line 2)"},
        {Head + "  Count 1\nend\n", "Root.Count: '=' expected, not the number 1 (line 2)"},
        {Head + "  Count = 2147483648\nend\n", "Root.Count: the value 2147483648 is out of range (line 2)"},
        {Head + "  Small = -1\nend\n", "Root.Small: the value -1 is out of range"},
        {Head + "  Big = 9223372036854775808\nend\n", "Root.Big: the number 9223372036854775808 is out of range"},
        {Head + "  Color = clPink\nend\n", "Root.Color: unknown value clPink"},
        {Head + "  Shape = tsOval\nend\n", "Root.Shape: unknown value tsOval (line 2)"},
        {Head + "  Shape = 1\nend\n", "Root.Shape: a name expected, not the number 1"},
        {Head + "  Active = Yes\nend\n", "Root.Active: unknown value Yes"},
        {Head + "  Options = [toFirst, toFourth]\nend\n", "Root.Options: unknown set element toFourth"},
        {Head + "  Options = [toFirst toSecond]\nend\n", "Root.Options: ',' expected, not 'toSecond'"},
        {Head + "  Ratio = 1e999\nend\n", "Root.Ratio: the number 1e999 is out of range"},
        {Head + "  Ratio = 1.\nend\n", "digits expected after the decimal point (line 2)"},
        {Head + "  Ratio = 1.5x\nend\n", "a malformed number (line 2)"},
        {Head + "  Caption = \"abc\nend\n", "Root.Caption: a line break inside a string (line 2)"},
        {Head + "  Caption = \"abc", "the form ends inside a string"},
        {Head + "  Caption = \"\\q\"\nend\n", "unknown escape \\q"},
        {Head + "  Caption = \"\\x4\"\nend\n", "\\x takes two hexadecimal digits"},
        {Head + "  Caption = \"\xC3(\"\nend\n", "a string that is not UTF-8"},
        {Head + "  Caption = Root\nend\n", "Root.Caption: a string expected, not 'Root'"},
        {Head + "  Blob = {0A1}\nend\n", "Root.Blob: an odd number of hexadecimal digits (line 2)"},
        {Head + "  Blob = {0G}\nend\n", "Root.Blob: 'G' in a binary value"},
        {Head + "  Blob = {00\n", "the form ends inside a binary value (line 3)"},
        {Head + "  Blob = 5\nend\n", "Root.Blob: a binary value expected, not the number 5"},
        {Head + "  Points = (1 \"two\")\nend\n", "Root.Points: an integer expected, not a string"},
        {Head + "  Points = 5\nend\n", "Root.Points: '(' expected, not the number 5"},
        {Head + "  Points = (1 2\nend\n", "Root.Points: the form ends inside a list (line 4)"},
        {Head + "  OldFlag = 1\nend\n", "Root.OldFlag: True or False expected"},
        {Head + "  Part = 5\nend\n", "Root.Part: Part is an object: give its properties as Part.Name"},
        {Head + "  Part.Sz = 1\nend\n", "Root.Part.Sz: unknown property Sz of TTestPart (line 2)"},
        {Head + "  Count.X = 1\nend\n", "Count has no properties of its own"},
        {Head + "  Part.Font.Style = [fsBold\nend\n", "',' expected, not 'end' (line 3)"},
        {Head + "  Items = < item Value = 1 >\nend\n", "Root.Items[0]: a property or end expected, not '>' (line 2)"},
        {Head + "  Items = < Value = 1 >\nend\n", "Root.Items: item or '>' expected, not 'Value'"},
        {Head + "  Items = <>\n  Items = <>\nend\n", "Root.Items: the collection is given twice (line 3)"},
        {Head + "  Items = < item Text = 5 end >\nend\n", "Root.Items[0].Text: a string expected"},
        {Head + "  Buddy = \"Root\"\nend\n", "Root.Buddy: a component name expected"},
        {Head + "  Limit = -1\nend\n", "Root.Limit: Limit must not be negative (line 2)"},
        {Head + "  item = 1\nend\n", "item outside a collection"},
        {Head + "  Count = 1\n", "Root: the form ends inside the block (line 3)"},
        {Head + "  Count = 1\n  object C: TTestThing\n", "Root.C: the form ends inside the block"},
        {Head + "  object C: TTestThing\n  end\n  object C: TTestThing\n  end\nend\n",
         "Root: the component C appears twice (line 4)"},
        {Head + "  object C: TNoSuch\n  end\nend\n", "Root: unknown class TNoSuch (line 2)"},
        {Head + "  " + Long + " = 1\nend\n", "a name longer than 255 bytes (line 2)"},
        {Head + "  Count = " + std::string(300, '1') + "\nend\n", "a number longer than 255 bytes"},
        {Head + "  Caption = \"" + std::string(FormMaxStringLength + 2, 'x') + "\"\nend\n", "a string longer than"},
        {Head + "  Points = " + std::string(100, '(') + std::string(100, ')') + "\nend\n", "nesting deeper than 64"},
        {Head + "  Count = 1 \x01\nend\n", "unexpected byte 0x01 (line 2)"},
        {Head + std::string("  Count = 1\0\nend\n", 17), "unexpected byte 0x00"},
        {Head + "  Count = 1 ;\nend\n", "unexpected character ';'"},
        {Head + "end end\n", ""},   // text after the form is the stream's business, not an error
    };
    for (const TCase& C : Cases) {
        if (C.Message.empty()) {
            EXPECT_NO_THROW(Read(C.Text));
            continue;
        }
        try {
            Read(C.Text);
            ADD_FAILURE() << "no error for: " << C.Text.substr(0, 200);
        } catch (const EReadError& E) {
            EXPECT_NE(std::string(E.what()).find(C.Message), std::string::npos)
                << "for: " << C.Text.substr(0, 200) << "\n got: " << E.what();
        }
    }

    // Nesting blocks deeper than the limit.
    std::string Deep;
    for (int I = 0; I < FormMaxDepth + 1; ++I)
        Deep += "object C" + std::to_string(I) + ": TTestThing\n";
    for (int I = 0; I < FormMaxDepth + 1; ++I)
        Deep += "end\n";
    EXPECT_THROW(Read(Deep), EReadError);
}

TEST_F(FormStream, EveryCutOfAValidFormIsRefusedWithoutLeaks)
{
    const std::string Text = FullText;
    const size_t Whole = Text.rfind("end");
    for (size_t N = 0; N < Whole + 3; ++N)
        EXPECT_THROW(Read(Text.substr(0, N)), EReadError) << "cut at " << N;
    EXPECT_NO_THROW(Read(Text.substr(0, Whole + 3)));
}

TEST_F(FormStream, AFailedReadFreesWhatItCreatedAndEndsLoading)
{
    TTestThing Root(nullptr);
    auto* Kept = new TTestThing(&Root);
    Kept->SetName("Kept");
    EXPECT_THROW(Read("object Root: TTestThing\n"
                      "  object New: TTestThing\n"
                      "    object Newer: TTestThing\n"
                      "    end\n"
                      "  end\n"
                      "  object Kept: TTestThing\n"
                      "    Count = 4\n"
                      "    Shape = tsOval\n"
                      "  end\n"
                      "end\n",
                      &Root),
                 EReadError);
    ASSERT_EQ(Root.ComponentCount(), 1);
    EXPECT_EQ(Root.Components(0), Kept);
    EXPECT_EQ(Kept->Count(), 4) << "what was read stays";
    EXPECT_FALSE(Root.ComponentState().Contains(csLoading));
    EXPECT_FALSE(Kept->ComponentState().Contains(csLoading));
    EXPECT_EQ(Kept->LoadedCount(), 0);
}
