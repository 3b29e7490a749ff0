#include "report/RpPrintableEditor.h"

#include "report/RpReport.h"

#include <map>
#include <utility>

namespace {

std::map<std::string, TRpPrintableEditorMaker>& editorMakers()
{
    static std::map<std::string, TRpPrintableEditorMaker> Makers;
    return Makers;
}

}  // namespace

TClass TRpPrintableEditor::GetPrintableClass() const
{
    return TRpPrintable::StaticClass();
}

void RegisterPrintableEditorClass(const std::string& ClassName, TRpPrintableEditorMaker Maker)
{
    editorMakers()[ClassName] = std::move(Maker);
}

TRpPrintableEditorClass RpPrintableEditorClass(const std::string& ClassName)
{
    const auto It = editorMakers().find(ClassName);
    return {ClassName, It != editorMakers().end() ? It->second : TRpPrintableEditorMaker()};
}
