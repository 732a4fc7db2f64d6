#include "app/Modules.h"

#include <atomic>

#include "help/HTMLHelp.h"

namespace app {
namespace {

std::atomic<bool> finalized{false};

}  // namespace

void InitializeModules() { LoadHelpLibrary(); }

void FinalizeModules()
{
    if (finalized.exchange(true))
        return;
    UnloadHelpLibrary();
}

}  // namespace app
