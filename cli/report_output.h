// The two faces of an inspection: lines for a person, and one JSON document for scripts
// (field names documented in the README).
#pragma once

#include "cli/book_report.h"

#include <string>

std::string FormatReportText(const CBookReport& report);
std::string FormatReportJson(const CBookReport& report);
