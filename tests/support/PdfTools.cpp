#include "tests/support/PdfTools.h"

#include <cstdio>
#include <regex>

std::string RunTool(const std::string& Command)
{
    std::string Out;
    FILE* P = popen(Command.c_str(), "r");
    if (!P)
        return Out;
    char Buf[512];
    while (fgets(Buf, sizeof Buf, P))
        Out += Buf;
    pclose(P);
    return Out;
}

TPdfInfo PdfInfo(const std::string& File)
{
    TPdfInfo I;
    const std::string Out = RunTool("pdfinfo '" + File + "' 2>&1");
    std::smatch M;
    if (std::regex_search(Out, M, std::regex(R"(Pages:\s+(\d+))")))
        I.Pages = std::stoi(M[1]);
    if (std::regex_search(Out, M, std::regex(R"(Page size:\s+([\d.]+) x ([\d.]+) pts)"))) {
        I.Width = std::stod(M[1]);
        I.Height = std::stod(M[2]);
    }
    return I;
}
