// The notice shown when the Java runtime cannot be found.
#pragma once
#include <string>

#include "win/Dialog.h"
#include "win/LinkLabel.h"

class TfrmMsg : public win::Dialog {
public:
    TfrmMsg();
    // The address the link label shows and opens.
    static std::string JavaDownloadAddress();

    void Label4Click();

protected:
    bool FormCreate() override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

private:
    win::LinkLabel Label4;
};
