// Attaches the module to the host as an extension module and detaches it at unload.
#include <cstdlib>

#include "host/ExtensionModule.h"

namespace {
AFX_EXTENSION_MODULE g_module{false, nullptr, "rphoto_driver"};
CDynLinkLibrary* g_library = nullptr;

__attribute__((constructor)) void AttachModule()
{
    if (!AfxInitExtensionModule(g_module, reinterpret_cast<void*>(&AttachModule))) return;  // not registered: the host refuses the module
    g_library = new CDynLinkLibrary(g_module);
}

__attribute__((destructor)) void DetachModule()
{
    delete g_library;
    g_library = nullptr;
    AfxTermExtensionModule(g_module);
}
}  // namespace
