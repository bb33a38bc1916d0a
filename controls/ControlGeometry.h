// Small integer and angle helpers shared by the painted controls.
#pragma once

#include <QtGlobal>
#include <algorithm>
#include <limits>

// a*b/c rounded half away from zero, in 64 bits; 0 when c is 0 (nothing sensible to return).
int MulDiv(qint64 a, qint64 b, qint64 c);

// Angle in whole degrees of a pointer offset (dx, dy) from a centre: 0 straight down,
// 90 to the left, 180 up, 270 to the right. The offset must not be (0, 0).
int pointerAngleDegrees(double dx, double dy);

template <class T>
inline T clampTo(T v, T lo, T hi)
{
    return v < lo ? lo : (v > hi ? hi : v);
}

inline int clampToInt(qint64 v)
{
    return int(clampTo<qint64>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}
