// The link table: record (350, 17) of the tool's own executable, a run of NUL-terminated
// tag and address pairs with no count, bounded by the record's size. Portable, so the
// tool that writes the table and the tests share it with the program.
#pragma once

#include "platform/cstring.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

constexpr int kLinkCount = 4;

// The tag that fills each link slot, in slot order.
extern const char* const kLinkTags[kLinkCount];

// Stores address in the slot of urls that tag names (the whole tag, case-sensitive, byte
// for byte); any other tag leaves urls alone.
void SetLinkSlot(CString (&urls)[kLinkCount], const CString& tag, const CString& address);

using LinkPairHandler = std::function<void(const CString& tag, const CString& address)>;

// Calls handler for each pair in record order. Nothing past size is read: a trailing
// fragment (a tag without its address, or a last string without its NUL) is dropped.
void WalkLinkTable(const BYTE* data, DWORD size, const LinkPairHandler& handler);

// Opens the executable at path read-only as a record container and walks its link table.
// A file failure is shown with its own text and MB_ICONERROR and ends the reading; a
// damaged tree or exhausted memory passes through as its exception.
void ReadLinkTable(LPCTSTR path, const LinkPairHandler& handler);

// The record's bytes for pairs, each string followed by its NUL.
std::vector<BYTE> BuildLinkTable(const std::vector<std::pair<std::string, std::string>>& pairs);
