#include "sim/SimRepeatGuard.h"

#include <algorithm>
#include <cstring>

#include "core/security/Digests.h"

uint64_t simDigest64(const std::vector<uint8_t>& bytes) {
    const std::vector<uint8_t> sha = sha1(bytes);
    uint64_t d = 0;
    std::memcpy(&d, sha.data(), sizeof d);
    return d;
}

bool SimRepeatGuard::firstSending(const std::vector<uint8_t>& frame, const std::string& packageId) {
    const uint64_t frameDigest = simDigest64(frame);
    const uint64_t packageDigest = simDigest64(std::vector<uint8_t>(packageId.begin(), packageId.end()));
    if (frames_.contains(frameDigest) || (!packageId.empty() && packages_.contains(packageDigest))) return false;
    frames_.add(frameDigest);
    if (!packageId.empty()) packages_.add(packageDigest);
    return true;
}

bool SimRepeatGuard::Recent::contains(uint64_t digest) const {
    return std::find(ring_.begin(), ring_.end(), digest) != ring_.end();
}

void SimRepeatGuard::Recent::add(uint64_t digest) {
    if (ring_.size() < capacity_) {
        ring_.push_back(digest);
        return;
    }
    if (ring_.empty()) return;
    ring_[next_] = digest;
    next_ = (next_ + 1) % ring_.size();
}
