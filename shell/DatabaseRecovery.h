#pragma once
// What follows a damaged database replaced by the bundle's seed at launch
// (DaoFactory's Recovered): the customer is told ("数据库初始化失败", and
// that the old file is kept), and the own stocks are brought
// back into the fresh table: from the server when they live there
// ("SaveMyStockInServer": a download, 3710/2, whose list replaces the table
// when it arrives, after the session login), otherwise from the settings list
// "your stocks", which every change of the own stocks keeps in step.
#include <memory>
#include <string>
#include <vector>

#include "net/XXNetworkManager.h"

class DatabaseRecovery : public XXNetworkManagerDelegate {
public:
    // The alert's message under the failure text.
    static constexpr const char* kNotice = "数据文件已损坏，已恢复为初始数据，原文件已保留。";

    // Shows the alert and starts bringing the own stocks back. The object
    // stays alive until the server's answer (if one is asked for) arrived.
    static std::shared_ptr<DatabaseRecovery> start(const std::string& failureText);

    void serviceDidReceiveData(XXNetworkManager* manager, const std::vector<uint8_t>& data, int tag) override;
    // Without an answer the table keeps the seed's empty list.
    void serviceDidNetworkError(XXNetworkManager* manager, const NSError& error, int tag) override;
    void serviceDidServiceError(XXNetworkManager* manager, const NSError& error, int tag) override;

private:
    std::shared_ptr<DatabaseRecovery> keepAlive_;
};
