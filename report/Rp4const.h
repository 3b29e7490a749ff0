// Every text the report library shows, as a named resource string: a fixed
// numeric id (64960..65263) and the built-in English text. Code loads a text
// by its name where it uses it, so a translated table (LoadResStringTable)
// changes every message without touching code.
//
//   throw ERpError(FormatResString(SRpGotoPage, PageCount));
//   Caption = LoadResString(SRpSaveReport);
//
// Ids are part of the translated tables people keep: an id, once given, is
// never reused for another text; new texts take free ids of their group.
// Placeholders are %s and %d (and %% for a percent sign); FormatResString
// fills them in order and never reads beyond its arguments, whatever a
// translation holds.
#pragma once

#include "platform/Classes.h"
#include "platform/SysUtils.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

// The report library's error: misuse of a report object, a damaged report
// file, a page list that cannot be written.
class ERpError : public Exception {
public:
    using Exception::Exception;
};

struct TRpResString {
    int Id;
    const char* Text;   // the built-in (English) text
};

constexpr int RpResStringFirstId = 64960;
constexpr int RpResStringLastId = 65263;

// identifier, id, text
#define RP4CONST_STRINGS(S)                                                                          \
    /* Evaluator: 64960.. */                                                                         \
    S(SRpExpError, 64960, "Error in expression : %s")                                                \
    S(SRpExpMissing, 64961, "Missing %s")                                                            \
    S(SRpExpIllegalCharInNumeric, 64962, "Illegal character in numeric contant \"%s\"")              \
    S(SRpExpUnknownFunction, 64963, "Unknown function : %s")                                         \
    S(SRpExpUnknownFieldType, 64964, "Field %s is of unknown type")                                  \
    S(SRpExpRecursive, 64965, "Recursive calls not allowed")                                         \
    S(SRpEvalNotPrepared, 64966, "Evaluator not prepared")                                           \
    S(SRpNotValue, 64967, "Not a %s value")                                                          \
    S(SRpExpCannotOperator, 64968, "Cannot %s %s expressions")                                       \
    S(SRpExpOperatorNotCompatible, 64969, "Operator %s is not compatible with %s expressions")       \
    S(SRpExpDivideByZero, 64970, "Cannot divide by 0")                                               \
    S(SRpInvalidNot, 64971, "Invalid use of NOT")                                                    \
    S(SRpExpAdd, 64972, "add")                                                                       \
    S(SRpExpSubtract, 64973, "subtract")                                                             \
    S(SRpExpMultiply, 64974, "multiply")                                                             \
    S(SRpExpDivide, 64975, "divide")                                                                 \
    S(SRpExpBoolean, 64976, "boolean")                                                               \
    S(SRpExpString, 64977, "string")                                                                 \
    S(SRpExpNumeric, 64978, "numeric")                                                               \
    S(SRpTrue, 64979, "True")                                                                        \
    S(SRpFalse, 64980, "False")                                                                      \
    S(SRpExpIntegerOverflow, 64981, "Integer overflow")                                              \
    /* Built-in functions: 64990.. */                                                                \
    S(SRpExpTooManyArgs, 64990, "Too many arguments")                                                \
    S(SRpExpWrongArguments, 64991, "Wrong arguments for %s")                                         \
    S(SRpExpUnknownType, 64992, "Unknown type")                                                      \
    S(SRpConversionError, 64993, "Conversion error")                                                 \
    S(SRpMissingArgument, 64994, "Missing argument for %s")                                          \
    S(SRpDivisionByZero, 64995, "Division by Zero")                                                  \
    S(SRpSQRTInvalid, 64996, "Invalid argument to SQRT function")                                    \
    S(SRpInvalidFormatnumeric, 64997, "Invalid format or value specified")                           \
    S(SRpVendorName, 64998, "Banded report library")                                                 \
    S(SRpIfDesc, 65000, "Returns <X> or <Y> depending on the boolean expression <Exp>")              \
    S(SRpStrDesc, 65001, "Convert a numeric <X> to a string")                                        \
    S(SRpUpperDesc, 65002, "Converts a string to upper case letters")                                \
    S(SRpLowerDesc, 65003, "Converts a string to lower case letters")                                \
    S(SRpPrettyDesc, 65004, "Makes the first character upper case and the rest lower case")         \
    S(SRpTimeDesc, 65005, "Return current time as a string")                                         \
    S(SRpDateDesc, 65006, "Return current date as a string")                                         \
    S(SRpCopyDesc, 65007, "Returns a substring of string X")                                         \
    S(SRpSumDesc, 65008, "Sums the numeric <X>")                                                     \
    S(SRpCountDesc, 65009, "Increments for each iteration")                                          \
    S(SRpMaxDesc, 65010, "Returns the highest <X>")                                                  \
    S(SRpMinDesc, 65011, "Returns the lowest <X>")                                                   \
    S(SRpAverageDesc, 65012, "Returns the average of numeric <X>")                                   \
    S(SRpBoolDesc, 65013, "boolean value")                                                           \
    S(SRpIntDesc, 65014, "Returns the integer part of <X>")                                          \
    S(SRpFracDesc, 65015, "Returns the fractional part of <X>")                                      \
    S(SRpSqrtDesc, 65016, "Returns square root of <X>")                                              \
    S(SRpDivDesc, 65017, "Integer division of <X> by <Y>")                                           \
    S(SRpTypeofDesc, 65018, "Returns the data type of <Exp>")                                        \
    S(SRpFormatNumericDesc, 65019, "Formats numeric <N> using the mask in <F>")                      \
    S(SRpArcCosDesc, 65020, "Returns the angle whose cosine is given")                               \
    S(SRpCosDesc, 65021, "Returns the cosine of the given angle")                                    \
    S(SRpSinDesc, 65022, "Returns the sine of the given angle")                                      \
    S(SRpTanDesc, 65023, "Returns the tangent of the given angle")                                   \
    S(SRpCoTanDesc, 65024, "Returns the cotangent of the given angle")                               \
    /* Expression builder, environment editor, progress window: 65040.. */                          \
    S(SRpExpBldLogical, 65040, "Argument %d - logical value")                                        \
    S(SRpExpBldNumeric, 65041, "Argument %d - numeric value")                                        \
    S(SRpExpBldText, 65042, "Argument %d - text Value")                                              \
    S(SRpExpBldValue, 65043, "Argument %d - value")                                                  \
    S(SRpExpBldEnterParam, 65044, "Enter %d. parameter for %s")                                      \
    S(SRpExpBldError, 65045, "ERROR: ")                                                              \
    S(SRpExpBldNoError, 65046, "There are no errors. The result is : ")                              \
    S(SRpName, 65047, "Name")                                                                        \
    S(SRpExpression, 65048, "Expression")                                                            \
    S(SRpCompleted, 65049, " Completed")                                                             \
    S(SRpPrintingProgress, 65050, "Printing progress")                                               \
    S(SRpCancel, 65051, "Cancel")                                                                    \
    S(SRpSearchCaption, 65052, "Report Preview : Text Search")                                       \
    S(SRpSearchFor, 65053, "Search for :")                                                           \
    S(SRpMatchCase, 65054, "Match Case")                                                             \
    S(SRpSearch, 65055, "Search")                                                                    \
    /* Printer, preview, export filters: 65060.. */                                                  \
    S(SRpPrinterNotReady, 65060, "RpPrinter not ready")                                              \
    S(SRpIllegalNewPage, 65061, "Illegal call to NewPage")                                           \
    S(SRpFile, 65062, "Report file")                                                                 \
    S(SRpSaveReport, 65063, "Save report")                                                           \
    S(SRpLoadReport, 65064, "Load report")                                                           \
    S(SRpFileNotExist, 65065, "File does not exist")                                                 \
    S(SRpGotoPage, 65066, "Select a page from 1 to %d")                                              \
    S(SRpPage, 65067, "Page")                                                                        \
    S(SRpOf, 65068, "of")                                                                            \
    S(SRpAbstractFilterName, 65069, "Abstract filter")                                               \
    S(SRpAbstractFilterDescription, 65070, "Abstract non-working export filter")                     \
    /* Page list and saved-report files: 65080.. */                                                  \
    S(SRpDamagedReportFile, 65080, "The report file %s is damaged: %s")                              \
    S(SRpCannotOpenReport, 65081, "Cannot open the report file %s: %s")                              \
    S(SRpCannotSaveReport, 65082, "Cannot save the report to %s: %s")                                \
    S(SRpCannotCreateTemp, 65083, "Cannot create a temporary file for the report: %s")               \
    S(SRpCannotWriteReport, 65084, "Cannot write the report's pages: %s")                            \
    S(SRpReportInMemory, 65085, "(report in memory)")                                                \
    S(SRpBadHeader, 65086, "it is too short for a report header")                                    \
    S(SRpBadPageCount, 65087, "its page count %d does not match the pages it holds")                 \
    S(SRpBadLastLink, 65088, "the link to its last page is wrong")                                   \
    S(SRpBadPageNumber, 65089, "page %d was found where page %d was expected")                       \
    S(SRpBadPageEnd, 65090, "page %d does not end inside the file")                                  \
    S(SRpBadBackLink, 65091, "page %d does not link back to its start")                              \
    S(SRpBadPicture, 65092, "page %d holds no valid picture")                                        \
    S(SRpBadLinks, 65093, "the links of page %d do not fit in the page")                             \
    S(SRpBadCode, 65094, "the coded picture of page %d is damaged")                                  \
    S(SRpPageMissing, 65095, "page %d is missing")                                                   \
    /* Printables and the about box: 65100.. */                                                      \
    S(SRpTime, 65100, "Time")                                                                        \
    S(SRpDate, 65101, "Date")                                                                        \
    S(SRpDateTime, 65102, "Date/Time")                                                               \
    S(SRpPageNum, 65103, "Page#")                                                                    \
    S(SRpReportTitle, 65104, "Report title")                                                         \
    S(SRpDetailCount, 65105, "Detail count")                                                         \
    S(SRpDetailNo, 65106, "Detail no")                                                               \
    S(SRpNone, 65107, "none")                                                                        \
    S(SRpErrorLoading, 65108, "Error loading report")                                                \
    S(SRpValueTooBig, 65109, "Value too big")                                                        \
    S(SRpVisitWebSite, 65110, "Visit our web site for news, updates and help")                       \
    /* Bands: 65120.. */                                                                             \
    S(SRpTitle, 65120, "Title")                                                                      \
    S(SRpPageHeader, 65121, "Page Header")                                                           \
    S(SRpDetail, 65122, "Detail")                                                                    \
    S(SRpPageFooter, 65123, "Page Footer")                                                           \
    S(SRpSummary, 65124, "Summary")                                                                  \
    S(SRpGroupHeader, 65125, "Group Header")                                                         \
    S(SRpGroupFooter, 65126, "Group Footer")                                                         \
    S(SRpSubDetail, 65127, "Sub Detail")                                                             \
    S(SRpColumnHeader, 65128, "Column Header")                                                       \
    S(SRpOverlay, 65129, "Overlay")                                                                  \
    S(SRpChild, 65130, "Child")                                                                      \
    S(SRpTitleBandName, 65131, "TitleBand")                                                          \
    S(SRpPageHeaderBandName, 65132, "PageHeaderBand")                                                \
    S(SRpDetailBandName, 65133, "DetailBand")                                                        \
    S(SRpPageFooterBandName, 65134, "PageFooterBand")                                                \
    S(SRpSummaryBandName, 65135, "SummaryBand")                                                      \
    S(SRpGroupHeaderBandName, 65136, "GroupHeaderBand")                                              \
    S(SRpGroupFooterBandName, 65137, "GroupFooterBand")                                              \
    S(SRpSubDetailBandName, 65138, "SubDetailBand")                                                  \
    S(SRpColumnHeaderBandName, 65139, "ColumnHeaderBand")                                            \
    S(SRpOverlayBandName, 65140, "OverlayBand")                                                      \
    S(SRpChildBandName, 65141, "ChildBand")                                                          \
    S(SRpLoopBandType, 65142, "LoopBand")                                                            \
    S(SRpLoopBandName, 65143, "Loop Band")                                                           \
    S(SRpStringsBandType, 65144, "StringsBand")                                                      \
    S(SRpStringsBandName, 65145, "Strings Band")                                                     \
    S(SRpNoCircular, 65146, "Circular linking not allowed")                                          \
    /* Paper sizes, in the order of TRpPaperSize: 65160.. */                                         \
    S(SRpPaperSize0, 65160, "Default size")                                                          \
    S(SRpPaperSize1, 65161, "Letter 8 1/2 x 11 in")                                                  \
    S(SRpPaperSize2, 65162, "Letter Small 8 1/2 x 11 in")                                            \
    S(SRpPaperSize3, 65163, "Tabloid 11 x 17 in")                                                    \
    S(SRpPaperSize4, 65164, "Ledger 17 x 11 in")                                                     \
    S(SRpPaperSize5, 65165, "Legal 8 1/2 x 14 in")                                                   \
    S(SRpPaperSize6, 65166, "Statement 5 1/2 x 8 1/2 in")                                            \
    S(SRpPaperSize7, 65167, "Executive7 1/2 x 10 in")                                                \
    S(SRpPaperSize8, 65168, "A3 297 x 420 mm")                                                       \
    S(SRpPaperSize9, 65169, "A4 210 x 297 mm")                                                       \
    S(SRpPaperSize10, 65170, "A4 Small 210 x 297 mm")                                                \
    S(SRpPaperSize11, 65171, "A5 148 x 210 mm")                                                      \
    S(SRpPaperSize12, 65172, "B4 250 x 354 mm")                                                      \
    S(SRpPaperSize13, 65173, "B5 182 x 257 mm")                                                      \
    S(SRpPaperSize14, 65174, "Folio 8 1/2 x 13 in")                                                  \
    S(SRpPaperSize15, 65175, "Quarto 215 x 275 mm")                                                  \
    S(SRpPaperSize16, 65176, "10x14 in")                                                             \
    S(SRpPaperSize17, 65177, "11x17 in")                                                             \
    S(SRpPaperSize18, 65178, "Note 8 1/2 x 11 in")                                                   \
    S(SRpPaperSize19, 65179, "Envelope #9 3 7/8 x 8 7/8")                                            \
    S(SRpPaperSize20, 65180, "Envelope #10 4 1/8 x 9 1/2")                                           \
    S(SRpPaperSize21, 65181, "Envelope #11 4 1/2 x 10 3/8")                                          \
    S(SRpPaperSize22, 65182, "Envelope #12 4 \u00BE x 11")                                           \
    S(SRpPaperSize23, 65183, "Envelope #14 4 \u00BE x 11")                                           \
    S(SRpPaperSize24, 65184, "C size sheet")                                                         \
    S(SRpPaperSize25, 65185, "D size sheet")                                                         \
    S(SRpPaperSize26, 65186, "E size sheet")                                                         \
    S(SRpPaperSize27, 65187, "Custom Size")

#define RP4CONST_DECLARE(Name, Id, Text) inline constexpr TRpResString Name{Id, Text};
RP4CONST_STRINGS(RP4CONST_DECLARE)
#undef RP4CONST_DECLARE

// The paper-size names by TRpPaperSize value, 0..27.
constexpr int RpPaperSizeCount = 28;
const TRpResString& RpPaperSizeName(int PaperSize);

// The text of S in the table in force: the translation when one was loaded,
// else the built-in text.
std::string LoadResString(const TRpResString& S);

// One entry of the whole table, for tools and tests that list it.
struct TRpResStringEntry {
    const TRpResString* String;
    const char* Name;   // the identifier, "SRpExpError"
};
const std::vector<TRpResStringEntry>& RpResStrings();

// Replaces texts by the lines "Id=Text" of Table (Id decimal, Text UTF-8 as it
// stands, blanks included). A line whose id is not in the table, or whose
// text does not carry the same placeholders in the same order as the built-in
// one, is skipped. Returns the number of texts replaced. Translations loaded
// before stay unless replaced.
int LoadResStringTable(const TStrings& Table);
// Back to the built-in texts.
void ClearResStringTable();

// ------------------------------------------------------------- formatting

// One argument of FormatResString, as text.
class TRpFormatArg {
public:
    TRpFormatArg(const std::string& Value) : FText(Value) {}
    TRpFormatArg(std::string_view Value) : FText(Value) {}
    TRpFormatArg(const char* Value) : FText(Value ? Value : "") {}
    TRpFormatArg(const TRpResString& Value) : FText(LoadResString(Value)) {}
    template <class T, std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, bool>, int> = 0>
    TRpFormatArg(T Value) : FText(IntToStr(static_cast<int64_t>(Value)))
    {
    }
    const std::string& Text() const { return FText; }

private:
    std::string FText;
};

// Fills the placeholders of Text in order with Args: "%s" and "%d" take the
// next argument's text, "%%" is a percent sign. A placeholder without an
// argument is dropped; surplus arguments are ignored.
std::string FormatResText(const std::string& Text, const std::vector<TRpFormatArg>& Args);

template <class... TArgs>
std::string FormatResString(const TRpResString& S, const TArgs&... Args)
{
    return FormatResText(LoadResString(S), std::vector<TRpFormatArg>{TRpFormatArg(Args)...});
}
