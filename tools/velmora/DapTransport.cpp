#include "tools/velmora/DapTransport.h"

#include <charconv>
#include <istream>
#include <ostream>

namespace xan::cli {

namespace {

// Larger frames are refused rather than allocated.
constexpr std::size_t kMaxFrame = 64u << 20;

std::string ChompCr(std::string ALine) {
    if (!ALine.empty() && ALine.back() == '\r') ALine.pop_back();
    return ALine;
}

// The value of a "Content-Length:" header line, or -1.
long long ContentLength(const std::string& ALine) {
    static const std::string name = "content-length:";
    if (ALine.size() <= name.size()) return -1;
    for (std::size_t i = 0; i < name.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(ALine[i])) != name[i]) return -1;
    std::size_t at = name.size();
    while (at < ALine.size() && ALine[at] == ' ') ++at;
    long long value = -1;
    const auto [end, ec] = std::from_chars(ALine.data() + at, ALine.data() + ALine.size(), value);
    return ec == std::errc() && end == ALine.data() + ALine.size() ? value : -1;
}

}  // namespace

TDapTransport::TRead TDapTransport::Read(TJson& AMessage, std::string& AError) {
    long long length = -1;
    bool sawHeader = false;
    std::string line;
    for (;;) {
        if (!std::getline(FIn, line)) return TRead::End;
        line = ChompCr(line);
        if (line.empty()) {
            if (sawHeader) break;
            continue;  // blank lines between frames
        }
        sawHeader = true;
        if (const long long n = ContentLength(line); n >= 0) length = n;
    }
    if (length < 0) {
        AError = "Malformed message: no Content-Length header.";
        return TRead::Malformed;
    }
    if (static_cast<unsigned long long>(length) > kMaxFrame) {
        AError = "Malformed message: Content-Length " + std::to_string(length) + " is too large.";
        FIn.ignore(length);
        return TRead::Malformed;
    }
    std::string body(static_cast<std::size_t>(length), '\0');
    if (!FIn.read(body.data(), length)) return TRead::End;
    try {
        AMessage = TJson::parse(body);
    } catch (const TJson::exception& e) {
        AError = std::string("Malformed message: ") + e.what();
        return TRead::Malformed;
    }
    if (!AMessage.is_object()) {
        AError = "Malformed message: not a JSON object.";
        return TRead::Malformed;
    }
    return TRead::Message;
}

void TDapTransport::Send(TJson AMessage) {
    std::lock_guard<std::mutex> guard(FWriteLock);
    AMessage["seq"] = FSeq++;
    const std::string text = AMessage.dump(-1, ' ', false, TJson::error_handler_t::replace);
    FOut << "Content-Length: " << text.size() << "\r\n\r\n" << text << std::flush;
}

namespace {

TJson ResponseTo(const TJson& ARequest, bool ASuccess) {
    TJson response = {{"type", "response"}, {"success", ASuccess}, {"request_seq", 0}, {"command", ""}};
    if (ARequest.is_object()) {
        if (auto seq = ARequest.find("seq"); seq != ARequest.end() && seq->is_number_integer()) response["request_seq"] = *seq;
        if (auto cmd = ARequest.find("command"); cmd != ARequest.end() && cmd->is_string()) response["command"] = *cmd;
    }
    return response;
}

}  // namespace

void TDapTransport::Respond(const TJson& ARequest, TJson ABody) {
    TJson response = ResponseTo(ARequest, true);
    response["body"] = std::move(ABody);
    Send(std::move(response));
}

void TDapTransport::Fail(const TJson& ARequest, const std::string& AMessage) {
    TJson response = ResponseTo(ARequest, false);
    response["message"] = AMessage;
    response["body"] = {{"error", {{"id", 1}, {"format", AMessage}, {"showUser", true}}}};
    Send(std::move(response));
}

void TDapTransport::Event(const std::string& AEvent, TJson ABody) {
    Send({{"type", "event"}, {"event", AEvent}, {"body", std::move(ABody)}});
}

}  // namespace xan::cli
