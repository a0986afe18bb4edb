#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "ui/gdi.h"

// Wine draws the symbols of the caption buttons and scroll-bar arrows with
// its Marlett font; when the prefix lacks it, another font stands in and the
// buttons show letters ("0", "1", "r").
TEST(Fonts, MarlettResolvesToItself) {
    for (BYTE charset : {DEFAULT_CHARSET, SYMBOL_CHARSET}) {
        ui::GdiObject<HFONT> font(CreateFontA(-16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, charset,
                                              OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                              DEFAULT_PITCH, "Marlett"));
        ASSERT_TRUE(font);
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, font.get());
        char face[LF_FACESIZE] = "";
        GetTextFaceA(dc, sizeof face, face);
        SelectObject(dc, old);
        DeleteDC(dc);
        EXPECT_EQ(std::string(face), "Marlett") << "charset " << int{charset};
    }
}
