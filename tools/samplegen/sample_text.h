// The words of the sample book: a short guide to upgrading e-books, page by page.
#pragma once

#include <string>

// Name and text of page number (0-based); pages past the guide's end are numbered notes.
std::string SamplePageName(int number);
std::string SamplePageText(int number);
