#include "report/RpExportFilter.h"

#include "report/Rp4const.h"

TRpExportFilter::TRpExportFilter(const std::string& AFileName) : FFileName(AFileName) {}

std::string TRpExportFilter::GetDescription()
{
    return LoadResString(SRpAbstractFilterDescription);
}

std::string TRpExportFilter::GetExtension()
{
    return "";
}

std::string TRpExportFilter::GetFilterName()
{
    return LoadResString(SRpAbstractFilterName);
}

std::string TRpExportFilter::GetVendorName()
{
    return LoadResString(SRpVendorName);
}

bool TRpExportFilter::GetStreaming()
{
    return false;
}

void TRpExportFilter::Start(int32_t PaperWidth, int32_t PaperLength, TFont* Font)
{
    FActive = true;
}

void TRpExportFilter::Finish()
{
    FActive = false;
}

// ------------------------------------------------------------------ library

void TRpExportFilterLibrary::AddFilter(const TRpExportFilterClass& FilterClass)
{
    for (const TRpExportFilterLibraryEntry& E : FFilterList)
        if (E.ExportFilterClass.ClassName == FilterClass.ClassName)
            return;
    const std::unique_ptr<TRpExportFilter> Filter = FilterClass.Create("");
    FFilterList.push_back({FilterClass, Filter->GetFilterName(), Filter->GetExtension()});
}

void TRpExportFilterLibrary::RemoveFilter(const TRpExportFilterClass& FilterClass)
{
    const std::string Name = FilterClass.Create("")->GetFilterName();
    for (auto It = FFilterList.begin(); It != FFilterList.end(); ++It) {
        if (It->Name == Name) {
            FFilterList.erase(It);
            return;
        }
    }
}

std::string TRpExportFilterLibrary::GetSaveDialogFilter() const
{
    std::string Filter = LoadResString(SRpFile) + "(*." + "RPF" + ")|*." + "RPF";
    for (const TRpExportFilterLibraryEntry& E : FFilterList)
        Filter += "|" + E.Name + " (*." + E.Extension + ")|*." + E.Extension;
    return Filter;
}

TRpExportFilterLibrary& RpExportFilterLibrary()
{
    static TRpExportFilterLibrary Library;
    return Library;
}
