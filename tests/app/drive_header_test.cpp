// The drive header and the ways a location is chosen: the drive selector,
// drops of files, folders, network paths and drive roots.
#include "tests/app/form_fixture.h"

#include "app/drive_header.h"
#include "core/number_format.h"
#include "core/sizes.h"

namespace {

using zev_test::Pump;

struct Figures {
    std::string clusterLabel;
    std::string spaceLabel;
};

// What the header must show for a root, from the system's own figures.
Figures Expected(const std::string& rootdir) {
    DWORD sectors = 0, bytes = 0, freeClusters = 0, total = 0;
    if (!GetDiskFreeSpaceA(rootdir.c_str(), &sectors, &bytes, &freeClusters, &total)) return {};
    const double cluster = double(sectors) * bytes;
    return {"クラスターサイズ: " + std::to_string(sectors * bytes),
            FormatNumber((double(total) - freeClusters) * cluster / 1024) + "KB 使用  " +
                FormatNumber(double(freeClusters) * cluster / 1024) + "KB 空き"};
}

std::string DriveOf(const std::string& path) { return std::string(1, path[0]) + ":\\"; }

TEST_F(FormTest, HeaderShowsTheStartDrivesFigures) {
    TForm1& f = Open();
    const Figures want = Expected(DriveOf(tree.Root()));
    ASSERT_FALSE(want.clusterLabel.empty());
    EXPECT_EQ(f.ClusterSizeLabel.Caption(), want.clusterLabel);
    // Others write to the disk meanwhile: the used and free figures move, their sum does not.
    auto sum = [](const std::string& label) {
        double total = 0, number = 0;
        for (char c : label) {
            if (c >= '0' && c <= '9')
                number = number * 10 + (c - '0');
            else if (c == 'K') {
                total += number;
                number = 0;
            }
        }
        return total;
    };
    EXPECT_EQ(sum(f.DiskFreeLabel.Caption()), sum(want.spaceLabel)) << f.DiskFreeLabel.Caption();
    DWORD sectors = 0, bytes = 0, freeClusters = 0, total = 0;
    GetDiskFreeSpaceA(DriveOf(tree.Root()).c_str(), &sectors, &bytes, &freeClusters, &total);
    EXPECT_EQ(ClusterSize, static_cast<std::int32_t>(sectors * bytes));
    EXPECT_EQ(DriveRoot, std::string(1, static_cast<char>(tolower(tree.Root()[0]))));
    EXPECT_EQ(f.DriveComboBox1.Drive(), DriveRoot[0]);
}

TEST_F(FormTest, DroppedFolderIsShownAndDroppedFileShowsItsFolder) {
    tree.Folder("落とす");
    tree.File("落とす\\中身.txt");
    tree.Folder("別");
    tree.File("別\\もの.txt");
    TForm1& f = Open();

    Drop({tree.Path("落とす")});
    EXPECT_EQ(CurrentFolder.Shown, tree.Path("落とす"));
    EXPECT_EQ(f.StartPath.Shown, tree.Path("落とす"));
    EXPECT_EQ(f.DirectoryLabel.Caption(), tree.Path("落とす"));
    EXPECT_EQ(FileNames(), std::vector<std::string>{"中身.txt"});
    EXPECT_EQ(f.ClusterSizeLabel.Caption(), Expected(DriveOf(tree.Root())).clusterLabel);
    EXPECT_FALSE(RemoteFileSystem);

    // Of three items only the first counts.
    Drop({tree.Path("別\\もの.txt"), tree.Path("落とす"), tree.Root()});
    EXPECT_EQ(CurrentFolder.Shown, tree.Path("別"));
    EXPECT_EQ(FileNames(), std::vector<std::string>{"もの.txt"});
    EXPECT_TRUE(errors.empty());
}

TEST_F(FormTest, DroppedPathLongerThan254BytesArrivesWhole) {
    std::string relative;
    for (int i = 0; i < 10; ++i) {
        relative += (i ? "\\" : "") + std::string("とても長いフォルダの名前その") + std::to_string(i);
        tree.Folder(relative);
    }
    ASSERT_GT(tree.Path(relative).size(), 254u);
    Open();
    Drop({tree.Path(relative)});
    EXPECT_EQ(CurrentFolder.Shown, tree.Path(relative));
}

TEST_F(FormTest, NetworkDropSwitchesTheHeaderAndALocalDropSwitchesItBack) {
    tree.Folder("ローカル");
    TForm1& f = Open();
    Drop({"\\\\nosuchserver\\share\\dir"});
    EXPECT_EQ(f.ClusterSizeLabel.Caption(), "リモートファイルシステム");
    EXPECT_TRUE(RemoteFileSystem);
    EXPECT_EQ(DriveRoot, "\\\\nosuchserver\\share");
    // The folder selector cannot enter the share: the error box tells, the window goes on.
    EXPECT_EQ(errors.size(), 1u);
    EXPECT_EQ(CurrentFolder.Shown, tree.Root());

    errors.clear();
    Drop({tree.Path("ローカル")});
    EXPECT_FALSE(RemoteFileSystem);
    EXPECT_EQ(f.ClusterSizeLabel.Caption(), Expected(DriveOf(tree.Root())).clusterLabel);
    EXPECT_EQ(CurrentFolder.Shown, tree.Path("ローカル"));
    EXPECT_TRUE(errors.empty());
}

TEST_F(FormTest, DroppedDriveRootShowsThatRoot) {
    TForm1& f = Open();
    const std::string root = DriveOf(tree.Root());
    Drop({root});
    EXPECT_EQ(CurrentFolder.Shown, root);
    EXPECT_EQ(f.ClusterSizeLabel.Caption(), Expected(root).clusterLabel);
    EXPECT_TRUE(errors.empty());
}

TEST_F(FormTest, ChoosingAnotherDriveInTheSelectorMovesThereAndRefillsTheHeader) {
    TForm1& f = Open();
    const char start = f.DriveComboBox1.Drive();
    ASSERT_NE(start, 'z') << "the scratch folder must not lie on z:";
    // Wine maps z: to the Unix root.
    f.DriveComboBox1.SetFocus();
    zev_test::RealKey('Z');
    Pump();
    EXPECT_EQ(f.DriveComboBox1.Drive(), 'z');
    EXPECT_EQ(DriveRoot, "z");
    ASSERT_FALSE(CurrentFolder.Shown.empty());
    EXPECT_EQ(toupper(static_cast<unsigned char>(CurrentFolder.Shown[0])), 'Z');
    EXPECT_EQ(f.DirectoryLabel.Caption(), CurrentFolder.Shown);
    EXPECT_EQ(f.ClusterSizeLabel.Caption(), Expected("z:\\").clusterLabel);

    // The drive already shown changes nothing.
    const std::string folder = CurrentFolder.Shown;
    f.DriveComboBox1.SetDrive('z');
    EXPECT_EQ(CurrentFolder.Shown, folder);

    // A local drive clears the network state a drop left.
    RemoteFileSystem = true;
    f.DriveComboBox1.SetDrive(start);
    EXPECT_FALSE(RemoteFileSystem);
    EXPECT_TRUE(errors.empty());
}

TEST(DriveSpace, QueryMatchesTheSystemAndFailureKeepsTheLastClusterSize) {
    DWORD sectors = 0, bytes = 0, freeClusters = 0, total = 0;
    ASSERT_TRUE(GetDiskFreeSpaceA("C:\\", &sectors, &bytes, &freeClusters, &total));
    DriveSpace space;
    ASSERT_TRUE(QueryDriveSpace("C:\\", space));
    EXPECT_EQ(space.SectorsPerCluster, sectors);
    EXPECT_EQ(space.BytesPerSector, bytes);
    EXPECT_EQ(space.TotalClusters, total);
    EXPECT_EQ(QueryClusterSize("C:\\"), std::int64_t{sectors} * bytes);
    EXPECT_EQ(ClusterSize, static_cast<std::int32_t>(sectors * bytes));

    EXPECT_FALSE(QueryDriveSpace("Q:\\", space));
    EXPECT_EQ(QueryClusterSize("Q:\\"), 0);
    EXPECT_EQ(ClusterSize, static_cast<std::int32_t>(sectors * bytes));
}

}  // namespace

namespace {

TEST(DriveSpace, FiguresInKilobytesForEveryClusterSize) {
    const std::string sep = [] {
        char s[8] = ",";
        GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, s, sizeof s);
        return std::string(s);
    }();
    EXPECT_EQ(DiskSpaceText({8, 512, 250, 1000}), "3" + sep + "000KB 使用  1" + sep + "000KB 空き");
    // 512-byte clusters: 1000 used clusters are 500 KB, not 0.
    EXPECT_EQ(DiskSpaceText({1, 512, 1000, 2000}), "500KB 使用  500KB 空き");
    // Counts past 2^31 are unsigned and never show as negative space.
    EXPECT_EQ(DiskSpaceText({1, 1024, 0, 0x80000000u}),
              "2" + sep + "147" + sep + "483" + sep + "648KB 使用  0KB 空き");
    EXPECT_EQ(DiskSpaceText({}), "0KB 使用  0KB 空き");
}

}  // namespace
