// A stand-in for the interface libraries, built several ways (see CMakeLists.txt):
//   FAKELIB_FULL     lptbrtv.so with all nine entry points
//   FAKELIB_PARTIAL  lptbrtv.so with _TestLoad, _CloseDevice, _GetBufferSize and _DMXWrite only
//   FAKELIB_NOTEST   lptbrtv.so with every entry point but _TestLoad
//   FAKELIB_USB      usbbrtv.so with the nine entry points and _ResetPipe
// Answers come from the environment, read at every call:
//   BRTV_FAKE_BASES     comma list of bases for which _TestLoad answers true (default 0x378,21333)
//   BRTV_FAKE_BUFSIZE   the _GetBufferSize answer (default 512)
//   BRTV_FAKE_REVISION  the revision byte, 55 gives "5.5" (default 55)
//   BRTV_FAKE_LOG       file that gets one line per call: the name, then its arguments
#define LPTBRTV_BUILD 1
#include "lptlib/lptbrtv.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#if defined(FAKELIB_FULL) || defined(FAKELIB_USB)
#define FAKE_HAS_TESTLOAD 1
#define FAKE_HAS_REST 1
#elif defined(FAKELIB_PARTIAL)
#define FAKE_HAS_TESTLOAD 1
#define FAKE_HAS_REST 0
#elif defined(FAKELIB_NOTEST)
#define FAKE_HAS_TESTLOAD 0
#define FAKE_HAS_REST 1
#else
#error "build with one of FAKELIB_FULL, FAKELIB_PARTIAL, FAKELIB_NOTEST, FAKELIB_USB"
#endif
// _CloseDevice, _GetBufferSize and _DMXWrite are in every build.

namespace {

void LogCall(const char *format, ...)
{
    const char *path = std::getenv("BRTV_FAKE_LOG");
    if (!path || !*path)
        return;
    FILE *log = std::fopen(path, "a");
    if (!log)
        return;
    va_list args;
    va_start(args, format);
    std::vfprintf(log, format, args);
    va_end(args);
    std::fputc('\n', log);
    std::fclose(log);
}

long EnvNumber(const char *name, long fallback)
{
    const char *text = std::getenv(name);
    if (!text || !*text)
        return fallback;
    char *end = nullptr;
    const long value = std::strtol(text, &end, 0);
    return end == text ? fallback : value;
}

[[maybe_unused]] bool BaseAnswers(int base)
{
    const char *env = std::getenv("BRTV_FAKE_BASES");
    const std::string list = env ? env : "0x378,21333";
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t comma = list.find(',', start);
        const std::string item = list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (!item.empty()) {
            char *end = nullptr;
            const long value = std::strtol(item.c_str(), &end, 0);
            if (end != item.c_str() && value == base)
                return true;
        }
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    return false;
}

} // namespace

extern "C" {

#if FAKE_HAS_TESTLOAD
unsigned char _TestLoad(int base)
{
    LogCall("_TestLoad 0x%X", static_cast<unsigned>(base));
    return BaseAnswers(base) ? 1 : 0;
}
#endif

int _CloseDevice(void)
{
    LogCall("_CloseDevice");
    return 0;
}

short _GetBufferSize(void)
{
    LogCall("_GetBufferSize");
    return static_cast<short>(EnvNumber("BRTV_FAKE_BUFSIZE", 512));
}

int _DMXWrite(int count, unsigned char *levels)
{
    LogCall("_DMXWrite %d", count);
    if (count <= 0 || !levels)
        return 0;
    return count > 512 ? 512 : count;
}

#if FAKE_HAS_REST
void _GetHardwareRevision(char *buf4)
{
    LogCall("_GetHardwareRevision");
    if (!buf4)
        return;
    std::memset(buf4, 0, 4);
    const long r = EnvNumber("BRTV_FAKE_REVISION", 55);
    if (r > 0 && r < 256) {
        buf4[0] = static_cast<char>('0' + r / 10);
        buf4[1] = '.';
        buf4[2] = static_cast<char>('0' + r % 10);
    }
}

int _DMXRead(int count, unsigned char *buf)
{
    LogCall("_DMXRead %d", count);
    if (count <= 0 || !buf)
        return 0;
    if (count > 512)
        count = 512;
    std::memset(buf, 0, static_cast<std::size_t>(count));
    return count;
}

unsigned char _SendRequest(unsigned char cmd, short p1, short p2)
{
    LogCall("_SendRequest %u %d %d", cmd, p1, p2);
    return 1;
}

unsigned char _WriteBuf(int count, unsigned char *bytes)
{
    LogCall("_WriteBuf %d", count);
    return count > 0 && bytes ? 1 : 0;
}

unsigned char _ReadBuf(int count, unsigned char *buf)
{
    LogCall("_ReadBuf %d", count);
    if (count <= 0 || !buf)
        return 0;
    std::memset(buf, 0, static_cast<std::size_t>(count));
    return 1;
}
#endif

#if defined(FAKELIB_USB)
__attribute__((visibility("default"))) int _ResetPipe(void)
{
    LogCall("_ResetPipe");
    return 0;
}
#endif

} // extern "C"
