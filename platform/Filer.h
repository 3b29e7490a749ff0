// The form stream: a component, its sub-objects and the components inside
// it written as text, and read back into a component of the same classes.
// The chart, report and widget libraries store their forms with it.
//
// A form is UTF-8 text with one block per component:
//
//   object Chart1: TTestChart
//     Width = 400
//     Visible = False
//     Align = alClient
//     Title.Caption = "Flow \"in\" L/min"
//     Title.Font.Color = clRed
//     Title.Font.Style = [fsBold, fsItalic]
//     Scale = 0.25
//     Lines.Strings = (
//       "first"
//       "second")
//     Axes = <
//       item
//         Minimum = -2.5
//       end
//       item
//       end>
//     Picture = {
//       89504E470D0A1A0A0000000D49484452}
//     object Series1: TTestSeries
//       Source = Series2
//     end
//     object Series2: TTestSeries
//     end
//   end
//
// Grammar (blanks, tabs and line breaks separate tokens and are free
// otherwise; a UTF-8 byte-order mark may open the text):
//   form       = block
//   block      = "object" [Name ":"] ClassName { property | block } "end"
//   property   = Path "=" value
//   Path       = Ident { "." Ident }   owned sub-objects, then the property
//   value      = Integer | Float | String | Ident | set | list | collection | binary
//   Integer    = ["-"] digits                      (64-bit)
//   Float      = ["-"] digits ("." digits [Exp] | Exp) | NAN | INF | -INF
//                Exp = ("e" | "E") ["+" | "-"] digits
//   String     = '"' { character | escape } '"'; escapes \" \\ \n \r \t and
//                \xHH (any byte); other characters are well-formed UTF-8 and
//                no control characters
//   Ident      = (letter | "_") { letter | digit | "_" }, dotted ("A.B") for
//                a reference to a component owned inside the form
//   set        = "[" [Ident { "," Ident }] "]"
//   list       = "(" { value } ")"
//   collection = "<" { "item" { property } "end" } ">"
//   binary     = "{" { hexdigit hexdigit } "}"
// Keywords, names, properties and identifier values are compared without
// regard to case. The words object, end and item name no property.
//
// Values by property kind (platform/TypInfo.h): integers as Integer or one
// of the property's identifiers (colours: clRed); enumerations and Booleans
// (True, False) as Ident; sets as set; floats as Float (or Integer); strings
// as String; a sub-object by its properties as dotted paths
// ("Title.Font.Color"), a collection (TCollection) as collection; a component
// reference as the path of owner names from the form's root ("Series1",
// "Chart1.Series1"; the root by its own name; nil for none), resolved when the
// whole form has been read. Properties a class defines itself
// (TPersistent::DefineProperties) take any value: DefineProperty values are
// read and written with the value calls of TReader and TWriter (lists in
// parentheses), DefineBinaryProperty bytes as binary.
//
// Writing: the root's block; in each block the published properties in
// table order (ancestors' first; sub-objects in place), then the defined
// properties, then the blocks of GetChildren. A property is written when its
// stored rule holds and its value differs from its default (always when it
// has none); a reference when it is set to a component reachable by names
// from the root; older names and events never. Two spaces indent each level,
// lines end with LF, floats keep every bit (shortest form, '.'), binary is
// upper-case hexadecimal, 32 bytes a line. Writing a form that was read gives
// the same bytes.
//
// Reading trusts nothing: any fault raises EReadError naming the component,
// the property and the line: an unknown class, property or identifier, a
// value of the wrong kind or out of the property's range, text cut short or
// past the limits below, a class that is not registered (RegisterClass) or
// cannot be created, a component named twice. A block whose name finds a
// component of that class owned by the enclosing one reads into it;
// otherwise the registered class is created (owner: GetChildOwner of the
// enclosing component) and told its parent (SetParentComponent). A reference
// whose name finds nothing is left unset. Every component read is in
// csLoading until its Loaded, which runs after the references are resolved,
// in reading order. On a fault, what the read created is freed and the rest
// is left as it was read.
#pragma once

#include "platform/Classes.h"
#include "platform/Streams.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// Limits of the reader (the writer refuses forms it could not read back).
constexpr int FormMaxDepth = 64;                  // nested blocks, lists, collections and items
constexpr size_t FormMaxIdentLength = 255;        // names, paths and number tokens, in bytes
constexpr size_t FormMaxStringLength = 1 << 20;   // one string value, in bytes
constexpr int64_t FormMaxSize = 64 << 20;         // the whole form, in bytes

class TReader;
class TWriter;
class TReaderImpl;
class TWriterImpl;

using TReaderProc = std::function<void(TReader* Reader)>;
using TWriterProc = std::function<void(TWriter* Writer)>;
using TStreamProc = std::function<void(TStream* Stream)>;

// What a reader or writer offers DefineProperties.
class TFiler : public TObject {
public:
    // The component whose form is read or written.
    TComponent* Root() const { return FRoot; }

    // A property of the object's own: the writer calls WriteData (which
    // writes exactly one value) when HasData; the reader calls ReadData
    // (which reads exactly that value) when the form holds it. An older name
    // passes no WriteData: read, never written.
    virtual void DefineProperty(const std::string& Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                                bool HasData) = 0;
    // Bytes: WriteData writes them to the stream it is given; ReadData reads
    // them from a stream holding them all, positioned at their start.
    virtual void DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData,
                                      const TStreamProc& WriteData, bool HasData) = 0;

protected:
    TComponent* FRoot = nullptr;
};

// The kinds of value NextValue sees.
enum TValueType { vaNull, vaInteger, vaFloat, vaString, vaIdent, vaSet, vaList, vaCollection, vaBinary };

class TWriter : public TFiler {
public:
    explicit TWriter(TStream* Stream);
    ~TWriter() override;

    // The form of Root; the text reaches the stream in one write when whole.
    // EWriteError when a name cannot be stored or the stream fails.
    void WriteRootComponent(TComponent* Root);

    void DefineProperty(const std::string& Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                        bool HasData) override;
    void DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData, const TStreamProc& WriteData,
                              bool HasData) override;

    // Values of a defined property.
    void WriteInteger(int64_t Value);
    void WriteFloat(double Value);
    void WriteString(const std::string& Value);
    void WriteIdent(const std::string& Value);   // EWriteError unless an identifier
    void WriteBoolean(bool Value);
    void WriteListBegin();
    void WriteListEnd();

private:
    TStream* FStream;
    std::unique_ptr<TWriterImpl> FImpl;
};

class TReader : public TFiler {
public:
    // Reads from the stream's position; the position ends after the form's
    // last "end" and its line break.
    explicit TReader(TStream* Stream);
    ~TReader() override;

    // One form into Root, whose class must be the stored one or derive from
    // it; with Root nil, into a new component of the stored (registered)
    // class, which the caller then owns. Returns the component read.
    TComponent* ReadRootComponent(TComponent* Root);
    // The properties and blocks of Instance up to its "end"; what
    // TComponent::ReadState calls, once.
    void ReadData(TComponent* Instance);

    void DefineProperty(const std::string& Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                        bool HasData) override;
    void DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData, const TStreamProc& WriteData,
                              bool HasData) override;

    // Values of a defined property; each raises EReadError on another kind.
    TValueType NextValue();
    int ReadInteger();   // within 32 bits
    int64_t ReadInt64();
    double ReadFloat();   // an Integer too
    std::string ReadString();
    std::string ReadIdent();
    bool ReadBoolean();
    void ReadListBegin();
    bool EndOfList();
    void ReadListEnd();

    // The line being read, and an EReadError naming it and what is read.
    int Line() const;
    [[noreturn]] void Error(const std::string& Message) const;

private:
    friend class TReaderImpl;
    static void SetLoading(TComponent* Component, bool Value);

    TStream* FStream;
    std::unique_ptr<TReaderImpl> FImpl;
};

// The form of Instance into FileName, replaced whole (temporary file and
// rename): EWriteError / EFCreateError, and FileName is left as it was.
void WriteComponentFile(const std::string& FileName, TComponent* Instance);
// The form in FileName (nothing but blanks may follow it) into Instance, or
// into a new component of the stored class when Instance is nil (the caller
// owns it). EFOpenError / EReadError.
TComponent* ReadComponentFile(const std::string& FileName, TComponent* Instance);
