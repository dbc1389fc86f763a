#pragma once
// Boxes of the updater besides the plan builder's own whose texts the script
// checker names too.

namespace velkast {

// Start-up's box when the update script cannot be read or has no line with
// content.
constexpr wchar_t kScriptMissingCaption[] = L"テキストデータ取得エラー";
constexpr wchar_t kScriptMissingText[] = L"Update.upファイルが見つかりません";

// The caption of the box with the system's text about a file that cannot be
// opened for reading.
constexpr wchar_t kOpenFailureCaption[] = L"エラー";

}  // namespace velkast
