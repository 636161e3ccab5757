#include "patch/pe_reader.h"
