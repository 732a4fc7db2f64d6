#include "jre/JavaNotice.h"

#include "res/resource.h"
#include "core/WebHosts.h"
#include "win/LazyApi.h"

TfrmMsg::TfrmMsg(std::string title) : win::Dialog(IDD_MSGFORM, "Java_Runtime.htm"), title_(std::move(title)) {}

std::string TfrmMsg::JavaDownloadAddress() { return std::string(web::kPuzzleSite) + web::kJavaDownloadPath; }

bool TfrmMsg::FormCreate()
{
    ::SetWindowTextA(Handle(), title_.c_str());
    ::SendDlgItemMessageA(Handle(), IDC_MSG_GRAPHIC, STM_SETICON,
                          reinterpret_cast<WPARAM>(::LoadIcon(nullptr, IDI_HAND)), 0);
    ::SetDlgItemTextA(Handle(), IDC_MSG_LABEL4, JavaDownloadAddress().c_str());
    Label4.Attach(Item(IDC_MSG_LABEL4));
    win::PlaySystemSound("SystemHand", SND_ALIAS | SND_ASYNC);
    return StartAt(IDOK);
}

void TfrmMsg::Label4Click()
{
    win::OpenWithShell(Handle(), "open", ItemText(IDC_MSG_LABEL4).c_str(), nullptr, nullptr, SW_SHOW);
}

bool TfrmMsg::OnCommand(int id, int code, HWND control)
{
    if (id == IDC_MSG_LABEL4 && code == STN_CLICKED) {
        Label4Click();
        return true;
    }
    return win::Dialog::OnCommand(id, code, control);
}

bool TfrmMsg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result)
{
    if (message != WM_CTLCOLORSTATIC)
        return false;
    HBRUSH brush = Label4.Paint(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam));
    result = reinterpret_cast<INT_PTR>(brush);
    return brush != nullptr;
}
