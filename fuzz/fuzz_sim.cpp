// The simulated server's request handling under arbitrary bytes, through its
// whole request road without HTTP (SimServer::handle). The first byte chooses
// how the rest is sent:
//   bit 0 clear: as the HTTP body itself (bit 1: the text dump asked for,
//                which this server is started to give; bit 2: gzip accepted);
//   bit 0 set:   as a request text, built into a body the way the client
//                builds it, under a live session whose key enciphers it (bits
//                1-3: the request type), so the text reaches the functions.
// Every reply must carry readable flags, and a successful one record sets
// that decipher, inflate and read.
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "FuzzOutcome.h"
#include "FuzzRandom.h"
#include "core/VTATCRS.h"
#include "core/security/VTACoder.h"
#include "net/ServiceProtocol.h"
#include "sim/SimServer.h"

namespace {

constexpr double kClock = 1709605800;  // 2024-03-05 10:30 in Shanghai

// Every input starts from the same server: the books and every family's
// state as seeded, the clock at its start, one live session and the random
// source at the start of its stream. What an input does (an order, a login,
// a message, a token) cannot reach the inputs after it, so it covers the same
// code whatever ran before it, as the corpus's merge credited it. The server
// itself stays: its market, worked out once a day and instrument, is the
// same for every input.
struct Fixture {
    std::unique_ptr<SimServer> sim;
    std::string keyText;  // the client's key, enciphered for the server
    std::string session;

    SimServer& fresh() {
        if (!sim) {
            sim = std::make_unique<SimServer>(SimOptions{
                .seed = 7, .clock = kClock, .frozenClock = true, .requireSession = false, .dumpHeader = true});
            // The client's key, made on its first use (from the random
            // source), enciphered once: every login brings the same.
            auto text = VTACoder::sessionKeyExchangeText();
            if (!text) std::abort();  // the bundle's key file is missing
            keyText = *text;
        }
        sim->resetState();
        fuzzRestartRandom();
        login();
        return *sim;
    }

    void login() {
        auto reply =
            sim->handle("tc_service=300&tc_isunicode=1&TC_ENCRYPT=0&tc_mfuncno=100&tc_sfuncno=1&TC_KEY=" + keyText +
                            "&TC_SESSION={}&phone=13800138000",
                        {});
        auto sets = VTATCRS::buildMuTableTCRSWithData(std::vector<uint8_t>(reply.body.begin(), reply.body.end()));
        if (!sets || sets->empty()) std::abort();
        (*sets)[0]->fetchFirst();
        session = (*sets)[0]->toStringWithFieldName("session").value_or("");
        if (session.empty()) std::abort();
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

std::string etagOf(const SimServer::Reply& reply) {
    for (const auto& [name, value] : reply.headers)
        if (name == "Etag") return value;
    return {};
}

void checkReply(const SimServer::Reply& reply, bool dump) {
    fuzzOutcomeAdd(std::to_string(reply.status));
    for (const auto& [name, value] : reply.headers) fuzzOutcomeAdd(name + ": " + value);
    fuzzOutcomeAdd(reply.body);
    if (reply.status != 200) return;
    auto flags = ServiceProtocol::parseEtag(etagOf(reply));
    if (!flags) std::abort();
    if (dump || flags->status != ServiceProtocol::kStatusOK) return;
    for (const auto& [name, value] : reply.headers)
        if (name == "Content-Encoding") return;  // gzip: the HTTP engine's side
    std::vector<uint8_t> bytes(reply.body.begin(), reply.body.end());
    if (flags->enciphered) {
        auto plain = VTACoder::decryptData(bytes);
        if (!plain) std::abort();
        bytes = std::move(*plain);
    }
    if (flags->compressed) {
        auto inflated = VTACoder::uncompressData(bytes);
        if (!inflated) std::abort();
        bytes = std::move(*inflated);
    }
    if (!VTATCRS::buildMuTableTCRSWithData(bytes)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzOutcomeStart();
    if (size == 0) return 0;
    Fixture& f = fixture();
    SimServer& sim = f.fresh();
    const uint8_t mode = data[0];
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    std::map<std::string, std::string> headers{{"User-Agent", ServiceProtocol::kUserAgent}};
    bool dump = false;
    std::string body;
    if (mode & 1) {
        auto built = ServiceProtocol::buildBody(text, (mode >> 1) & 7, f.session, VTACoder::encryptString);
        body = built.text;
    } else {
        body = text;
        dump = mode & 2;
        if (dump) headers["X-Sim-Dump"] = "text";
        if (mode & 4) headers["Accept-Encoding"] = "gzip";
    }
    checkReply(sim.handle(body, headers), dump);
    return 0;
}
