#include "shell/FileRecoveryNotice.h"

#include <filesystem>

#include "core/VTAAccountManager.h"
#include "core/VTAUserDefoult.h"
#include "core/security/BrasnikSignManager.h"
#include "platform/foundation/NSUserDefaults.h"
#include "platform/foundation/Paths.h"
#include "platform/uikit/UIAlertView.h"

namespace FileRecoveryNotice {

namespace {

// The lines of the message, in the order they are told.
enum Line { SettingsRestored, SettingsReset, TokensLost, AccountsLost, OtherLost, LineCount };

const char* const kLines[LineCount] = {
    "设置已从备份恢复。",              // SettingsRestored
    "部分设置已恢复为默认值。",        // SettingsReset
    "手机令牌无法读取，请重新申请。",  // TokensLost
    "已保存的帐号无法读取。",          // AccountsLost
    "部分数据无法读取。",              // OtherLost
};

Line lineFor(const RecoveredFile& file) {
    const std::string name = std::filesystem::path(file.path).filename().string();
    if (name == VTAUserDefoult::kFileName || name == NSUserDefaults::kFileName)
        return file.fromCopy ? SettingsRestored : SettingsReset;
    if (name == BrasnikSignManager::kFileName) return TokensLost;
    if (name == VTAAccountManager::kSavedAccountsFile) return AccountsLost;
    return OtherLost;
}

}  // namespace

std::string message(const std::vector<RecoveredFile>& files) {
    bool told[LineCount] = {};
    for (const auto& file : files) told[lineFor(file)] = true;
    // Settings partly reset say more than settings restored.
    if (told[SettingsReset]) told[SettingsRestored] = false;
    std::string text;
    for (int line = 0; line < LineCount; ++line)
        if (told[line]) text += std::string(kLines[line]) + "\n";
    return text + "原文件已保留。";
}

bool showIfAny() {
    auto files = takeRecoveredFiles(documentsDirectory());
    if (files.empty()) return false;
    auto alert =
        std::make_shared<UIAlertView>(kTitle, message(files), nullptr, std::string("确定"), std::vector<std::string>{});
    alert->show();
    return true;
}

}  // namespace FileRecoveryNotice
