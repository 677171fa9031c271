#ifndef VEXA_EXTENSION_LIBRARY_H
#define VEXA_EXTENSION_LIBRARY_H

namespace vexa {

/// The three services of an application framework that keeps a list of extension libraries.
class ExtensionFramework {
public:
    virtual ~ExtensionFramework() {}
    /// Initialises this library's module record for the given instance; false when refused.
    virtual bool InitializeModule(void* instance) = 0;
    /// Creates the framework's record that chains this library into its list; false when the
    /// allocation failed.
    virtual bool ChainLibrary() = 0;
    /// Ends this library's module record.
    virtual void TerminateModule() = 0;
};

/// The loader notifications a shared library receives.
enum LoaderEvent { kProcessAttach, kProcessDetach, kThreadAttach, kThreadDetach };

/// Registers or unregisters the library with the framework as the event asks. Returns false only
/// when the framework refuses the module at process attach, which refuses the load.
bool OnLoaderEvent(ExtensionFramework& framework, LoaderEvent event, void* instance);

}  // namespace vexa

#endif
