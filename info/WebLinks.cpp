#include "info/WebLinks.h"

#include "settings/Configs.h"
#include "core/LinkRules.h"
#include "win/Handles.h"
#include "win/Registry.h"

namespace {

constexpr const char* kInstallFile = "Install File";

std::string InstallFileBelow(HKEY root)
{
    win::RegistryAccessor reader(root);
    if (!reader.OpenKeyReadOnly(ProductKeyPath))
        return {};
    return reader.ReadString(kInstallFile).value_or("");
}

}  // namespace

std::string ReadInstallFile()
{
    std::string file = InstallFileBelow(HKEY_LOCAL_MACHINE);
    if (file.empty())
        file = InstallFileBelow(HKEY_CURRENT_USER);
    return file;
}

std::string LinkReferralSuffix() { return settings::ReferralSuffix(ReadInstallFile()); }

bool BringToForeground(HWND window)
{
    // The system's foreground lock is lowered for this call only, and only when its value could be
    // read: restoring a value that was never read would set it for the whole system.
    DWORD timeout = 0;
    const bool read = ::SystemParametersInfoA(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &timeout, 0) != FALSE;
    win::ScopeExit restore([read, timeout] {
        if (read)
            ::SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0,
                                    reinterpret_cast<void*>(static_cast<UINT_PTR>(timeout)), SPIF_SENDCHANGE);
    });
    if (read)
        ::SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, nullptr, SPIF_SENDCHANGE);
    ::BringWindowToTop(window);
    const bool topmost = (::GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    ::SetWindowPos(window, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return ::SetForegroundWindow(window) != FALSE;
}
