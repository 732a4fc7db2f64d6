// The about box: the product's name, icon, version, build, copyright and comments from the
// program's version resource, the maker's logo (or the user's own "custLogo.jpg") and two links.
#pragma once
#include <string>

#include "win/VersionResource.h"
#include "ui/Dialog.h"
#include "win/Handles.h"
#include "ui/LinkLabel.h"

class AboutBox : public win::Dialog {
public:
    // Reads the running program's version resource, or, for tests, another file's.
    explicit AboutBox(const std::string& versionFile = {});

    static std::string ProductWebSite();
    static std::string CorporateWebSite();
    int ProductNamePoints() const { return productNamePoints_; }

    void StartScan();
    void FitProductName();
    void OpenProductSite();
    void OpenVendorSite();

    VersionResource version;

protected:
    bool OnCreate() override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

private:
    static constexpr UINT WM_ABOUT_SHOWN = WM_APP + 20;
    void LoadLogo();
    void ShowLogo();
    void KeepLinkBelow(int nameBottom);
    int PanelHeight() const;
    HBRUSH PanelBrush(HWND control, HDC dc) const;

    win::UniqueGdiObject logo_, shownLogo_;
    win::UniqueHFont productNameFont_;
    win::UniqueGdiObject white_;
    int productNamePoints_ = 0;
    win::LinkLabel vendorSiteLink_, productSiteLink_;
};
