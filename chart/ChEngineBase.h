// What the chart engine's classes share: the separators of multi-line and
// multi-column texts, the gap between the chart and its titles and footers,
// the errors the engine raises and the error box of an obsolete setting.
#pragma once

#include "platform/SysUtils.h"

#include <string>

constexpr char ChLineSeparator = '\r';
constexpr char ChColumnSeparator = '\x06';
constexpr int ChTitleFootDistance = 5;

// Refused axis settings.
class AxisException : public Exception {
public:
    using Exception::Exception;
};

// Refused series, function and chart operations.
class ChartException : public Exception {
public:
    using Exception::Exception;
};

// An index outside a list.
class EListError : public Exception {
public:
    using Exception::Exception;
};

// A task-modal error box with Text (at most 1,023 characters shown).
void ShowMessageUser(const std::string& Text);
