#include "platform/rtl/DirUtils.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "platform/core/Exception.h"
#include "platform/rtl/JoinTexts.h"

namespace xan::plat {

namespace {

[[noreturn]] void RaiseIoError(int code, const UString& path) {
    Throw<EInOutError>(JoinTexts({UString::FromUtf8(std::strerror(code)), u": ", path}), code);
}

template <class Call>
void Check(const UString& dir, Call call) {
    if (call(dir.ToUtf8().c_str()) != 0) RaiseIoError(errno, dir);
}

}  // namespace

void ChDir(const UString& dir) {
    Check(dir, [](const char* p) { return ::chdir(p); });
}

void MkDir(const UString& dir) {
    Check(dir, [](const char* p) { return ::mkdir(p, 0777); });
}

void RmDir(const UString& dir) {
    Check(dir, [](const char* p) { return ::rmdir(p); });
}

UString GetCurrentDir() {
    std::vector<char> buffer(256);
    while (!::getcwd(buffer.data(), buffer.size())) {
        if (errno != ERANGE) RaiseIoError(errno, u".");
        buffer.resize(buffer.size() * 2);
    }
    return UString::FromUtf8(buffer.data());
}

}  // namespace xan::plat
