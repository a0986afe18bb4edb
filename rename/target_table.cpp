#include "rename/target_table.h"

#include "core/find_file.h"
#include "core/paths.h"
#include "core/sizes.h"
#include "core/sort_value.h"
#include "core/stamp.h"
#include "files/file_sort.h"
#include "rename/joliet_table.h"

std::vector<TargetEntry> TargetTable(1);

namespace {

// The walk's target and the chosen folder's wide length, for the entry check,
// which the walk calls without context.
CheckTarget WalkedTarget = CheckTarget::Joliet;
std::size_t WideBaseLength = 0;

void CheckEntry(const DiskPath& folder, const FindFile& entry)
{
    TargetFacts facts;
    facts.Name = entry.wideName();
    facts.IsFolder = entry.isFolder();
    facts.Size = facts.IsFolder ? 0 : entry.size();
    facts.PathLength = static_cast<std::int32_t>(folder.Wide.size() + facts.Name.size() - WideBaseLength);
    facts.WriteTime = entry.data().ftLastWriteTime;
    TargetVerdict verdict = CheckTargetEntry(WalkedTarget, facts);
    if (verdict.Reasons == 0)
        return;
    TargetEntry& record = TargetTable.emplace_back();
    record.Folder = folder.Shown;
    record.WideFolder = folder.Wide;
    record.Name = entry.name();
    record.Identity = IdentityOf(entry.data());
    record.IsFolder = facts.IsFolder;
    record.Size = facts.Size;
    FILETIME local{};
    FileTimeToLocalFileTime(&facts.WriteTime, &local);
    FileTimeToSystemTime(&local, &record.Stamp);
    record.PathLength = facts.PathLength;
    record.CharCount = CountNameChars(record.Name);
    for (std::size_t i = WideBaseLength; i < folder.Wide.size(); ++i)
        record.Depth += folder.Wide[i] == L'\\' ? 1 : 0;
    record.Reasons = verdict.Reasons;
    record.ShownProposal = ShownText(verdict.Proposal);
    record.Proposal = std::move(verdict.Proposal);
}

SortValue ValueOf(const TargetEntry& entry, int key)
{
    switch (key) {
    case SortByName: return TextValue(UpperCased(entry.Name));
    case SortBySize: return NumberValue(entry.IsFolder ? -1 : entry.Size);
    case SortByDate: return NumberValue(StampOrder(entry.Stamp));
    case SortByExtension: return TextValue(UpperCased(ExtensionWithDot(entry.Name)));
    case SortByCharCount: return NumberValue(entry.CharCount);
    case SortByFolder: return TextValue(UpperCased(entry.Folder));
    case SortByPathLength: return NumberValue(entry.PathLength);
    default: return {};
    }
}

}  // namespace

int WalkTarget(CheckTarget target, const DiskPath& folder, WalkProgress& progress)
{
    TargetTable.resize(1);
    WalkedTarget = target;
    WideBaseLength = EndingInBackslash(folder).Wide.size();
    JolietOtherCheck = CheckEntry;
    WalkJoliet(folder, progress);
    JolietOtherCheck = nullptr;
    return static_cast<int>(TargetTable.size()) - 1;
}

void SortTarget(int n, int key, bool descending)
{
    SortByValues(FileOrder, n, descending,
                 [key](int i) { return ValueOf(TargetTable[static_cast<std::size_t>(i)], key); });
}
