#include "rename/rename_run.h"

#include "core/number_format.h"

namespace {

std::string Count(std::int64_t n)
{
    return FormatNumber(n) + " 件";
}

}  // namespace

std::string RenamedText(const RenameRun& run)
{
    if (run.stopped)
        return "Esc で中断しました。変更しました: " + Count(run.done) + ", 残り: " + Count(run.left);
    return "変更しました: " + Count(run.done) + (run.failed > 0 ? ", 変更できませんでした: " + Count(run.failed) : "")
        + (run.done > 0 ? " (Ctrl+Z で元に戻せます)" : "");
}

std::string UndoneText(const RenameRun& run)
{
    if (run.stopped)
        return "Esc で中断しました。元に戻しました: " + Count(run.done) + ", 残り: " + Count(run.left);
    return "元に戻しました: " + Count(run.done) + (run.failed > 0 ? ", 戻せませんでした: " + Count(run.failed) : "");
}
