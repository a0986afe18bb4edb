#pragma once
// The CD/DVD check's hints for the rename boxes: the layout sets them, and the
// page puts them back when the check returns to CD/DVD from another target.
inline constexpr const char* kJolietCountHint = "ファイル名の文字数 負の値はセミコロンを含むことを示します";
inline constexpr const char* kJolietNewNameHint = "変更ファイル名、左の数値が1から64以内の値に変更してください";
