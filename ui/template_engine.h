// The template engine that the patch writes out: resource 348, id 1, of the running
// program.
#pragma once

#include "patch/patch_operation.h"

// The engine's bytes, which live as long as the program; empty when the resource is
// missing.
TemplateImage LoadTemplateEngine();
