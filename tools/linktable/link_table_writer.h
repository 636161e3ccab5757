// Writing the recommended links behind a built Tomeshift executable.
#pragma once

#include "platform/cstring.h"

#include <string>
#include <utility>
#include <vector>

// Opens exe read-write as a record container and saves behind its image group 350 with
// records 14 and 18 (six bytes each) around the link table 17 of pairs, in the order
// given; a group 350 already there is replaced. Raises the store's exceptions.
void WriteLinkTableTree(LPCTSTR exe, const std::vector<std::pair<std::string, std::string>>& pairs);
