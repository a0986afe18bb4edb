#pragma once
#include <windows.h>

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace ui {

class TControl;
class TForm;

// The program: its hidden-but-present application window (which carries the
// task-bar title and owns the forms), the message loop, the hint line and the
// standard error box.
class TApplication {
public:
    TApplication();
    ~TApplication();
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

    // Registers the common controls, creates the application window and makes
    // the error box the place where Guarded reports.
    void Initialize();

    void SetTitle(std::string_view title);
    const std::string& Title() const { return title_; }

    // The application window; nullptr before Initialize.
    HWND Handle() const;
    // The form Run was given, while it exists.
    TForm* MainForm() const { return mainForm_; }

    // Shows the form and runs the message loop until the form is closed.
    void Run(TForm& mainForm);
    // Handles the messages waiting now, then checks the hint once, as the
    // loop does each time the queue runs empty.
    void ProcessMessages();

    // The standard error box: the message with the title as caption.
    void ShowException(const std::exception& e);

    // The hint of the control under the mouse pointer, as last announced.
    const std::string& Hint() const { return hint_; }
    // Called with the new hint whenever it changes.
    std::function<void(const std::string&)> OnHint;
    // Reads the hint under the pointer now and takes it as announced,
    // without calling OnHint, so that a text shown in its place stays until
    // the pointer moves onto another hint. Returns it.
    const std::string& TakeHintUnderPointer();

    // The pop-up hint window, once a control with ShowHint was under the
    // mouse; it holds at most that one control as its tool.
    HWND ToolTipHandle() const;

private:
    friend class TForm;
    void FormDestroying(TForm& form);

    // Handles the waiting messages; false when WM_QUIT came (its exit code
    // goes to exitCode_).
    bool Pump();
    void CheckHint();
    // The hint under the pointer and the control it belongs to (or nullptr).
    std::string HintUnderPointer(TControl*& control) const;
    void ShowToolTip(TControl* control, const std::string& text);

    struct Windows;
    std::unique_ptr<Windows> windows_;
    TForm* mainForm_ = nullptr;
    int exitCode_ = 0;
    std::string title_;
    std::string hint_;
    HWND toolHwnd_ = nullptr;
    std::string toolText_;
};

TApplication& Application();

}  // namespace ui
