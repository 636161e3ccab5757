// The template engine's bytes, linked into programs that have no resource 348 to read
// them from (the native tools and tests); the Windows program itself reads its resource.
#pragma once

extern const unsigned char kTemplateEngine[];
extern const unsigned long kTemplateEngineSize;
