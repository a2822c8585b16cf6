// Registration of driver modules with the host (the framework's extension-module chain).
#pragma once
#include <string>
#include <vector>

struct AFX_EXTENSION_MODULE {
    bool bInitialized = false;
    void* hModule = nullptr;
    const char* pszName = nullptr;
};

// Initialises the module record; false when it cannot be (the module then fails to attach).
bool AfxInitExtensionModule(AFX_EXTENSION_MODULE& module, void* hModule);
void AfxTermExtensionModule(AFX_EXTENSION_MODULE& module);

// Puts an initialised module on the host's chain of loaded modules for its life.
class CDynLinkLibrary {
public:
    explicit CDynLinkLibrary(AFX_EXTENSION_MODULE& module);
    ~CDynLinkLibrary();
    CDynLinkLibrary(const CDynLinkLibrary&) = delete;
    CDynLinkLibrary& operator=(const CDynLinkLibrary&) = delete;

private:
    AFX_EXTENSION_MODULE* m_pModule;
};

// Names of the modules now on the chain, in load order.
std::vector<std::string> RegisteredExtensionModules();
