// The 3DS import of one mesh of 10000 and of 30000 points (n - 2 faces each) built in
// memory, and the ratio of the two times: 3 when the import is linear in the points, 9 when
// every added point searched all earlier ones. Each size is imported at least 5 times and
// until a quarter second has passed, and the fastest run is printed, so that a busy machine
// disturbs the figures less.
#include "tests/visualiser/Chunks3ds.h"
#include "visualiser/Import3ds.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {

constexpr int MinRounds = 5, MaxRounds = 200;
constexpr double MinTotalMs = 250;

// The fastest of the rounds in milliseconds; false when an import added the wrong counts.
bool Measure(int points, double &bestMs)
{
    const chunks3ds::Bytes file = chunks3ds::File(chunks3ds::Strip("Big", points));
    bestMs = 0;
    double totalMs = 0;
    int round = 0;
    for (; round < MaxRounds && (round < MinRounds || totalMs < MinTotalMs); ++round) {
        Mesh mesh;
        const auto start = std::chrono::steady_clock::now();
        const Import3dsResult r = Import3ds(file.data(), file.size(), mesh);
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        if (r.vertices != points || r.triangles != points - 2)
            return false;
        bestMs = round == 0 ? ms : std::min(bestMs, ms);
        totalMs += ms;
    }
    std::printf("import3ds: %d vertices, %d triangles, %.3f ms (fastest of %d)\n", points, points - 2, bestMs,
                round);
    return true;
}

} // namespace

int main()
{
    double small = 0, large = 0;
    if (!Measure(10000, small) || !Measure(30000, large)) {
        std::printf("import3ds: wrong vertex or triangle count\n");
        return 1;
    }
    std::printf("import3ds: 30000 / 10000 vertices time ratio %.2f\n", small > 0 ? large / small : 0.0);
    return 0;
}
