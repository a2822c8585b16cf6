#include "host/ExtensionModule.h"

#include <algorithm>

namespace {
std::vector<AFX_EXTENSION_MODULE*>& Chain()
{
    static std::vector<AFX_EXTENSION_MODULE*> chain;
    return chain;
}
}

bool AfxInitExtensionModule(AFX_EXTENSION_MODULE& module, void* hModule)
{
    if (module.bInitialized) return true;
    module.hModule = hModule;
    module.bInitialized = true;
    return true;
}

void AfxTermExtensionModule(AFX_EXTENSION_MODULE& module)
{
    auto& chain = Chain();
    chain.erase(std::remove(chain.begin(), chain.end(), &module), chain.end());
    module.bInitialized = false;
}

CDynLinkLibrary::CDynLinkLibrary(AFX_EXTENSION_MODULE& module) : m_pModule(&module)
{
    Chain().push_back(&module);
}

CDynLinkLibrary::~CDynLinkLibrary()
{
    auto& chain = Chain();
    chain.erase(std::remove(chain.begin(), chain.end(), m_pModule), chain.end());
}

std::vector<std::string> RegisteredExtensionModules()
{
    std::vector<std::string> names;
    for (const auto* m : Chain()) names.emplace_back(m->pszName ? m->pszName : "(unnamed)");
    return names;
}
