#pragma once
#include <windows.h>

#include <string_view>
#include <vector>

namespace ui {

// The predefined window classes a dialog template names by number.
inline constexpr WORD kButtonClass = 0x0080;
inline constexpr WORD kEditClass = 0x0081;
inline constexpr WORD kStaticClass = 0x0082;

// A dialog template in memory. Its texts are UTF-16 whichever entry point
// creates the dialog; every item starts on a DWORD boundary. Places and sizes
// are in dialog units; items left at 0 are placed at WM_INITDIALOG.
class DialogTemplate {
public:
    DialogTemplate(DWORD style, std::string_view caption, std::string_view fontName, WORD fontPoints = 9,
                   short width = 0, short height = 0);

    void Item(WORD windowClass, WORD id, DWORD style, std::string_view text, short x = 0, short y = 0,
              short width = 0, short height = 0);

    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    void Dword(DWORD value);
    void Text(std::string_view ansi);

    std::vector<WORD> words_;
};

// Moves the dialog to the middle of its owner (of the work area when the
// owner is hidden), kept inside the work area.
void CenterOverOwner(HWND dialog);

}  // namespace ui
