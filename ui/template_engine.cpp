#include "ui/template_engine.h"

#include "platform/win32/win_app.h"
#include "res/resource_ids.h"

TemplateImage LoadTemplateEngine()
{
    const HINSTANCE module = AfxGetInstanceHandle();
    const HRSRC resource = ::FindResourceA(module, MAKEINTRESOURCEA(IDR_TEMPLATE_ENGINE),
                                           MAKEINTRESOURCEA(RT_TEMPLATE_ENGINE));
    if (resource == NULL)
        return {};
    // A loaded resource belongs to the module: nothing to free.
    const HGLOBAL loaded = ::LoadResource(module, resource);
    TemplateImage image;
    image.m_pData = static_cast<const BYTE*>(::LockResource(loaded));
    image.m_nSize = image.m_pData != nullptr ? ::SizeofResource(module, resource) : 0;
    return image;
}
