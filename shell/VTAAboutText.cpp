#include "shell/VTAAboutText.h"

#include "core/Brokerage.h"
#include "shell/ClientIdentity.h"

std::string aboutText() {
    return std::string(kClientName) + " " + kClientVersion +
           "\n\n提供沪深港行情、自选股、股票交易、基金理财、融资融券及消息资讯服务。\n\n"
           "客服热线：" +
           kBrokerageHotline + "\n\n股市有风险，投资需谨慎。";
}
