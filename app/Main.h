// The main window.
#pragma once
#include <windows.h>

class TMainWin {
public:
    static constexpr const char* kClassName = "TMainWin";

    TMainWin() = default;
    TMainWin(const TMainWin&) = delete;
    TMainWin& operator=(const TMainWin&) = delete;
    ~TMainWin();

    // Creates the window; its creation handler runs before this returns.
    bool Create();
    void Show(int showCommand);
    HWND Handle() const { return hwnd_; }

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    void FormCreate();
    void FormClose();

    HWND hwnd_ = nullptr;
};

// The process-wide main window; empty on the play road.
extern TMainWin* MainWin;
