// Reading PDF files written by the tests, through the poppler tools.
#pragma once

#include <string>

// What Command prints on its standard output (empty when it cannot start).
std::string RunTool(const std::string& Command);

struct TPdfInfo {
    int Pages = -1;
    double Width = 0, Height = 0;   // points
};

// Page count and the first page's size as pdfinfo tells them; Pages is -1
// when pdfinfo could not read the file.
TPdfInfo PdfInfo(const std::string& File);
