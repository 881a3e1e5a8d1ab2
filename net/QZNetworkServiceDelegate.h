#pragma once
// The callbacks of a request service's owner (a screen, the bank manager...),
// always on the main loop. Every operation has a default that does nothing.
#include <cstdint>
#include <memory>
#include <vector>

#include "net/ServiceErrors.h"

class QZNetworkService;
class VTATCRS;

class QZNetworkServiceDelegate {
public:
    virtual ~QZNetworkServiceDelegate() = default;

    // The reply bytes, already deciphered and decompressed.
    virtual void serviceDidReceiveData(QZNetworkService* service, const std::vector<uint8_t>& data, int tag) {
        (void)service;
        (void)data;
        (void)tag;
    }
    // Parsed record sets of the chart tags (1501, 1504, and their cached copies
    // 1503, 1506). Only called when respondsToServiceDidReceiveArray() answers
    // true; otherwise the fresh chart replies come as bytes and cached copies are skipped.
    virtual void serviceDidReceiveArray(QZNetworkService* service, const std::vector<std::shared_ptr<VTATCRS>>& sets,
                                        int tag) {
        (void)service;
        (void)sets;
        (void)tag;
    }
    virtual bool respondsToServiceDidReceiveArray() const { return false; }
    virtual void serviceDidNetworkError(QZNetworkService* service, const NSError& error, int tag) {
        (void)service;
        (void)error;
        (void)tag;
    }
    virtual void serviceDidServiceError(QZNetworkService* service, const NSError& error, int tag) {
        (void)service;
        (void)error;
        (void)tag;
    }
};
