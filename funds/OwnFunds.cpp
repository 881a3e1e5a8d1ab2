#include "funds/OwnFunds.h"

#include <algorithm>

#include "core/Utilities.h"
#include "core/VTAUserDefoult.h"

std::vector<std::string> ownFundCodes() {
    std::vector<std::string> codes;
    if (auto list = VTAUserDefoult::standerDefoult().getArrayForKey(kOwnFundsKey))
        for (const auto& v : *list)
            if (v.isString() || v.isNumber()) codes.push_back(v.toString());
    return codes;
}

void setOwnFundCodes(const std::vector<std::string>& codes) {
    Value::Array list;
    for (const auto& c : codes) list.emplace_back(c);
    // Written at once: a list arranged is not lost when the client is ended.
    VTAUserDefoult::standerDefoult().setArray(list, kOwnFundsKey);
    VTAUserDefoult::standerDefoult().save();
}

std::string addOwnFund(const std::string& name, const std::string& code) {
    if (name == kMissingFieldText || code.empty() || utf8Length(code) > 6) return "添加失败，非法代码！";
    std::vector<std::string> codes = ownFundCodes();
    if (std::find(codes.begin(), codes.end(), code) != codes.end()) return "添加失败，" + name + "已经存在";
    codes.push_back(code);
    setOwnFundCodes(codes);
    return "成功添加" + name;
}
