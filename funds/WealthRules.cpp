#include "funds/WealthRules.h"

bool isPlainDecimal(const std::string& text) {
    int points = 0, digits = 0;
    for (char ch : text) {
        if (ch == '.')
            ++points;
        else if (ch >= '0' && ch <= '9')
            ++digits;
        else
            return false;
    }
    return points <= 1 && digits > 0;
}

bool isPositiveDecimal(const std::string& text) {
    return isPlainDecimal(text) && text.find_first_not_of("0.") != std::string::npos;
}

bool isPositiveWhole(const std::string& text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos &&
           text.find_first_not_of('0') != std::string::npos;
}

std::string bondOrderSummary(int direction, const std::string& code, const std::string& name, const std::string& price,
                             const std::string& quantity) {
    return std::string("您确定要发送如下信息吗？\n") + (direction == 0 ? "操作:可转债转股 \n" : "操作:可转债回售 \n") +
           "代码：" + code + " \n名称：" + name + " \n价格：" + price + "元 \n数量：" + quantity + "张 \n";
}

std::string exchangeFundSummary(int direction, const std::string& code, const std::string& name,
                                const std::string& amount) {
    return std::string("您确定要发送如下信息吗？\n") + (direction == 0 ? "操作:基金申购 \n" : "操作:基金赎回 \n") +
           "基金代码：" + code + " \n基金名称：" + name + " \n" +
           (direction == 0 ? "申购金额：" + amount + "元 \n" : "赎回份额：" + amount + "份 \n");
}

std::string planAmountRefusal(const std::string& amount) {
    if (amount.empty()) return "请输入金额";
    if (!isPlainDecimal(amount)) return "请输入正确的金额";
    const size_t point = amount.find('.');
    const std::string whole = amount.substr(0, point);
    const bool fraction = point != std::string::npos && amount.find_first_not_of('0', point + 1) != std::string::npos;
    const bool thousands = whole.size() >= 4 && whole.compare(whole.size() - 3, 3, "000") == 0 &&
                           whole.find_first_not_of('0') != std::string::npos;
    if (fraction || !thousands) return "输入金额的金额必须为1000的整数倍";
    return "";
}

std::string conversionSummary(const std::string& fromCode, const std::string& fromName, const std::string& toCode,
                              const std::string& toName, const std::string& units) {
    return "交易类型：基金转换 \n转出代码：" + fromCode + "\n转出名称：" + fromName + "\n转入代码：" + toCode +
           "\n转入名称：" + toName + "\n转换份额：" + units + "\n";
}

std::string dividendSummary(const std::string& code, const std::string& name, const std::string& method) {
    return "交易类型：分红设置 \n基金代码：" + code + "\n基金名称：" + name + "\n分红方式：" + method + "\n";
}
