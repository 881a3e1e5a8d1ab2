#pragma once
// A pushed message read from the current record of a message reply (the
// unconfirmed messages 3780/2 and the history 3780/6 share their columns,
// core/contracts/MessageContract.h). "send_time" is the date and the time
// with one blank between; anything else leaves both empty.
#include <memory>

#include "core/storage/QZMessageExpress.h"

class VTATCRS;

std::shared_ptr<QZMessageExpress> messageExpressFromRecord(const VTATCRS& set);
