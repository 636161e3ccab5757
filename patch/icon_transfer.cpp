#include "patch/icon_transfer.h"
