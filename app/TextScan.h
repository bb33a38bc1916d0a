// Numbers in texts read as the C library's scanner reads them ("%g", "%d", fields split by
// commas, stopping at the first field that fails), but the same under every locale: a
// comma-decimal locale would read "1.5" as 1.
#pragma once

#include <charconv>
#include <type_traits>

namespace textscan {

inline const char *SkipSpace(const char *p, const char *end)
{
    while (p < end && (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\f' || *p == '\v'))
        ++p;
    return p;
}

// One number (leading white space and '+' allowed); false, `p` and `out` unchanged past the
// white space, when none is there.
template <class T>
bool ScanNumber(const char *&p, const char *end, T &out)
{
    p = SkipSpace(p, end);
    if (p < end && *p == '+' && p + 1 < end && *(p + 1) != '-')
        ++p;
    T v{};
    std::from_chars_result r;
    if constexpr (std::is_floating_point_v<T>)
        r = std::from_chars(p, end, v, std::chars_format::general);
    else
        r = std::from_chars(p, end, v);
    if (r.ec != std::errc() || r.ptr == p)
        return false;
    out = v;
    p = r.ptr;
    return true;
}

inline bool ScanComma(const char *&p, const char *end)
{
    if (p < end && *p == ',') {
        ++p;
        return true;
    }
    return false;
}

} // namespace textscan
