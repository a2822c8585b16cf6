// Attaches the module to the host as an extension module and detaches it at unload.
#include <cstdlib>

#include "host/ExtensionModule.h"

namespace {
AFX_EXTENSION_MODULE g_module{false, nullptr, "rphoto_driver"};
CDynLinkLibrary* g_library = nullptr;

void AttachModule(void* hModule)
{
    if (!AfxInitExtensionModule(g_module, hModule)) return;  // not registered: the host refuses the module
    g_library = new CDynLinkLibrary(g_module);
}

void DetachModule()
{
    delete g_library;
    g_library = nullptr;
    AfxTermExtensionModule(g_module);
}

#ifndef _WIN32
__attribute__((constructor)) void OnLoad() { AttachModule(reinterpret_cast<void*>(&OnLoad)); }
__attribute__((destructor)) void OnUnload() { DetachModule(); }
#endif
}  // namespace

#ifdef _WIN32
// The loader's entry point, declared without <windows.h>: 1 is DLL_PROCESS_ATTACH, 0 DLL_PROCESS_DETACH.
extern "C" int __stdcall DllMain(void* hModule, unsigned long reason, void*)
{
    if (reason == 1) AttachModule(hModule);
    if (reason == 0) DetachModule();
    return 1;
}
#endif
