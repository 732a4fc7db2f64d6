// The notice shown when the Java runtime cannot be found.
#pragma once
#include <string>

#include "ui/Dialog.h"
#include "ui/LinkLabel.h"

class JavaNotice : public win::Dialog {
public:
    // title: the program's title, shown in the caption.
    explicit JavaNotice(std::string title);
    // The address the link label shows and opens.
    static std::string JavaDownloadAddress();

    void OpenDownloadPage();

protected:
    bool OnCreate() override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

private:
    win::LinkLabel downloadLink_;
    std::string title_;
};
