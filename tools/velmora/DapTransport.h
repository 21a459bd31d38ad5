#pragma once
// The wire of the Debug Adapter Protocol: messages framed by a "Content-Length: N" header
// and an empty line, with N bytes of JSON. Reading happens on one thread; writing may come
// from several (the script's output and breaks arrive on other threads), so writes are
// serialized and numbered here.
#include <atomic>
#include <iosfwd>
#include <mutex>
#include <nlohmann/json.hpp>
#include <string>

namespace xan::cli {

using TJson = nlohmann::json;

class TDapTransport {
public:
    TDapTransport(std::istream& AIn, std::ostream& AOut) : FIn(AIn), FOut(AOut) {}

    enum class TRead { Message, Malformed, End };
    // The next message; Malformed with AError set when a frame or its JSON is broken (the
    // reader then goes on with the next frame).
    TRead Read(TJson& AMessage, std::string& AError);

    void Respond(const TJson& ARequest, TJson ABody = TJson::object());
    void Fail(const TJson& ARequest, const std::string& AMessage);
    void Event(const std::string& AEvent, TJson ABody = TJson::object());

private:
    void Send(TJson AMessage);

    std::istream& FIn;
    std::ostream& FOut;
    std::mutex FWriteLock;
    std::atomic<int> FSeq{1};
};

}  // namespace xan::cli
