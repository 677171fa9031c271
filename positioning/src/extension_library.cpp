#include "extension_library.h"

namespace vexa {

bool OnLoaderEvent(ExtensionFramework& framework, LoaderEvent event, void* instance) {
    if (event == kProcessAttach) {
        if (!framework.InitializeModule(instance)) return false;
        // A library record that cannot be allocated only keeps the library out of the
        // framework's list; the library itself still works, so the load goes on.
        framework.ChainLibrary();
    } else if (event == kProcessDetach) {
        framework.TerminateModule();
    }
    return true;
}

}  // namespace vexa
