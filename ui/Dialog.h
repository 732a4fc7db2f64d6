// Base of every dialog: created from a template in the resource script, `this` attached on
// WM_INITDIALOG, messages routed to virtual handlers, no exception past the dialog procedure.
#pragma once
#include <windows.h>

#include <string>

namespace win {

class Dialog {
public:
    // Shows a help topic; the help module enters it, and F1 in any dialog with a topic calls it.
    using HelpHandler = void (*)(const std::string& topic);
    static void SetHelpHandler(HelpHandler handler);

    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;
    virtual ~Dialog();

    // Shows the dialog modally; the window is gone when this returns.
    INT_PTR ShowModal(HWND owner);
    // Creates the dialog modeless (tests drive dialogs this way); destroyed with this object.
    HWND CreateModeless(HWND owner);
    HWND Handle() const { return hwnd_; }
    HWND Item(int id) const { return ::GetDlgItem(hwnd_, id); }
    std::string ItemText(int id) const;
    void Close(INT_PTR result);

protected:
    // helpTopic is what F1 shows; without one, F1 is passed on to the owner window.
    explicit Dialog(int templateId, const char* helpTopic = nullptr) : templateId_(templateId), helpTopic_(helpTopic) {}

    // Handlers answer true when they dealt with the message.
    virtual bool OnCreate() { return true; }
    // The one step that every close passes, whether by OK, Cancel, Esc or the close box: answer
    // false to keep the dialog open. A dialog that must refuse or delay closing overrides this.
    virtual bool CanClose(INT_PTR /*result*/) { return true; }
    // For OnCreate to answer: the focus starts on that control rather than the first one in tab
    // order (which, where links come first, would let Enter open a link).
    bool StartAt(int id) const;
    // Closes with the result once CanClose allows it.
    void RequestClose(INT_PTR result);
    // Centres the dialog over its owner, kept inside the work area of the owner's monitor.
    void CenterOverOwner();
    virtual bool OnCommand(int id, int code, HWND control);
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result);
    // Shows the dialog's help topic, as F1 does; false without a topic or a help handler.
    bool ShowHelp() const;

private:
    static INT_PTR CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    void KeepFocusOnAControl();

    int templateId_;
    const char* helpTopic_;
    HWND hwnd_ = nullptr;
    bool modal_ = false;
};

}  // namespace win
