#include "shell/DatabaseRecovery.h"

#include "core/ParsedReply.h"
#include "core/RequestText.h"
#include "core/VTAUserDefoult.h"
#include "core/contracts/ResultContract.h"
#include "core/storage/DaoFactory.h"
#include "platform/uikit/UIAlertView.h"
#include "shell/PushHandling.h"

std::shared_ptr<DatabaseRecovery> DatabaseRecovery::start(const std::string& failureText) {
    auto alert =
        std::make_shared<UIAlertView>(failureText, kNotice, nullptr, std::string("确定"), std::vector<std::string>{});
    alert->show();

    auto recovery = std::make_shared<DatabaseRecovery>();
    auto& settings = VTAUserDefoult::standerDefoult();
    if (settings.getBoolForKey(kSaveMyStockInServerKey)) {
        recovery->keepAlive_ = recovery;
        XXNetworkManager::sharedManager().requestDownloadPortfolio(std::weak_ptr<DatabaseRecovery>(recovery));
        return recovery;
    }
    std::vector<std::string> ids;
    if (auto list = settings.getArrayForKey("your stocks"))
        for (const auto& v : *list)
            if (v.isString() && !v.string().empty()) ids.push_back(v.string());
    if (auto portfolio = DaoFactory::sharedInstance().portfolioDao(); portfolio && !ids.empty())
        portfolio->moveToDatabaseWithStocks(ids);
    return recovery;
}

void DatabaseRecovery::serviceDidReceiveData(XXNetworkManager*, const std::vector<uint8_t>& data, int tag) {
    auto self = std::move(keepAlive_);  // done after this answer, whatever it holds
    if (tag != XXNetworkManager::kDownloadTag) return;
    ParsedReply reply(data);
    VTATCRS* result = reply.firstRecord();
    if (!result) return;
    std::vector<std::string> ids;
    for (auto& id : splitText(result->toStringWithFieldName(ResultContract::Col::kCode).value_or(""), "|"))
        if (!id.empty()) ids.push_back(std::move(id));
    if (auto portfolio = DaoFactory::sharedInstance().portfolioDao()) portfolio->replaceAllWithStocks(ids);
}

void DatabaseRecovery::serviceDidNetworkError(XXNetworkManager*, const NSError&, int) { keepAlive_.reset(); }

void DatabaseRecovery::serviceDidServiceError(XXNetworkManager*, const NSError&, int) { keepAlive_.reset(); }
