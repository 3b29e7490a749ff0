#include "platform/Filer.h"

#include "platform/Collections.h"
#include "platform/ScopeGuard.h"
#include "platform/SysUtils.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <map>
#include <set>
#include <string_view>
#include <vector>

namespace {

constexpr int HexBytesPerLine = 32;
constexpr int MaxAliasSteps = 8;

bool SameWord(std::string_view A, std::string_view B)
{
    return A.size() == B.size() && std::equal(A.begin(), A.end(), B.begin(), [](char X, char Y) {
               return std::tolower(static_cast<unsigned char>(X)) == std::tolower(static_cast<unsigned char>(Y));
           });
}

bool IsIdentStart(char C)
{
    return std::isalpha(static_cast<unsigned char>(C)) || C == '_';
}

bool IsIdentChar(char C)
{
    return std::isalnum(static_cast<unsigned char>(C)) || C == '_';
}

// One identifier, no dots.
bool IsSimpleIdent(std::string_view S)
{
    return !S.empty() && IsIdentStart(S[0]) && std::all_of(S.begin(), S.end(), IsIdentChar);
}

int HexValue(char C)
{
    if (C >= '0' && C <= '9')
        return C - '0';
    if (C >= 'A' && C <= 'F')
        return C - 'A' + 10;
    if (C >= 'a' && C <= 'f')
        return C - 'a' + 10;
    return -1;
}

// The class of Instance or one of its ancestors is named Name.
bool IsOfClassNamed(const TObject* Instance, std::string_view Name)
{
    for (TClass C = Instance->ClassType(); C; C = C->ClassParent())
        if (C->ClassNameIs(Name))
            return true;
    return false;
}

// A component of the form by its path of owner names from Root; the root
// itself by its own name.
TComponent* FindByPath(TComponent* Root, std::string_view Path)
{
    TComponent* C = nullptr;
    size_t Start = 0;
    while (Start <= Path.size()) {
        const size_t Dot = std::min(Path.find('.', Start), Path.size());
        const std::string Part(Path.substr(Start, Dot - Start));
        if (!C) {
            C = Root->FindComponent(Part);
            if (!C && SameWord(Part, Root->Name()))
                C = Root;
        } else {
            C = C->FindComponent(Part);
        }
        if (!C)
            return nullptr;
        Start = Dot + 1;
    }
    return C;
}

std::string FloatToken(double Value)
{
    std::string S = FloatToStr(Value);
    if (std::isfinite(Value) && S.find_first_of(".E") == std::string::npos)
        S += ".0";
    return S;
}

void AppendEscaped(std::string& Out, const std::string& S)
{
    static const char Hex[] = "0123456789ABCDEF";
    Out += '"';
    size_t I = 0;
    while (I < S.size()) {
        const auto C = static_cast<unsigned char>(S[I]);
        if (C >= 0x80) {
            const size_t N = Utf8CharSize(S, I);
            if (N > 1) {
                Out.append(S, I, N);
                I += N;
                continue;
            }
        }
        switch (C) {
        case '"': Out += "\\\""; break;
        case '\\': Out += "\\\\"; break;
        case '\n': Out += "\\n"; break;
        case '\r': Out += "\\r"; break;
        case '\t': Out += "\\t"; break;
        default:
            if (C < 0x20 || C >= 0x7F) {
                Out += "\\x";
                Out += Hex[C >> 4];
                Out += Hex[C & 15];
            } else {
                Out += static_cast<char>(C);
            }
        }
        ++I;
    }
    Out += '"';
}

}  // namespace

// ===================================================================== writer

class TWriterImpl {
public:
    explicit TWriterImpl(TWriter& W) : FW(W) {}

    void WriteRoot(TComponent* Root)
    {
        FRoot = Root;
        WriteComponent(Root, 0);
    }

    std::string FOut;

    // The defined property being written.
    bool FInProperty = false;
    int FValues = 0;
    int FListDepth = 0;
    std::string FPrefix;
    int FLevel = 0;

    void Fail(const std::string& Message) const { throw EWriteError("Cannot write the form: " + Message); }

    void Indent(int Level) { FOut.append(static_cast<size_t>(Level) * 2, ' '); }

    void Enter()
    {
        if (++FDepth > FormMaxDepth)
            Fail("nesting deeper than " + std::to_string(FormMaxDepth));
    }
    void Leave() { --FDepth; }

    void BeginProperty(const std::string& Path, int Level)
    {
        if (Path.size() > FormMaxIdentLength)
            Fail("property path " + Path.substr(0, 64) + "... too long");
        Indent(Level);
        FOut += Path;
        FOut += " = ";
    }

    // One value of a defined property: the property's only value, or an item
    // of the list being written, on its own line.
    void Value(const std::string& Text)
    {
        if (!FInProperty)
            Fail("a value outside a property");
        if (FListDepth == 0) {
            ++FValues;
        } else {
            FOut += '\n';
            Indent(FLevel + FListDepth);
        }
        FOut += Text;
    }

    void DefineProperty(const std::string& Name, const TWriterProc& WriteData)
    {
        BeginProperty(FPrefix + Name, FLevel);
        TValueRollback<bool> InProperty(FInProperty, true);
        FValues = 0;
        FListDepth = 0;
        const int Depth = FDepth;
        WriteData(&FW);
        if (FValues != 1 || FListDepth != 0) {
            FDepth = Depth;
            Fail(FPrefix + Name + " wrote " + std::to_string(FValues) + " values");
        }
        FOut += '\n';
    }

    void DefineBinaryProperty(const std::string& Name, const TStreamProc& WriteData)
    {
        static const char Hex[] = "0123456789ABCDEF";
        TMemoryStream Data;
        WriteData(&Data);
        BeginProperty(FPrefix + Name, FLevel);
        FOut += '{';
        const uint8_t* P = Data.Memory();
        const auto N = static_cast<size_t>(Data.Size());
        const size_t LineCount = N / HexBytesPerLine + 1;
        FOut.reserve(FOut.size() + 2 * N + LineCount * (2 * static_cast<size_t>(FLevel) + 4) + 4);
        for (size_t I = 0; I < N; ++I) {
            if (I % HexBytesPerLine == 0) {
                FOut += '\n';
                Indent(FLevel + 1);
            }
            FOut += Hex[P[I] >> 4];
            FOut += Hex[P[I] & 15];
        }
        FOut += "}\n";
    }

private:
    void WriteComponent(TComponent* C, int Level)
    {
        Enter();
        if (!FWritten.insert(C).second)
            Fail(C->Name() + " is a child twice");
        if (!C->Name().empty() && !IsSimpleIdent(C->Name()))
            Fail("the name \"" + C->Name() + "\" is not an identifier");
        if (C->Name().size() > FormMaxIdentLength)
            Fail("the name " + C->Name().substr(0, 64) + "... is too long");
        Indent(Level);
        FOut += "object ";
        if (!C->Name().empty())
            FOut += C->Name() + ": ";
        FOut += C->ClassName();
        FOut += '\n';
        WriteProperties(C, "", Level + 1);
        C->GetChildren([&](TComponent* Child) { WriteComponent(Child, Level + 1); }, FRoot);
        Indent(Level);
        FOut += "end\n";
        Leave();
    }

    void WriteProperties(TPersistent* Obj, const std::string& Prefix, int Level)
    {
        for (const TPropInfo* P : Obj->ClassType()->Properties()) {
            if (P->IsAlias() || !P->IsStored(Obj))
                continue;
            const std::string Path = Prefix + P->Name();
            switch (P->Kind()) {
            case tkClass: {
                TPersistent* Sub = P->GetObject(Obj);
                if (!Sub)
                    break;
                if (auto* Items = dynamic_cast<TCollection*>(Sub)) {
                    if (Items->Count() > 0) {
                        BeginProperty(Path, Level);
                        WriteCollection(Items, Level);
                        FOut += '\n';
                    }
                } else {
                    if (Path.size() + 1 > FormMaxIdentLength)
                        Fail("property path " + Path.substr(0, 64) + "... too long");
                    WriteProperties(Sub, Path + ".", Level);
                }
                break;
            }
            case tkComponent: {
                TComponent* Target = P->GetComponent(Obj);
                const std::string Name = Target ? PathOf(Target) : std::string();
                if (Name.empty())
                    break;
                BeginProperty(Path, Level);
                FOut += Name + '\n';
                break;
            }
            default:
                if (P->IsDefault(Obj))
                    break;
                BeginProperty(Path, Level);
                FOut += ValueText(P, Obj);
                FOut += '\n';
            }
        }
        TValueRollback<std::string> KeepPrefix(FPrefix, Prefix);
        TValueRollback<int> KeepLevel(FLevel, Level);
        Obj->DefineProperties(&FW);
    }

    void WriteCollection(TCollection* Items, int Level)
    {
        Enter();
        FOut += '<';
        for (int I = 0; I < Items->Count(); ++I) {
            Enter();
            FOut += '\n';
            Indent(Level + 1);
            FOut += "item\n";
            WriteProperties(Items->Items(I), "", Level + 2);
            Indent(Level + 1);
            FOut += "end";
            Leave();
        }
        FOut += '>';
        Leave();
    }

    std::string ValueText(const TPropInfo* P, TObject* Obj) const
    {
        switch (P->Kind()) {
        case tkInteger: {
            const int64_t V = P->GetOrd(Obj);
            if (P->Idents())
                if (const char* Name = P->Idents()->ToIdent(V))
                    return Name;
            return std::to_string(V);
        }
        case tkEnumeration: {
            const int64_t V = P->GetOrd(Obj);
            const char* Name = P->Idents()->ToIdent(V);
            if (!Name)
                Fail(P->Name() + " holds " + std::to_string(V) + ", which has no name");
            return Name;
        }
        case tkSet: {
            const auto Bits = static_cast<uint64_t>(P->GetOrd(Obj));
            std::string S = "[";
            uint64_t Named = 0;
            for (int B = 0; B < 64; ++B) {
                if (!(Bits & (uint64_t{1} << B)))
                    continue;
                const char* Name = P->Idents()->ToIdent(B);
                if (!Name)
                    break;
                if (S.size() > 1)
                    S += ", ";
                S += Name;
                Named |= uint64_t{1} << B;
            }
            if (Named != Bits)
                Fail(P->Name() + " holds an element that has no name");
            return S + "]";
        }
        case tkFloat:
            return FloatToken(P->GetFloat(Obj));
        case tkString: {
            std::string S;
            AppendEscaped(S, P->GetString(Obj));
            return S;
        }
        case tkClass:
        case tkComponent:
            break;
        }
        return std::string();
    }

    // The names from the root to Target, or "" when Target cannot be named
    // from the root.
    std::string PathOf(TComponent* Target) const
    {
        std::vector<std::string> Names;
        TComponent* C = Target;
        if (C == FRoot) {
            Names.push_back(C->Name());
        } else {
            for (; C && C != FRoot; C = C->Owner())
                Names.push_back(C->Name());
            if (C != FRoot)
                return std::string();
        }
        std::string Path;
        for (auto It = Names.rbegin(); It != Names.rend(); ++It) {
            if (!IsSimpleIdent(*It))
                return std::string();
            if (!Path.empty())
                Path += '.';
            Path += *It;
        }
        if (Path.size() > FormMaxIdentLength || FindByPath(FRoot, Path) != Target)
            return std::string();
        return Path;
    }

    TWriter& FW;
    TComponent* FRoot = nullptr;
    int FDepth = 0;
    std::set<TComponent*> FWritten;
};

TWriter::TWriter(TStream* Stream) : FStream(Stream), FImpl(std::make_unique<TWriterImpl>(*this))
{
}

TWriter::~TWriter() = default;

void TWriter::WriteRootComponent(TComponent* Root)
{
    FRoot = Root;
    FImpl->FOut.clear();
    FImpl->WriteRoot(Root);
    FStream->WriteBuffer(FImpl->FOut.data(), static_cast<int64_t>(FImpl->FOut.size()));
}

void TWriter::DefineProperty(const std::string& Name, const TReaderProc&, const TWriterProc& WriteData, bool HasData)
{
    if (HasData && WriteData)
        FImpl->DefineProperty(Name, WriteData);
}

void TWriter::DefineBinaryProperty(const std::string& Name, const TStreamProc&, const TStreamProc& WriteData,
                                   bool HasData)
{
    if (HasData && WriteData)
        FImpl->DefineBinaryProperty(Name, WriteData);
}

void TWriter::WriteInteger(int64_t Value)
{
    FImpl->Value(std::to_string(Value));
}

void TWriter::WriteFloat(double Value)
{
    FImpl->Value(FloatToken(Value));
}

void TWriter::WriteString(const std::string& Value)
{
    std::string S;
    AppendEscaped(S, Value);
    FImpl->Value(S);
}

void TWriter::WriteIdent(const std::string& Value)
{
    // Dotted names (paths of components) are identifiers too.
    bool Ok = Value.size() <= FormMaxIdentLength;
    for (size_t Start = 0; Ok && Start <= Value.size();) {
        const size_t Dot = std::min(Value.find('.', Start), Value.size());
        Ok = IsSimpleIdent(std::string_view(Value).substr(Start, Dot - Start));
        Start = Dot + 1;
    }
    if (!Ok)
        FImpl->Fail("\"" + Value + "\" is not an identifier");
    FImpl->Value(Value);
}

void TWriter::WriteBoolean(bool Value)
{
    FImpl->Value(Value ? "True" : "False");
}

void TWriter::WriteListBegin()
{
    FImpl->Value("(");
    FImpl->Enter();
    ++FImpl->FListDepth;
}

void TWriter::WriteListEnd()
{
    if (FImpl->FListDepth == 0)
        FImpl->Fail("a list ends that did not begin");
    --FImpl->FListDepth;
    FImpl->Leave();
    FImpl->FOut += ')';
}

// ===================================================================== reader

namespace {

enum class TTok { Eof, Ident, Integer, Float, String, Symbol };

struct TToken {
    TTok Kind = TTok::Eof;
    std::string Text;   // identifier, number or the string's bytes
    char Symbol = 0;
    int Line = 1;
};

// Tells the reader when a component it read or created goes away, so that
// nothing is used or freed twice.
class TReadTracker : public TComponent {
public:
    TReadTracker() : TComponent(nullptr) {}
    ~TReadTracker() override
    {
        for (TComponent* C : FAlive)
            RemoveFreeNotification(C);
    }
    void Track(TComponent* C)
    {
        if (FAlive.insert(C).second)
            FreeNotification(C);
    }
    bool Alive(TComponent* C) const { return FAlive.count(C) != 0; }

    std::function<void(TComponent* C)> OnGone;

protected:
    void Notification(TComponent* C, TOperation Operation) override
    {
        if (Operation == opRemove && FAlive.erase(C) && OnGone)
            OnGone(C);
    }

private:
    std::set<TComponent*> FAlive;
};

struct TFixup {
    TComponent* Component;   // the component being read
    TObject* Instance;       // it or one of its sub-objects
    const TPropInfo* Prop;
    std::string Name;
    std::string Where;
    int Line;
};

}  // namespace

class TReaderImpl {
public:
    explicit TReaderImpl(TReader& R) : FR(R)
    {
        // A component freed during the read (by a ReadState or a setter)
        // leaves no trace: its address may come back as another component.
        FTracker.OnGone = [this](TComponent* C) {
            FRead.erase(C);
            auto Drop = [C](std::vector<TComponent*>& List) { List.erase(std::remove(List.begin(), List.end(), C), List.end()); };
            Drop(FCreated);
            Drop(FLoadedList);
            FFixups.erase(std::remove_if(FFixups.begin(), FFixups.end(), [C](const TFixup& F) { return F.Component == C; }),
                          FFixups.end());
        };
    }

    // ---- errors

    [[noreturn]] void Fail(const std::string& Message, int Line) const
    {
        std::string Where = FWhere;
        for (const std::string& P : FProps)
            Where += (Where.empty() ? "" : ".") + P;
        FFailed = true;
        throw EReadError((Where.empty() ? "" : Where + ": ") + Message + " (line " + std::to_string(Line) + ")");
    }
    [[noreturn]] void Fail(const std::string& Message) const { Fail(Message, FTokLine); }

    // Runs code of the components (setters, ReadState, Loaded...): what it
    // raises becomes an EReadError naming the place.
    template <class F>
    void Guard(F Action)
    {
        try {
            Action();
        } catch (const EReadError& E) {
            if (FFailed)
                throw;
            Fail(E.what());
        } catch (const std::exception& E) {
            Fail(E.what());
        }
    }

    // ---- tokens

    int Line() const { return FTokLine; }

    const TToken& Peek()
    {
        if (!FHasPeek) {
            Scan(FPeek);
            FHasPeek = true;
            FPeekEnd = FPos;
        }
        FTokLine = FPeek.Line;
        return FPeek;
    }

    TToken Next()
    {
        Peek();
        FHasPeek = false;
        FConsumed = FPeekEnd;
        return std::move(FPeek);
    }

    bool PeekSymbol(char S) { return Peek().Kind == TTok::Symbol && FPeek.Symbol == S; }
    bool PeekWord(std::string_view W) { return Peek().Kind == TTok::Ident && SameWord(FPeek.Text, W); }

    void Expect(char S)
    {
        const TToken T = Next();
        if (T.Kind != TTok::Symbol || T.Symbol != S)
            Fail(std::string("'") + S + "' expected, not " + Describe(T));
    }

    std::string ExpectIdent(const char* What)
    {
        TToken T = Next();
        if (T.Kind != TTok::Ident)
            Fail(std::string(What) + " expected, not " + Describe(T));
        return std::move(T.Text);
    }

    static std::string Describe(const TToken& T)
    {
        switch (T.Kind) {
        case TTok::Eof: return "the end of the form";
        case TTok::Ident: return "'" + T.Text + "'";
        case TTok::Integer:
        case TTok::Float: return "the number " + T.Text;
        case TTok::String: return "a string";
        case TTok::Symbol: return std::string("'") + T.Symbol + "'";
        }
        return std::string();
    }

    // The bytes of a binary value after its '{', up to and with its '}'; Out
    // nil only checks them.
    void ReadHex(std::vector<uint8_t>* Out)
    {
        int High = -1;
        for (;;) {
            if (FPos >= FText.size())
                Fail("the form ends inside a binary value", FLine);
            const char C = FText[FPos++];
            if (C == '}')
                break;
            if (C == '\n') {
                ++FLine;
                continue;
            }
            if (C == ' ' || C == '\t' || C == '\r')
                continue;
            const int V = HexValue(C);
            if (V < 0)
                Fail("'" + std::string(1, C) + "' in a binary value", FLine);
            if (High < 0) {
                High = V;
            } else {
                if (Out)
                    Out->push_back(static_cast<uint8_t>(High << 4 | V));
                High = -1;
            }
        }
        if (High >= 0)
            Fail("an odd number of hexadecimal digits", FLine);
        FConsumed = FPos;
        FTokLine = FLine;
    }

    // ---- values

    int64_t ReadInt64()
    {
        const TToken T = Next();
        if (T.Kind != TTok::Integer)
            Fail("an integer expected, not " + Describe(T));
        return ParseInt(T.Text);
    }

    int64_t ParseInt(const std::string& S)
    {
        int64_t V = 0;
        const auto R = std::from_chars(S.data(), S.data() + S.size(), V);
        if (R.ec != std::errc() || R.ptr != S.data() + S.size())
            Fail("the number " + S + " is out of range");
        return V;
    }

    double ReadFloat()
    {
        const TToken T = Next();
        if (T.Kind == TTok::Ident) {
            if (SameWord(T.Text, "NAN"))
                return std::numeric_limits<double>::quiet_NaN();
            if (SameWord(T.Text, "INF"))
                return std::numeric_limits<double>::infinity();
            if (SameWord(T.Text, "-INF"))
                return -std::numeric_limits<double>::infinity();
        }
        if (T.Kind != TTok::Integer && T.Kind != TTok::Float)
            Fail("a number expected, not " + Describe(T));
        double V = 0;
        const auto R = std::from_chars(T.Text.data(), T.Text.data() + T.Text.size(), V);
        if (R.ec != std::errc() || R.ptr != T.Text.data() + T.Text.size() || !std::isfinite(V))
            Fail("the number " + T.Text + " is out of range");
        return V;
    }

    std::string ReadString()
    {
        TToken T = Next();
        if (T.Kind != TTok::String)
            Fail("a string expected, not " + Describe(T));
        return std::move(T.Text);
    }

    bool ReadBoolean()
    {
        const TToken T = Next();
        if (T.Kind == TTok::Ident && SameWord(T.Text, "True"))
            return true;
        if (T.Kind == TTok::Ident && SameWord(T.Text, "False"))
            return false;
        Fail("True or False expected, not " + Describe(T));
    }

    void Enter()
    {
        if (++FDepth > FormMaxDepth)
            Fail("nesting deeper than " + std::to_string(FormMaxDepth));
    }
    void Leave() { --FDepth; }

    // Passes over one value, checking its form.
    void SkipValue()
    {
        const TToken T = Next();
        switch (T.Kind) {
        case TTok::Integer:
        case TTok::Float:
        case TTok::String:
        case TTok::Ident:
            return;
        case TTok::Eof:
            Fail("a value expected, not the end of the form");
        case TTok::Symbol:
            break;
        }
        switch (T.Symbol) {
        case '[':
            if (PeekSymbol(']')) {
                Next();
                return;
            }
            for (;;) {
                ExpectIdent("a set element");
                if (PeekSymbol(']')) {
                    Next();
                    return;
                }
                Expect(',');
            }
        case '(':
            Enter();
            while (!PeekSymbol(')')) {
                if (Peek().Kind == TTok::Eof)
                    Fail("the form ends inside a list");
                SkipValue();
            }
            Next();
            Leave();
            return;
        case '<':
            Enter();
            while (!PeekSymbol('>')) {
                if (!PeekWord("item"))
                    Fail("item or '>' expected, not " + Describe(Peek()));
                Next();
                Enter();
                while (!PeekWord("end")) {
                    ExpectIdent("a property");
                    Expect('=');
                    SkipValue();
                }
                Next();
                Leave();
            }
            Next();
            Leave();
            return;
        case '{':
            ReadHex(nullptr);
            return;
        default:
            Fail("a value expected, not " + Describe(T));
        }
    }

    // ---- a form

    TComponent* ReadRoot(TStream* Stream, TComponent* Instance)
    {
        const int64_t Start = Stream->Position();
        LoadText(Stream);
        if (FText.compare(0, 3, "\xEF\xBB\xBF") == 0)
            FPos = 3;

        if (!PeekWord("object"))
            Fail("a form begins with \"object\", not " + Describe(Peek()));
        Next();
        std::string Name, ClassName;
        ReadHeader(Name, ClassName);
        Enter();
        FWhere = Name.empty() ? ClassName : Name;

        std::unique_ptr<TComponent> Made;
        TComponent* Root = Instance;
        if (Root) {
            if (!IsOfClassNamed(Root, ClassName))
                Fail("the form holds a " + ClassName + ", not a " + Root->ClassName());
        } else {
            TClass C = CreatableClass(ClassName);
            Guard([&] { Made.reset(C->Create(nullptr)); });
            Root = Made.get();
        }
        FR.FRoot = Root;
        FTracker.Track(Root);
        try {
            if (!Name.empty())
                Guard([&] { Root->SetName(Name); });
            ReadComponentState(Root);
            Leave();
            SkipLineEnd();
            ResolveFixups();
            CallLoaded();
        } catch (...) {
            FreeCreated();
            for (TComponent* C : FLoadedList)
                if (FTracker.Alive(C))
                    TReader::SetLoading(C, false);
            throw;
        }
        Stream->Seek(Start + static_cast<int64_t>(FConsumed), soBeginning);
        return Made ? Made.release() : Root;
    }

    void ReadData(TComponent* Instance)
    {
        if (!FRead.count(Instance) || FRead[Instance])
            Fail("ReadData of a component whose block is not being read");
        FRead[Instance] = true;
        for (;;) {
            const TToken& T = Peek();
            if (T.Kind == TTok::Eof)
                Fail("the form ends inside the block");
            if (T.Kind != TTok::Ident)
                Fail("a property, object or end expected, not " + Describe(T));
            if (SameWord(T.Text, "end")) {
                Next();
                return;
            }
            if (SameWord(T.Text, "object"))
                ReadChild(Instance);
            else
                ReadProperty(Instance);
        }
    }

    // ---- defined properties

    void DefineProperty(const std::string& Name, const TReaderProc& ReadData)
    {
        if (FDefDone || !ReadData || !SameWord(Name, FDefName))
            return;
        FDefDone = true;
        const size_t End = ValueEnd();
        Guard([&] { ReadData(&FR); });
        if (FConsumed != End)
            Fail("the value was not read whole");
    }

    void DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData)
    {
        if (FDefDone || !ReadData || !SameWord(Name, FDefName))
            return;
        FDefDone = true;
        const TToken T = Next();
        if (T.Kind != TTok::Symbol || T.Symbol != '{')
            Fail("a binary value expected, not " + Describe(T));
        std::vector<uint8_t> Bytes;
        ReadHex(&Bytes);
        TMemoryStream Data;
        if (!Bytes.empty())
            Data.WriteBuffer(Bytes.data(), static_cast<int64_t>(Bytes.size()));
        Data.SetPosition(0);
        Guard([&] { ReadData(&Data); });
    }

private:
    void LoadText(TStream* Stream)
    {
        const int64_t Left = Stream->Size() - Stream->Position();
        if (Left > 0)
            FText.reserve(static_cast<size_t>(std::min<int64_t>(Left, FormMaxSize)));
        char Block[65536];
        for (;;) {
            const int64_t N = Stream->Read(Block, sizeof Block);
            if (N <= 0)
                break;
            if (static_cast<int64_t>(FText.size()) + N > FormMaxSize)
                Fail("the form is larger than " + std::to_string(FormMaxSize) + " bytes", 1);
            FText.append(Block, static_cast<size_t>(N));
        }
    }

    // After the root's end: blanks and one line break belong to the form.
    void SkipLineEnd()
    {
        size_t P = FConsumed;
        while (P < FText.size() && (FText[P] == ' ' || FText[P] == '\t' || FText[P] == '\r'))
            ++P;
        if (P < FText.size() && FText[P] == '\n')
            FConsumed = P + 1;
    }

    // Where the value ahead ends, the reading position left as it was.
    size_t ValueEnd()
    {
        const size_t Pos = FPos, Consumed = FConsumed, PeekEnd = FPeekEnd;
        const int Line = FLine, TokLine = FTokLine, Depth = FDepth;
        const bool HasPeek = FHasPeek;
        const TToken Saved = FPeek;
        SkipValue();
        const size_t End = FConsumed;
        FPos = Pos;
        FConsumed = Consumed;
        FPeekEnd = PeekEnd;
        FLine = Line;
        FTokLine = TokLine;
        FDepth = Depth;
        FHasPeek = HasPeek;
        FPeek = Saved;
        return End;
    }

    void ReadHeader(std::string& Name, std::string& ClassName)
    {
        std::string First = ExpectIdent("a name or class name");
        if (PeekSymbol(':')) {
            Next();
            Name = std::move(First);
            ClassName = ExpectIdent("a class name");
        } else {
            ClassName = std::move(First);
        }
        if ((!Name.empty() && !IsSimpleIdent(Name)) || !IsSimpleIdent(ClassName))
            Fail("a component name and class name are plain identifiers");
    }

    TClass CreatableClass(const std::string& ClassName)
    {
        TClass C = GetClass(ClassName);
        if (!C)
            Fail("unknown class " + ClassName);
        if (!C->CanCreate())
            Fail("class " + ClassName + " cannot be created");
        return C;
    }

    void ReadChild(TComponent* Parent)
    {
        Next();   // object
        std::string Name, ClassName;
        ReadHeader(Name, ClassName);
        Enter();
        TComponent* Owner = Parent->GetChildOwner();
        if (!Owner)
            Owner = FR.FRoot;
        TComponent* Child = Name.empty() ? nullptr : Owner->FindComponent(Name);
        const std::string SavedWhere = FWhere;
        if (Child) {
            if (FRead.count(Child) && FTracker.Alive(Child))
                Fail("the component " + Name + " appears twice");
            if (!IsOfClassNamed(Child, ClassName))
                Fail(Name + " is a " + Child->ClassName() + ", not a " + ClassName);
            FTracker.Track(Child);
            FWhere += "." + Name;
        } else {
            TClass C = CreatableClass(ClassName);
            Guard([&] { Child = C->Create(Owner); });
            FTracker.Track(Child);
            FCreated.push_back(Child);
            FWhere += "." + (Name.empty() ? ClassName : Name);
            if (!Name.empty())
                Guard([&] { Child->SetName(Name); });
            Guard([&] { Child->SetParentComponent(Parent); });
        }
        ReadComponentState(Child);
        FWhere = SavedWhere;
        Leave();
    }

    void ReadComponentState(TComponent* C)
    {
        TReader::SetLoading(C, true);
        FLoadedList.push_back(C);
        FRead[C] = false;
        FStack.push_back(C);
        Guard([&] { C->ReadState(&FR); });
        FStack.pop_back();
        if (FTracker.Alive(C) && !FRead[C])
            Fail(C->ClassName() + " did not read its block");
    }

    void ReadProperty(TPersistent* Obj)
    {
        TToken Path = Next();
        if (SameWord(Path.Text, "item"))
            Fail("item outside a collection");
        FProps.push_back(Path.Text);
        Expect('=');
        SetPath(Obj, Path.Text, 0);
        FProps.pop_back();
    }

    void SetPath(TPersistent* Obj, std::string_view Path, int Aliases)
    {
        const size_t Dot = Path.find('.');
        const std::string_view Head = Path.substr(0, Dot);
        const TPropInfo* P = GetPropInfo(Obj, Head);
        if (P && P->IsAlias()) {
            if (Aliases >= MaxAliasSteps)
                Fail("older names lead too far");
            std::string Target = P->AliasOf();
            if (Dot != std::string_view::npos)
                Target += Path.substr(Dot);
            SetPath(Obj, Target, Aliases + 1);
            return;
        }
        if (Dot != std::string_view::npos) {
            if (!P)
                Fail("unknown property " + std::string(Head) + " of " + Obj->ClassName());
            if (P->Kind() != tkClass)
                Fail(std::string(Head) + " has no properties of its own");
            TPersistent* Sub = nullptr;
            Guard([&] { Sub = P->GetObject(Obj); });
            if (!Sub)
                Fail(std::string(Head) + " is not there");
            SetPath(Sub, Path.substr(Dot + 1), Aliases);
            return;
        }
        if (P) {
            ReadValue(Obj, P);
            return;
        }
        TValueRollback<std::string> Name(FDefName, std::string(Path));
        TValueRollback<bool> Done(FDefDone, false);
        Guard([&] { Obj->DefineProperties(&FR); });
        if (!FDefDone)
            Fail("unknown property " + std::string(Path) + " of " + Obj->ClassName());
    }

    void ReadValue(TPersistent* Obj, const TPropInfo* P)
    {
        switch (P->Kind()) {
        case tkInteger: {
            const TToken T = Next();
            int64_t V = 0;
            if (T.Kind == TTok::Integer) {
                V = ParseInt(T.Text);
            } else if (T.Kind == TTok::Ident && P->Idents()) {
                if (!P->Idents()->ToValue(T.Text, V))
                    Fail("unknown value " + T.Text);
            } else {
                Fail("an integer expected, not " + Describe(T));
            }
            if (V < P->MinValue() || V > P->MaxValue())
                Fail("the value " + std::to_string(V) + " is out of range");
            Guard([&] { P->SetOrd(Obj, V); });
            return;
        }
        case tkEnumeration: {
            const TToken T = Next();
            int64_t V = 0;
            if (T.Kind != TTok::Ident)
                Fail("a name expected, not " + Describe(T));
            if (!P->Idents()->ToValue(T.Text, V))
                Fail("unknown value " + T.Text);
            Guard([&] { P->SetOrd(Obj, V); });
            return;
        }
        case tkSet: {
            Expect('[');
            uint64_t Bits = 0;
            if (PeekSymbol(']')) {
                Next();
            } else {
                for (;;) {
                    const std::string E = ExpectIdent("a set element");
                    int64_t V = 0;
                    if (!P->Idents()->ToValue(E, V))
                        Fail("unknown set element " + E);
                    Bits |= uint64_t{1} << V;
                    if (PeekSymbol(']')) {
                        Next();
                        break;
                    }
                    Expect(',');
                }
            }
            Guard([&] { P->SetOrd(Obj, static_cast<int64_t>(Bits)); });
            return;
        }
        case tkFloat: {
            const double V = ReadFloat();
            Guard([&] { P->SetFloat(Obj, V); });
            return;
        }
        case tkString: {
            const std::string V = ReadString();
            Guard([&] { P->SetString(Obj, V); });
            return;
        }
        case tkComponent: {
            const TToken T = Next();
            if (T.Kind != TTok::Ident || T.Text[0] == '-')
                Fail("a component name expected, not " + Describe(T));
            if (SameWord(T.Text, "nil")) {
                Guard([&] { P->SetComponent(Obj, nullptr); });
                return;
            }
            std::string Where = FWhere;
            for (const std::string& Prop : FProps)
                Where += "." + Prop;
            FFixups.push_back({FStack.back(), Obj, P, T.Text, Where, T.Line});
            return;
        }
        case tkClass: {
            TPersistent* Sub = nullptr;
            Guard([&] { Sub = P->GetObject(Obj); });
            auto* Items = dynamic_cast<TCollection*>(Sub);
            if (!Items || !PeekSymbol('<'))
                Fail(P->Name() + " is an object: give its properties as " + P->Name() + ".Name");
            ReadCollection(Items);
            return;
        }
        }
    }

    void ReadCollection(TCollection* Items)
    {
        Next();   // <
        Enter();
        if (!FCollections.insert(Items).second)
            Fail("the collection is given twice");
        Items->BeginUpdate();
        TScopeExit Done([Items] { Items->EndUpdate(); });
        Guard([&] { Items->Clear(); });
        for (int Index = 0;; ++Index) {
            if (PeekSymbol('>')) {
                Next();
                break;
            }
            if (!PeekWord("item"))
                Fail("item or '>' expected, not " + Describe(Peek()));
            Next();
            Enter();
            TCollectionItem* Item = nullptr;
            Guard([&] { Item = Items->Add(); });
            FProps.back() += "[" + std::to_string(Index) + "]";
            for (;;) {
                const TToken& T = Peek();
                if (T.Kind == TTok::Ident && SameWord(T.Text, "end")) {
                    Next();
                    break;
                }
                if (T.Kind != TTok::Ident)
                    Fail("a property or end expected, not " + Describe(T));
                ReadProperty(Item);
            }
            FProps.back().erase(FProps.back().rfind('['));
            Leave();
        }
        Leave();
    }

    void ResolveFixups()
    {
        const std::vector<TFixup> List = FFixups;   // a setter may free components
        for (const TFixup& F : List) {
            if (!FTracker.Alive(F.Component))
                continue;
            TComponent* Target = FindByPath(FR.FRoot, F.Name);
            if (!Target)
                continue;   // unknown: left unset
            FWhere = F.Where;
            FProps.clear();
            FTokLine = F.Line;
            bool Taken = false;
            Guard([&] { Taken = F.Prop->SetComponent(F.Instance, Target); });
            if (!Taken)
                Fail(F.Name + " is a " + Target->ClassName() + ", which " + F.Prop->Name() + " does not take");
        }
    }

    void CallLoaded()
    {
        const std::vector<TComponent*> List = FLoadedList;
        for (TComponent* C : List) {
            if (!FTracker.Alive(C))
                continue;
            FWhere = C->Name().empty() ? C->ClassName() : C->Name();
            Guard([&] { C->Loaded(); });
            if (FTracker.Alive(C))
                TReader::SetLoading(C, false);
        }
    }

    // After a fault: the components this read created, newest first.
    void FreeCreated()
    {
        while (!FCreated.empty()) {
            TComponent* C = FCreated.back();
            FCreated.pop_back();
            if (FTracker.Alive(C))
                delete C;
        }
    }

    // ---- scanning

    [[noreturn]] void ScanFail(const std::string& Message) const { Fail(Message, FLine); }

    void Scan(TToken& T)
    {
        T.Text.clear();
        T.Symbol = 0;
        for (;;) {
            if (FPos >= FText.size()) {
                T.Kind = TTok::Eof;
                T.Line = FLine;
                return;
            }
            const char C = FText[FPos];
            if (C == '\n')
                ++FLine;
            else if (C != ' ' && C != '\t' && C != '\r')
                break;
            ++FPos;
        }
        T.Line = FLine;
        const char C = FText[FPos];
        const char N = FPos + 1 < FText.size() ? FText[FPos + 1] : '\0';
        if (IsIdentStart(C) || (C == '-' && IsIdentStart(N))) {
            ScanIdent(T);
        } else if (std::isdigit(static_cast<unsigned char>(C)) ||
                   (C == '-' && std::isdigit(static_cast<unsigned char>(N)))) {
            ScanNumber(T);
        } else if (C == '"') {
            ScanString(T);
        } else if (std::string_view("=:[](),<>{}").find(C) != std::string_view::npos) {
            T.Kind = TTok::Symbol;
            T.Symbol = C;
            ++FPos;
        } else if (static_cast<unsigned char>(C) > ' ' && static_cast<unsigned char>(C) < 0x7F) {
            ScanFail(std::string("unexpected character '") + C + "'");
        } else {
            static const char Hex[] = "0123456789ABCDEF";
            const auto B = static_cast<unsigned char>(C);
            ScanFail(std::string("unexpected byte 0x") + Hex[B >> 4] + Hex[B & 15]);
        }
    }

    void ScanIdent(TToken& T)
    {
        T.Kind = TTok::Ident;
        const size_t Start = FPos;
        if (FText[FPos] == '-')
            ++FPos;
        for (;;) {
            while (FPos < FText.size() && IsIdentChar(FText[FPos]))
                ++FPos;
            if (FPos + 1 < FText.size() && FText[FPos] == '.' && IsIdentStart(FText[FPos + 1]))
                ++FPos;
            else
                break;
            if (FPos - Start > FormMaxIdentLength)
                break;
        }
        if (FPos - Start > FormMaxIdentLength)
            ScanFail("a name longer than " + std::to_string(FormMaxIdentLength) + " bytes");
        T.Text.assign(FText, Start, FPos - Start);
    }

    void ScanNumber(TToken& T)
    {
        const size_t Start = FPos;
        auto Digits = [&] {
            const size_t From = FPos;
            while (FPos < FText.size() && std::isdigit(static_cast<unsigned char>(FText[FPos])) &&
                   FPos - Start <= FormMaxIdentLength)
                ++FPos;
            return FPos > From;
        };
        if (FText[FPos] == '-')
            ++FPos;
        Digits();
        T.Kind = TTok::Integer;
        if (FPos < FText.size() && FText[FPos] == '.') {
            ++FPos;
            if (!Digits())
                ScanFail("digits expected after the decimal point");
            T.Kind = TTok::Float;
        }
        if (FPos < FText.size() && (FText[FPos] == 'e' || FText[FPos] == 'E')) {
            ++FPos;
            if (FPos < FText.size() && (FText[FPos] == '+' || FText[FPos] == '-'))
                ++FPos;
            if (!Digits())
                ScanFail("digits expected in the exponent");
            T.Kind = TTok::Float;
        }
        if (FPos - Start > FormMaxIdentLength)
            ScanFail("a number longer than " + std::to_string(FormMaxIdentLength) + " bytes");
        if (FPos < FText.size() && (IsIdentChar(FText[FPos]) || FText[FPos] == '.'))
            ScanFail("a malformed number");
        T.Text.assign(FText, Start, FPos - Start);
    }

    void ScanString(TToken& T)
    {
        T.Kind = TTok::String;
        ++FPos;   // "
        for (;;) {
            if (FPos >= FText.size())
                ScanFail("the form ends inside a string");
            if (T.Text.size() > FormMaxStringLength)
                ScanFail("a string longer than " + std::to_string(FormMaxStringLength) + " bytes");
            const auto C = static_cast<unsigned char>(FText[FPos]);
            if (C == '"') {
                ++FPos;
                return;
            }
            if (C == '\\') {
                if (FPos + 1 >= FText.size())
                    ScanFail("the form ends inside a string");
                const char E = FText[FPos + 1];
                FPos += 2;
                switch (E) {
                case '"': T.Text += '"'; break;
                case '\\': T.Text += '\\'; break;
                case 'n': T.Text += '\n'; break;
                case 'r': T.Text += '\r'; break;
                case 't': T.Text += '\t'; break;
                case 'x': {
                    const int H = FPos < FText.size() ? HexValue(FText[FPos]) : -1;
                    const int L = FPos + 1 < FText.size() ? HexValue(FText[FPos + 1]) : -1;
                    if (H < 0 || L < 0)
                        ScanFail("\\x takes two hexadecimal digits");
                    T.Text += static_cast<char>(H << 4 | L);
                    FPos += 2;
                    break;
                }
                default:
                    ScanFail(std::string("unknown escape \\") + (E >= ' ' && E < 0x7F ? std::string(1, E) : "?"));
                }
                continue;
            }
            if (C < 0x20 || C == 0x7F)
                ScanFail(C == '\n' ? "a line break inside a string" : "a control character inside a string");
            if (C >= 0x80) {
                const size_t N = Utf8CharSize(FText, FPos);
                if (N < 2)
                    ScanFail("a string that is not UTF-8");
                T.Text.append(FText, FPos, N);
                FPos += N;
                continue;
            }
            T.Text += static_cast<char>(C);
            ++FPos;
        }
    }

    TReader& FR;
    std::string FText;
    size_t FPos = 0;
    int FLine = 1;
    size_t FConsumed = 0;   // just after the last token taken
    bool FHasPeek = false;
    TToken FPeek;
    size_t FPeekEnd = 0;
    int FTokLine = 1;
    int FDepth = 0;
    mutable bool FFailed = false;

    std::string FWhere;                // the component being read
    std::vector<std::string> FProps;   // the property being read
    std::string FDefName;
    bool FDefDone = false;

    TReadTracker FTracker;
    std::vector<TComponent*> FCreated;
    std::vector<TComponent*> FLoadedList;
    std::vector<TComponent*> FStack;     // the blocks being read
    std::map<TComponent*, bool> FRead;   // block read (ReadData called)
    std::set<TCollection*> FCollections;
    std::vector<TFixup> FFixups;
};

TReader::TReader(TStream* Stream) : FStream(Stream)
{
}

TReader::~TReader() = default;

void TReader::SetLoading(TComponent* Component, bool Value)
{
    if (Value)
        Component->FState << csLoading;
    else
        Component->FState >> csLoading;
}

TComponent* TReader::ReadRootComponent(TComponent* Root)
{
    FImpl = std::make_unique<TReaderImpl>(*this);
    TScopeExit Done([this] {
        FImpl.reset();
        FRoot = nullptr;
    });
    return FImpl->ReadRoot(FStream, Root);
}

void TReader::ReadData(TComponent* Instance)
{
    if (!FImpl)
        throw EReadError("ReadData outside a form being read");
    FImpl->ReadData(Instance);
}

void TReader::DefineProperty(const std::string& Name, const TReaderProc& ReadData, const TWriterProc&, bool)
{
    if (FImpl)
        FImpl->DefineProperty(Name, ReadData);
}

void TReader::DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData, const TStreamProc&, bool)
{
    if (FImpl)
        FImpl->DefineBinaryProperty(Name, ReadData);
}

namespace {
TReaderImpl& Active(const std::unique_ptr<TReaderImpl>& Impl)
{
    if (!Impl)
        throw EReadError("No form is being read");
    return *Impl;
}
}  // namespace

TValueType TReader::NextValue()
{
    const TToken& T = Active(FImpl).Peek();
    switch (T.Kind) {
    case TTok::Integer: return vaInteger;
    case TTok::Float: return vaFloat;
    case TTok::String: return vaString;
    case TTok::Ident: return vaIdent;
    case TTok::Eof: return vaNull;
    case TTok::Symbol:
        switch (T.Symbol) {
        case '[': return vaSet;
        case '(': return vaList;
        case '<': return vaCollection;
        case '{': return vaBinary;
        default: return vaNull;
        }
    }
    return vaNull;
}

int TReader::ReadInteger()
{
    const int64_t V = Active(FImpl).ReadInt64();
    if (V < std::numeric_limits<int32_t>::min() || V > std::numeric_limits<int32_t>::max())
        FImpl->Fail("the value " + std::to_string(V) + " is out of range");
    return static_cast<int>(V);
}

int64_t TReader::ReadInt64()
{
    return Active(FImpl).ReadInt64();
}

double TReader::ReadFloat()
{
    return Active(FImpl).ReadFloat();
}

std::string TReader::ReadString()
{
    return Active(FImpl).ReadString();
}

std::string TReader::ReadIdent()
{
    TReaderImpl& R = Active(FImpl);
    const std::string S = R.ExpectIdent("a name");
    if (S[0] == '-')
        R.Fail("a name expected, not " + S);
    return S;
}

bool TReader::ReadBoolean()
{
    return Active(FImpl).ReadBoolean();
}

void TReader::ReadListBegin()
{
    Active(FImpl).Expect('(');
    FImpl->Enter();
}

bool TReader::EndOfList()
{
    TReaderImpl& R = Active(FImpl);
    if (R.Peek().Kind == TTok::Eof)
        R.Fail("the form ends inside a list");
    return R.PeekSymbol(')');
}

void TReader::ReadListEnd()
{
    Active(FImpl).Expect(')');
    FImpl->Leave();
}

int TReader::Line() const
{
    return FImpl ? FImpl->Line() : 0;
}

void TReader::Error(const std::string& Message) const
{
    if (!FImpl)
        throw EReadError(Message);
    FImpl->Fail(Message);
}

// ====================================================================== files

void WriteComponentFile(const std::string& FileName, TComponent* Instance)
{
    TAtomicFileStream File(FileName);
    File.WriteComponent(Instance);
    File.Commit();
}

TComponent* ReadComponentFile(const std::string& FileName, TComponent* Instance)
{
    TFileStream File(FileName, fmOpenRead);
    if (File.Size() > FormMaxSize)
        throw EReadError(FileName + ": the form is larger than " + std::to_string(FormMaxSize) + " bytes");
    TMemoryStream Text;
    Text.LoadFromStream(&File);
    TComponent* Result = Text.ReadComponent(Instance);
    const auto* P = Text.Memory();
    for (int64_t I = Text.Position(); I < Text.Size(); ++I)
        if (P[I] != ' ' && P[I] != '\t' && P[I] != '\r' && P[I] != '\n') {
            if (!Instance)
                delete Result;
            throw EReadError(FileName + ": text after the end of the form");
        }
    return Result;
}
