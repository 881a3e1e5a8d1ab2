#include "net/ServiceErrors.h"

NSError ServiceErrors::serviceError(int code) {
    const char* text = "服务器返回数据异常";
    switch (code) {
        case kNoFlag:
            text = "服务器返回数据格式错误";
            break;
        case kSessionTimeout:
            text = "会话已超时，请稍后再试";
            break;
        case kResponseDataException:
            text = "服务器返回数据异常";
            break;
        case kDecryptDataError:
            text = "数据解密错误";
            break;
        case kDecompressionDataError:
            text = "数据解压错误";
            break;
        default:
            code = kResponseDataException;
            break;
    }
    return NSError(kServiceDomain, code, text);
}

bool ServiceErrors::mayHaveBeenTaken(const NSError& error) {
    if (error.domain() == kServiceDomain)
        return error.code() == kNoFlag || error.code() == kDecryptDataError || error.code() == kDecompressionDataError;
    return error.code() != kCannotConnect && error.code() != kCancelled;
}
