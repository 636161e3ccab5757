#include "patch/record_transfer.h"
