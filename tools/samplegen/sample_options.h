// The command line of make_sample_book.
#pragma once

#include "tools/samplegen/sample_book.h"

struct CSampleCommand {
    CSampleOptions m_options;
    CString m_strOutput;  // the book to write
    CString m_strEngine;  // the engine image to use; empty: the built-in old engine
};

// Reads arguments (program name excluded) into command; FALSE with error set when they
// are wrong.
BOOL ParseSampleCommand(const std::vector<std::string>& arguments, CSampleCommand& command, CString& error);

// The usage text, naming program.
CString SampleUsage(const char* program);
