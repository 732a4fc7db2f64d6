// The notice shown when the Java runtime cannot be found.
#pragma once
#include <string>

#include "ui/Dialog.h"
#include "ui/LinkLabel.h"

class TfrmMsg : public win::Dialog {
public:
    // title: the program's title, shown in the caption.
    explicit TfrmMsg(std::string title);
    // The address the link label shows and opens.
    static std::string JavaDownloadAddress();

    void Label4Click();

protected:
    bool FormCreate() override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

private:
    win::LinkLabel Label4;
    std::string title_;
};
