#pragma once

#include <string>

namespace UpsLink {

enum class MsgButtons { OkOnly, OkCancel, YesNo };
enum class MsgIcon { None, Exclamation };
enum class MsgAnswer { Ok, Cancel, Yes, No };

struct MessageRequest {
    std::string Text;
    std::string Title;
    MsgButtons Buttons = MsgButtons::OkOnly;
    MsgIcon Icon = MsgIcon::None;
    // 0 for the first button, 1 for the second.
    int DefaultButton = 0;
};

struct OpenFileRequest {
    std::string Title;
    std::string Filter;      // "Name (*.x)|*.x|..." pairs
    int FilterIndex = 1;     // 1-based entry of Filter shown first
    std::string DefaultExt;  // added when a name is typed without one
    bool HideReadOnly = false;
};

// What the logic needs of the main window and the desktop. The main window implements it;
// tests use a recording one.
class Shell {
public:
    virtual ~Shell() = default;

    virtual void AddToBoard(const std::string& message) = 0;
    virtual void BoardClear() = 0;
    virtual void Repaint() = 0;

    // The whole window's input, menus included (DisableForm / EnableForm).
    virtual void SetEnabled(bool enabled) = 0;
    virtual bool Enabled() const = 0;
    virtual void SetCaption(const std::string& caption) = 0;
    virtual std::string Caption() const = 0;
    virtual void SetModuleEnabled(bool enabled) = 0;
    virtual bool ModuleEnabled() const = 0;
    virtual void SetBusyPointer(bool busy) = 0;

    virtual void SetPortLabel(const std::string& text) = 0;
    virtual void SetPortLabelStruck(bool struck) = 0;
    virtual bool PortLabelStruck() const = 0;
    // The indicator brought to the front and the Connect caption.
    virtual void ShowConnected(bool connected) = 0;

    virtual void SetProgressVisible(bool visible) = 0;
    virtual void SetProgress(int value) = 0;

    virtual MsgAnswer MessageBox(const MessageRequest& request) = 0;
    // The chosen path, empty when cancelled.
    virtual std::string ChooseOpenFile(const OpenFileRequest& request) = 0;
    // The help viewer's quit request at shutdown.
    virtual void HelpQuit() = 0;
};

}  // namespace UpsLink
