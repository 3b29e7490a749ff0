// The report library's windows, made known to its engine: the preview
// window Preview opens, the progress window a print shows and the print
// dialog of a report's printer setup. A program that shows reports calls
// RegisterReportDialogs once at start-up; without it a report runs and
// prints without any window.
#pragma once

void RegisterReportDialogs();
