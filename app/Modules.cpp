#include "app/Modules.h"

#include <atomic>

#include "faults/FatalError.h"
#include "help/HTMLHelp.h"
#include "win/LazyApi.h"

namespace app {
namespace {

std::atomic<bool> finalized{false};

}  // namespace

void InitializeModules()
{
    win::RestrictLibrarySearch();
    faults::InitializeFatalError(&FinalizeModules);
}

void FinalizeModules()
{
    if (finalized.exchange(true))
        return;
    UnloadHelpLibrary();
}

}  // namespace app
