#include "app/SingleInstance.h"

#include <chrono>
#include <optional>
#include <thread>

#include "core/CommandLine.h"
#include "app/MainWindow.h"

namespace app {

namespace {

constexpr auto kWindowWait = std::chrono::seconds(5);
constexpr auto kWindowPoll = std::chrono::milliseconds(50);
constexpr UINT kAnswerTimeoutMs = 10000;

// The user of a process's token, as its SID's bytes.
std::optional<std::vector<BYTE>> UserOf(HANDLE process)
{
    HANDLE raw = nullptr;
    if (!::OpenProcessToken(process, TOKEN_QUERY, &raw))
        return std::nullopt;
    win::UniqueHandle token(raw);
    DWORD size = 0;
    ::GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (size == 0 || !::GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size))
        return std::nullopt;
    PSID sid = reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid;
    if (!::IsValidSid(sid))
        return std::nullopt;
    const auto* bytes = static_cast<const BYTE*>(sid);
    return std::vector<BYTE>(bytes, bytes + ::GetLengthSid(sid));
}

const std::optional<std::vector<BYTE>>& OwnUser()
{
    static const std::optional<std::vector<BYTE>> user = UserOf(::GetCurrentProcess());
    return user;
}

// This user's main window in another process, or none.
HWND FindRunningWindow()
{
    for (HWND window = ::FindWindowExA(nullptr, nullptr, MainWindow::kClassName, nullptr); window != nullptr;
         window = ::FindWindowExA(nullptr, window, MainWindow::kClassName, nullptr)) {
        DWORD process = 0;
        ::GetWindowThreadProcessId(window, &process);
        if (process != ::GetCurrentProcessId() && OfSameUser(window))
            return window;
    }
    return nullptr;
}

}  // namespace

InstanceClaim::InstanceClaim() : mutex_(::CreateMutexA(nullptr, FALSE, kInstanceMutexName))
{
    // Another user's claim of the same name cannot be opened: this program then runs on its own.
    first_ = !(mutex_ && ::GetLastError() == ERROR_ALREADY_EXISTS);
}

bool OfSameUser(HWND window)
{
    DWORD processId = 0;
    if (window == nullptr || ::GetWindowThreadProcessId(window, &processId) == 0 || processId == 0)
        return false;
    win::UniqueHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process)
        return false;
    const auto user = UserOf(process.get());
    return user && OwnUser() && *user == *OwnUser();
}

bool HandOverToRunningWindow(const std::vector<std::string>& files)
{
    HWND target = FindRunningWindow();
    for (auto waited = std::chrono::steady_clock::now(); target == nullptr;) {
        if (std::chrono::steady_clock::now() - waited > kWindowWait)
            return false;
        std::this_thread::sleep_for(kWindowPoll);
        target = FindRunningWindow();
    }
    // The receiver tells who sent the message by this window's process.
    win::UniqueHWnd sender(::CreateWindowExA(0, "STATIC", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                             ::GetModuleHandleA(nullptr), nullptr));
    DWORD targetProcess = 0;
    ::GetWindowThreadProcessId(target, &targetProcess);
    ::AllowSetForegroundWindow(targetProcess);
    std::vector<char> bytes = EncodeHandOver(files);
    COPYDATASTRUCT data{};
    data.dwData = kHandOverTag;
    data.cbData = static_cast<DWORD>(bytes.size());
    data.lpData = bytes.empty() ? nullptr : bytes.data();
    DWORD_PTR answer = FALSE;
    return ::SendMessageTimeoutA(target, WM_COPYDATA, reinterpret_cast<WPARAM>(sender.get()),
                                 reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &answer) != 0 &&
           answer == TRUE;
}

}  // namespace app
