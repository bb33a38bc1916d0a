#include "controls/ControlGeometry.h"

#include <cmath>
#include <limits>

int MulDiv(qint64 a, qint64 b, qint64 c)
{
    if (c == 0)
        return 0;
    const qint64 n = a * b;
    const bool negative = (n < 0) != (c < 0);
    const qint64 an = n < 0 ? -n : n;
    const qint64 ac = c < 0 ? -c : c;
    qint64 q = (an + ac / 2) / ac;
    if (ac % 2 == 0 && (an % ac) * 2 == ac)
        q = an / ac + 1; // exact half: away from zero
    return clampToInt(negative ? -q : q);
}

int pointerAngleDegrees(double dx, double dy)
{
    const double f = std::sqrt(dx * dx + dy * dy);
    const double a = std::acos(std::clamp(dy / f, -1.0, 1.0));
    const double turn = 2 * M_PI;
    if (dx / f >= 0)
        return int(std::trunc((turn - a) / turn * 360));
    return int(std::trunc(a / turn * 360));
}
