#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/zev_form.h"
#include "core/find_file.h"
#include "tests/app/page_test.h"
#include "tests/core/temp_tree.h"

namespace {

using Names = std::vector<std::string>;

struct ButtonCase {
    ui::TButton TForm1::*button;
    Names files;
    Names folders;
    Names after;  // every name in the folder after the apply, in byte order
};

class ConversionButtonsTest : public PageTest {
protected:
    ConversionButtonsTest() : PageTest(&TForm1::RenameGrid) {}

    void Show(const TempTree& folder)
    {
        CurrentFolder = folder.Root();
        form.DiskPage.SetActivePage(form.RenameFilePage);
        form.RefreshRenamePage(form.RenameGrid);
        zev_test::Pump();
    }
    void Press(ui::TButton& button)
    {
        RECT client{};
        GetClientRect(button.Handle(), &client);
        zev_test::RealClick(button.Handle(), zev_test::Center(client));
    }
    int RowOf(const std::string& name)
    {
        for (int row = 1; row < Grid().RowCount(); ++row)
            if (Grid().Cell(3, row) == name) return row;
        return -1;
    }
    static Names OnDisk(const TempTree& folder)
    {
        Names names;
        for (FindFile entry(folder.Root() + "\\*.*"); entry; entry.next())
            if (!entry.isDotEntry()) names.emplace_back(entry.name());
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(ConversionButtonsTest, EachButtonConvertsEveryRowAndTheApplyRenamesOnDisk)
{
    const ButtonCase cases[] = {
        {&TForm1::ToLowerButton, {"ABC.TXT", "アネ"}, {"フォルダA"}, {"abc.txt", "アネ", "フォルダa"}},
        {&TForm1::ToUpperBottun, {"abc.txt", "ｶﾅ.txt"}, {"dir"}, {"ABC.TXT", "DIR", "ｶﾅ.TXT"}},
        {&TForm1::Underline2Space, {"a_b.txt", "ダ.txt"}, {"d_e"}, {"a b.txt", "d e", "ダ.txt"}},
        {&TForm1::Space2Underline, {"a b.txt", "全　角.txt"}, {"d e"}, {"a_b.txt", "d_e", "全　角.txt"}},
        {&TForm1::WideToSingleButton, {"Ｆｉｌｅ０１.txt", "ファイル"}, {"ＤＩＲ"}, {"DIR", "File01.txt", "ファイル"}},
        // The symbol conversion may give a name Windows refuses; that row keeps its name.
        {&TForm1::ZenSymbol, {"（１）．txt", "a＊b.txt"}, {"【x】"}, {"(１).txt", "[x]", "a＊b.txt"}},
        {&TForm1::HankakuKANA, {"ﾃﾞｰﾀ.txt", "ｶﾟ"}, {"ﾊﾟｽ"}, {"カ゜", "データ.txt", "パス"}},
        {&TForm1::LowerExtBottun, {"READ.ME.TXT", "README"}, {"Data.OLD", ".CVS"}, {".cvs", "Data.old", "READ.ME.txt", "README"}},
    };
    for (const ButtonCase& c : cases) {
        const std::string label = (form.*c.button).Text();
        TempTree folder;
        for (const std::string& name : c.files) folder.File(name);
        for (const std::string& name : c.folders) folder.Folder(name);
        Show(folder);
        Cells counts;
        for (int row = 1; row < Grid().RowCount(); ++row) counts.push_back(Grid().Cell(7, row));

        Press(form.*c.button);
        for (int row = 1; row < Grid().RowCount(); ++row) {
            const bool changed = Grid().Cell(2, row) != Grid().Cell(3, row);
            EXPECT_EQ(Grid().Cell(0, row), changed ? "*" : "") << label << " " << Grid().Cell(3, row);
            EXPECT_EQ(Grid().Cell(7, row), counts[row - 1u]) << label << " " << Grid().Cell(3, row);
        }
        Press(form.DoRenameButton);
        EXPECT_EQ(OnDisk(folder), c.after) << label;
        EXPECT_TRUE(errors.empty()) << label;
    }
}

TEST_F(ConversionButtonsTest, EmptiedNamesStayEmptyAndMarksStay)
{
    TempTree folder;
    for (const char* name : {"ABC", "DEF"}) folder.File(name);
    Show(folder);
    const int emptied = RowOf("ABC"), other = RowOf("DEF");
    Grid().SetCell(2, emptied, "");
    form.RenameGridSetEditText(Grid(), 2, emptied, "");

    Press(form.ToLowerButton);
    EXPECT_EQ(Row(other)[0], "*");
    Press(form.ToUpperBottun);
    for (ui::TButton* button : {&form.Underline2Space, &form.Space2Underline, &form.WideToSingleButton,
                                &form.ZenSymbol, &form.HankakuKANA, &form.LowerExtBottun})
        Press(*button);
    EXPECT_EQ(Row(emptied)[2], "");
    EXPECT_EQ(Row(other)[2], "DEF");
    EXPECT_EQ(Row(other)[0], "*");  // the names agree again, yet the mark stays

    Press(form.DoRenameButton);
    EXPECT_EQ(OnDisk(folder), (Names{"ABC", "DEF"}));
}

}  // namespace
