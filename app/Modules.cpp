#include "app/Modules.h"

#include <atomic>

#include "faults/FatalError.h"
#include "help/HTMLHelp.h"

namespace app {
namespace {

std::atomic<bool> finalized{false};

}  // namespace

void InitializeModules()
{
    LoadHelpLibrary();
    faults::InitializeFatalError();
}

void FinalizeModules()
{
    if (finalized.exchange(true))
        return;
    UnloadHelpLibrary();
}

}  // namespace app
