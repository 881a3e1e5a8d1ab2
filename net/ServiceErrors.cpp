#include "net/ServiceErrors.h"

NSError ServiceErrors::serviceError(int code) {
    const char* text = "Response Data Exception";
    switch (code) {
        case kNoFlag:
            text = "No Flag";
            break;
        case kSessionTimeout:
            text = "Session Timeout";
            break;
        case kResponseDataException:
            text = "Response Data Exception";
            break;
        case kDecryptDataError:
            text = "Decrypt Data Error";
            break;
        case kDecompressionDataError:
            text = "Decompression Data Error";
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
