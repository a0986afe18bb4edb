#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "core/paths.h"
#include "tests/core/temp_tree.h"

namespace {

std::string ShortPath(const std::string& path)
{
    char text[MAX_PATH + 1];
    const DWORD length = GetShortPathNameA(path.c_str(), text, sizeof text);
    EXPECT_GT(length, 0u);
    EXPECT_LE(length, DWORD{MAX_PATH});
    return std::string(text, length);
}

// Folders and files with long, mixed-case and double-byte names, some of whose
// second bytes are 0x5C.
class DiskPaths : public testing::Test {
protected:
    void SetUp() override
    {
        tree.Folder("長いフォルダ名のテスト");
        tree.Folder("長いフォルダ名のテスト\\Long Folder Name");
        tree.File("長いフォルダ名のテスト\\Long Folder Name\\MixedCase.Txt", 10);
        tree.Folder("表ソ十");
        tree.File("表ソ十\\能力ソ.txt");
        tree.Folder("Folder");
        tree.File("MixedCase.Txt");
    }

    const std::string& root() const { return tree.Root(); }
    std::string path(std::string_view relative) const { return tree.Path(relative); }

    const TempTree tree;
};

// The current folder for the length of a test.
class CurrentFolder {
public:
    explicit CurrentFolder(const std::string& folder)
    {
        GetCurrentDirectoryA(sizeof saved_, saved_);
        EXPECT_TRUE(SetCurrentDirectoryA(folder.c_str()));
    }
    ~CurrentFolder() { SetCurrentDirectoryA(saved_); }
    CurrentFolder(const CurrentFolder&) = delete;
    CurrentFolder& operator=(const CurrentFolder&) = delete;

private:
    char saved_[MAX_PATH + 1] = {};
};

}  // namespace

TEST_F(DiskPaths, TheFixtureHasStoredCaseAndShortNames)
{
    // The other tests compare with the root as given; it must be stored so.
    ASSERT_EQ(ExpandLongPath(root()), root());
    const std::string longFile = path("長いフォルダ名のテスト\\Long Folder Name\\MixedCase.Txt");
    const std::string shortFile = ShortPath(longFile);
    EXPECT_EQ(shortFile.find("長いフォルダ名のテスト"), std::string::npos) << shortFile;
    EXPECT_EQ(shortFile.find("Long Folder Name"), std::string::npos) << shortFile;
    EXPECT_EQ(shortFile.find("MixedCase.Txt"), std::string::npos) << shortFile;
}

TEST_F(DiskPaths, ExpandLongPathGivesStoredLongNames)
{
    const std::string longFile = path("長いフォルダ名のテスト\\Long Folder Name\\MixedCase.Txt");
    EXPECT_EQ(ExpandLongPath(ShortPath(longFile)), longFile);
    EXPECT_EQ(ExpandLongPath(path("長いフォルダ名のテスト\\LONG FOLDER NAME\\mixedcase.txt")), longFile);
    EXPECT_EQ(ExpandLongPath(path("表ソ十\\能力ソ.TXT")), path("表ソ十\\能力ソ.txt"));
    EXPECT_EQ(ExpandLongPath(ShortPath(path("表ソ十\\能力ソ.txt"))), path("表ソ十\\能力ソ.txt"));
    EXPECT_EQ(ExpandLongPath(ShortPath(path("表ソ十"))), path("表ソ十"));
    EXPECT_EQ(ExpandLongPath(path("folder")), path("Folder"));
    EXPECT_EQ(ExpandFolderPath(ShortPath(path("長いフォルダ名のテスト\\Long Folder Name"))),
              path("長いフォルダ名のテスト\\Long Folder Name"));
}

TEST_F(DiskPaths, ExpandLongPathKeepsWhatIsNotOnDisk)
{
    EXPECT_EQ(ExpandLongPath(path("Missing\\Nope.TXT")), path("Missing\\Nope.TXT"));
    EXPECT_EQ(ExpandLongPath(path("FOLDER\\nope.txt")), path("Folder\\nope.txt"));
    EXPECT_EQ(ExpandLongPath(path("missing\\表")), path("missing\\表"));
    EXPECT_EQ(ExpandLongPath("\\\\server\\share\\dir\\f.txt"), "\\\\server\\share\\dir\\f.txt");
    EXPECT_EQ(ExpandLongPath("\\\\server"), "\\\\server");
    EXPECT_EQ(ExpandLongPath(""), "");
}

TEST_F(DiskPaths, ExpandLongPathOfFolderPathsWithTheirSeparator)
{
    EXPECT_EQ(ExpandLongPath("C:\\"), "C:\\");
    EXPECT_EQ(ExpandLongPath("C:"), "C:");
    EXPECT_EQ(ExpandLongPath(ShortPath(path("長いフォルダ名のテスト")) + "\\"), path("長いフォルダ名のテスト\\"));
    EXPECT_EQ(ExpandLongPath(path("表ソ十\\")), path("表ソ十\\"));
    EXPECT_EQ(ExpandFolderPath(path("folder\\")), path("Folder\\"));
}

TEST_F(DiskPaths, ExpandLongPathWithoutDriveOrFolder)
{
    ASSERT_EQ(root().substr(1, 2), ":\\");
    const CurrentFolder inside(root());
    const std::string rooted = root().substr(2);
    EXPECT_EQ(ExpandLongPath(rooted + "\\FOLDER\\nope.txt"), rooted + "\\Folder\\nope.txt");
    EXPECT_EQ(ExpandLongPath(rooted + "\\mixedcase.txt"), rooted + "\\MixedCase.Txt");
    EXPECT_EQ(ExpandLongPath("長いフォルダ名のテスト\\long folder name\\MIXEDCASE.TXT"),
              "長いフォルダ名のテスト\\Long Folder Name\\MixedCase.Txt");
    EXPECT_EQ(ExpandLongPath("mixedcase.txt"), "MixedCase.Txt");
    EXPECT_EQ(ExpandLongPath(root().substr(0, 2) + "mixedcase.txt"), root().substr(0, 2) + "MixedCase.Txt");
}

TEST_F(DiskPaths, ExpandLongPathOfOverlongPaths)
{
    const std::string name(300, 'a');
    EXPECT_EQ(ExpandLongPath(path("長いフォルダ名のテスト\\LONG FOLDER NAME\\" + name + "\\x.txt")),
              path("長いフォルダ名のテスト\\Long Folder Name\\" + name + "\\x.txt"));
    // Thousands of components are walked without recursion.
    std::string deep = path("FOLDER");
    for (int i = 0; i < 5000; ++i)
        deep += "\\表";
    const std::string expanded = ExpandLongPath(deep);
    EXPECT_EQ(expanded.size(), deep.size());
    EXPECT_EQ(expanded.substr(0, root().size() + 7), path("Folder"));
}

TEST_F(DiskPaths, StoredNameOfGivesTheStoredCase)
{
    EXPECT_EQ(StoredNameOf(path("mixedcase.txt"), 0x3F), "MixedCase.Txt");
    EXPECT_EQ(StoredNameOf(path("MIXEDCASE.TXT"), 0x3F), "MixedCase.Txt");
    EXPECT_EQ(StoredNameOf(path("表ソ十"), 0x16), "表ソ十");
    EXPECT_EQ(StoredNameOf(path("表ソ十\\能力ソ.TXT"), 0x3F), "能力ソ.txt");
    // What is not found is the last component as given.
    EXPECT_EQ(StoredNameOf(path("missing.TXT"), 0x3F), "missing.TXT");
    EXPECT_EQ(StoredNameOf(path("missing\\表"), 0x3F), "表");
    EXPECT_EQ(StoredNameOf(path(std::string(300, 'a')), 0x3F), std::string(300, 'a'));
    EXPECT_EQ(StoredNameOf("", 0x3F), "");
    // A pattern is no name: it does not find some other entry.
    EXPECT_EQ(StoredNameOf(path("Mixed*.Txt"), 0x3F), "Mixed*.Txt");
    EXPECT_EQ(StoredNameOf(path("mixedcase.tx?"), 0x3F), "mixedcase.tx?");
}

TEST_F(DiskPaths, StoredNameOfHonoursTheAttributeMask)
{
    // Plain files match every mask; folders only a mask with the folder bit.
    EXPECT_EQ(StoredNameOf(path("mixedcase.txt"), 0x10), "MixedCase.Txt");
    EXPECT_EQ(StoredNameOf(path("mixedcase.txt"), 0x00), "MixedCase.Txt");
    EXPECT_EQ(StoredNameOf(path("folder"), 0x16), "Folder");
    EXPECT_EQ(StoredNameOf(path("folder"), 0x06), "folder");

    tree.Folder("Hidden");
    ASSERT_TRUE(SetFileAttributesA(path("Hidden").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY));
    if ((GetFileAttributesA(path("Hidden").c_str()) & FILE_ATTRIBUTE_HIDDEN) == 0)
        GTEST_SKIP() << "this file system keeps no hidden attribute";
    EXPECT_EQ(StoredNameOf(path("hidden"), 0x16), "Hidden");
    EXPECT_EQ(StoredNameOf(path("hidden"), 0x10), "hidden");
}

TEST_F(DiskPaths, IsExistingFolder)
{
    EXPECT_TRUE(IsExistingFolder(root()));
    EXPECT_TRUE(IsExistingFolder(root() + "\\"));
    EXPECT_TRUE(IsExistingFolder(path("folder")));
    EXPECT_TRUE(IsExistingFolder(path("長いフォルダ名のテスト\\LONG FOLDER NAME\\")));
    EXPECT_TRUE(IsExistingFolder(ShortPath(path("長いフォルダ名のテスト"))));
    // The last byte of "十" is 0x5C and stays.
    EXPECT_TRUE(IsExistingFolder(path("表ソ十")));
    EXPECT_TRUE(IsExistingFolder(path("表ソ十\\")));

    EXPECT_FALSE(IsExistingFolder(path("MixedCase.Txt")));
    EXPECT_FALSE(IsExistingFolder(path("MixedCase.Txt\\")));
    EXPECT_FALSE(IsExistingFolder(path("表ソ十\\能力ソ.txt")));
    EXPECT_FALSE(IsExistingFolder(path("missing")));
    EXPECT_FALSE(IsExistingFolder(path("missing\\")));
    EXPECT_FALSE(IsExistingFolder(path("Fold*")));
    EXPECT_FALSE(IsExistingFolder(path(std::string(300, 'a'))));
    EXPECT_FALSE(IsExistingFolder(""));
    EXPECT_FALSE(IsExistingFolder("\\"));
}

TEST(IsExistingFolder, DriveRoots)
{
    EXPECT_TRUE(IsExistingFolder("C:\\"));
    EXPECT_TRUE(IsExistingFolder("C:"));
    EXPECT_TRUE(IsExistingFolder("c:\\"));
    EXPECT_FALSE(IsExistingFolder("\\\\server\\share"));
}
