#include "info/WebLinks.h"

#include "core/LinkRules.h"
#include "core/ProductKey.h"
#include "core/WebHosts.h"
#include "win/Handles.h"
#include "win/LazyApi.h"
#include "win/Registry.h"

namespace {

constexpr const char* kInstallFile = "Install File";
constexpr const char* kProductPagePath = "/gridlark";
constexpr const char* kKnowledgebasePath = "/gridlark/kb.htm";
constexpr const char* kSupportPath = "/gridlark/support.htm";

std::string InstallFileBelow(HKEY root)
{
    win::RegistryAccessor reader(root);
    if (!reader.OpenKeyReadOnly(ProductKeyPath))
        return {};
    return reader.ReadString(kInstallFile).value_or("");
}

void OpenVendorPage(const char* path)
{
    const std::string address = std::string(web::kCorporateSite) + path + LinkReferralSuffix();
    win::OpenWithShell(nullptr, "open", address.c_str(), nullptr, nullptr, SW_SHOW);
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

void OpenHomePage() { OpenVendorPage(kProductPagePath); }
void OpenKnowledgebase() { OpenVendorPage(kKnowledgebasePath); }
void OpenSupportPage() { OpenVendorPage(kSupportPath); }

void OpenUpdatePage(HWND owner, const std::string& shortVersion)
{
    const std::string address = settings::UpdatePageAddress(web::kCorporateSite, shortVersion) + LinkReferralSuffix();
    win::OpenWithShell(owner, nullptr, address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

std::string ProductPageAddress() { return std::string(web::kCorporateSite) + kProductPagePath; }

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
