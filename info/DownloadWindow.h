// "Download More Puzzles": links to the sites that offer puzzle collections and to the two
// construction kits, over a picture of our own.
#pragma once
#include <array>

#include "ui/Dialog.h"
#include "win/Handles.h"
#include "ui/LinkLabel.h"

class DownloadWindow : public win::Dialog {
public:
    DownloadWindow();

    // The five addresses, in the order of the links.
    static std::array<std::string, 5> LinkAddresses();
    void OpenLink(int link);

protected:
    bool OnCreate() override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

private:
    void PaintBackground(HDC dc) const;

    win::UniqueGdiObject picture_;
    win::UniqueHFont boldFont_;
    std::array<win::LinkLabel, 5> links_;
};
