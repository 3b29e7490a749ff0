// The report library's windows, made known to its engine: the preview
// window Preview opens, the progress window a print shows, the print
// dialog of a report's printer setup and the printables' editors. A program that shows reports calls
// RegisterReportDialogs once at start-up; without it a report runs and
// prints without any window.
#pragma once

void RegisterReportDialogs();
