#include "jre/JavaNotice.h"

#include "res/resource.h"
#include "core/WebHosts.h"
#include "win/LazyApi.h"

JavaNotice::JavaNotice(std::string title) : win::Dialog(IDD_JAVA_NOTICE, "Java_Runtime.htm"), title_(std::move(title))
{
}

std::string JavaNotice::JavaDownloadAddress() { return std::string(web::kPuzzleSite) + web::kJavaDownloadPath; }

bool JavaNotice::OnCreate()
{
    ::SetWindowTextA(Handle(), title_.c_str());
    ::SendDlgItemMessageA(Handle(), IDC_NOTICE_ICON, STM_SETICON,
                          reinterpret_cast<WPARAM>(::LoadIcon(nullptr, IDI_HAND)), 0);
    ::SetDlgItemTextA(Handle(), IDC_NOTICE_LINK, JavaDownloadAddress().c_str());
    downloadLink_.Attach(Item(IDC_NOTICE_LINK));
    win::PlaySystemSound("SystemHand", SND_ALIAS | SND_ASYNC);
    return StartAt(IDOK);
}

void JavaNotice::OpenDownloadPage()
{
    win::OpenWithShell(Handle(), "open", ItemText(IDC_NOTICE_LINK).c_str(), nullptr, nullptr, SW_SHOW);
}

bool JavaNotice::OnCommand(int id, int code, HWND control)
{
    if (id == IDC_NOTICE_LINK && code == STN_CLICKED) {
        OpenDownloadPage();
        return true;
    }
    return win::Dialog::OnCommand(id, code, control);
}

bool JavaNotice::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result)
{
    if (message != WM_CTLCOLORSTATIC)
        return false;
    HBRUSH brush = downloadLink_.Paint(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam));
    result = reinterpret_cast<INT_PTR>(brush);
    return brush != nullptr;
}
