// Fuzz target: arbitrary bytes read as RTF, written as RTF and read again,
// put into a rich-edit control and laid out page after page in a small
// rectangle of a metafile. The reader must give well-formed UTF-8, the writer
// 7-bit RTF that reads back to the same document, the control must count the
// characters the reader counted, and every format range must return an index
// between its start and the text length + 1, measuring and drawing alike.
#include "platform/Application.h"
#include "platform/Metafile.h"
#include "platform/RichEdit.h"
#include "platform/SysUtils.h"

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <string_view>

namespace {

bool WellFormed(std::string_view S)
{
    for (size_t I = 0; I < S.size();) {
        const size_t N = Utf8CharSize(S, I);
        if (N == 1 && static_cast<uint8_t>(S[I]) >= 0x80)
            return false;
        I += N;
    }
    return true;
}

}  // namespace

// The font configuration library keeps what it looks up for the life of the
// process.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    EnsureApplication();
    static TRichEdit* Edit = new TRichEdit(nullptr);

    const std::string_view Text(reinterpret_cast<const char*>(Data), Size);
    TRichDocument Doc = ReadRtf(Text);
    const std::string Written = WriteRtf(Doc);
    for (const char Byte : Written)
        if (static_cast<uint8_t>(Byte) >= 0x80)
            std::abort();
    if (!(ReadRtf(Written) == Doc))
        std::abort();
    // Which fonts the system has for a name is the font library's business:
    // a few known names keep the fuzzer on our code.
    const auto Known = [](TRichCharFormat& F) {
        static const char* const Names[] = {"", "Arial", "Courier New", "Times New Roman"};
        if (!WellFormed(F.FontName))
            std::abort();
        F.FontName = Names[std::hash<std::string>()(F.FontName) % 4];
    };
    for (TRichParagraph& P : Doc.Paragraphs) {
        Known(P.MarkFormat);
        for (TRichRun& R : P.Runs) {
            if (R.Text.empty() || !WellFormed(R.Text))
                std::abort();
            Known(R.Format);
        }
    }
    Edit->SetDocument(Doc);
    const int Length = Edit->GetTextLen();
    if (Length != Doc.TextLength())
        std::abort();

    TMetafile M;
    TMetafileCanvas C(&M, nullptr);
    TFormatRange Range;
    Range.Canvas = &C;
    Range.Rect = Rect(144, 144, 144 + 1440 * 3 / 2, 144 + 1440);
    Range.PageRect = Rect(0, 0, 1440 * 2, 1440 * 3 / 2);
    for (int Page = 0; Page < 200 && Range.CharMin <= Length; ++Page) {
        const int Measured = Edit->FormatRange(Range, false);
        const int Drawn = Edit->FormatRange(Range, true);
        if (Measured != Drawn || Drawn < Range.CharMin || Drawn > Length + 1)
            std::abort();
        if (Drawn == Range.CharMin)
            break;   // a line taller than the rectangle
        Range.CharMin = Drawn;
    }
    return 0;
}
