// The preferences dialog: the sound switch, the all-users switch, the repository folder and the
// Java runtime's folder. OK stores them in the settings object and saves it; anything else
// changes nothing.
#pragma once
#include "ui/Dialog.h"
#include "win/Handles.h"

class Settings;

class PreferencesDialog : public win::Dialog {
public:
    explicit PreferencesDialog(Settings& settings);

    void OnBrowse();
    void OnBrowseJava();
    void OnScan();
    void OnOk();
    void OnHelp();
    void OnJavaPathChanged();

protected:
    bool OnCreate() override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

private:
    bool Checked(int id) const;
    bool JavaFolderUsable();

    // The machine-wide controls are disabled for a user who may not write the machine key.
    Settings& settings_;
    bool machineWritable_ = true;
    win::UniqueHFont boldFont_;
};
