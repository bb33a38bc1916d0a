#include "Generators.h"

#include "ValueChart.h"

#include "app/FixtureArea.h"
#include "app/OutputEngine.h"
#include "app/PlayState.h"
#include "app/SceneFixtures.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {
constexpr float TwoPi = 6.283185307179586f;

bool AnyLinkedChannel(const FixtureRecord &f)
{
    for (int j = 0; j < f.channelCount && j < MaxFixtureChannels; ++j)
        if (f.used[j] && f.states[j] == 2)
            return true;
    return false;
}

// Offset + Amplitude x e, held to 0..255.
int ClampLevel(float level)
{
    if (level > 255.0f)
        return 255;
    if (level > 0.0f)
        return static_cast<int>(std::trunc(level));
    return 0;
}

int PeriodicLevel(const WaveSettings &w, int l, int n, int d)
{
    float e = 0.5f * std::sin(static_cast<float>(w.startPhase) / 360.0f * TwoPi +
                              static_cast<float>(l) * (TwoPi / static_cast<float>(n)) +
                              (static_cast<float>(w.shift) / 360.0f * TwoPi) * static_cast<float>(d));
    if (w.shape == WaveShape::Square)
        e = static_cast<float>(w.duration - 50) * 0.01f > e ? -0.5f : 0.5f;
    return ClampLevel(static_cast<float>(w.offset) + static_cast<float>(w.amplitude) * e);
}
} // namespace

std::vector<int> WaveTargets(int fixture, bool group)
{
    std::vector<int> out;
    if (!FixtureIndexValid(fixture))
        return out;
    const int type = Fixtures[static_cast<std::size_t>(fixture)].deviceType;
    for (int i = 0; i < FixtureCount; ++i) {
        const FixtureRecord &f = Fixtures[static_cast<std::size_t>(i)];
        if (i == fixture || (group && f.deviceType == type && AnyLinkedChannel(f)))
            out.push_back(i);
    }
    return out;
}

std::vector<std::vector<int>> WaveLevels(const WaveSettings &w, int n, int targets, int points)
{
    std::vector<std::vector<int>> out(static_cast<std::size_t>(std::max(0, targets)));
    if (n < 1 || targets < 1)
        return out;
    if (w.shape != WaveShape::Random) {
        for (int d = 0; d < targets; ++d)
            for (int l = 0; l < points; ++l)
                out[static_cast<std::size_t>(d)].push_back(PeriodicLevel(w, l, n, d));
        return out;
    }
    std::srand(static_cast<unsigned>(w.seed));
    std::vector<int> &first = out[0];
    for (int l = 0; l < points; ++l)
        first.push_back(ClampLevel(static_cast<float>(w.offset) +
                                   static_cast<float>(w.amplitude) *
                                       (static_cast<float>(std::rand() & 255) / 128.0f - 1.0f)));
    for (int k = 1; k < targets; ++k) {
        std::vector<int> &t = out[static_cast<std::size_t>(k)];
        t.assign(static_cast<std::size_t>(points), 0);
        const int step = static_cast<int>(std::trunc(k * static_cast<double>(w.shift) / (360.0 / n)));
        // The first target's scene l lands on scene (l + step) mod n of this one.
        for (int l = 0; l < n && l < points; ++l) {
            int at = (l + step) % n;
            if (at < 0)
                at += n;
            if (at < points)
                t[static_cast<std::size_t>(at)] = first[static_cast<std::size_t>(l)];
        }
        if (points > n)
            for (int l = n; l < points; ++l)
                t[static_cast<std::size_t>(l)] = t[static_cast<std::size_t>(l % n)];
    }
    return out;
}

bool ApplyWave(int fixture, int channel, const WaveSettings &w)
{
    SequenceRecord *seq = EditableSequence();
    if (!seq || !FixtureIndexValid(fixture) || channel < 0 || channel >= MaxFixtureChannels)
        return false;
    const std::vector<int> targets = WaveTargets(fixture, w.group);
    const int n = seq->sceneCount;
    const auto levels = WaveLevels(w, n, static_cast<int>(targets.size()), n);
    for (std::size_t d = 0; d < targets.size(); ++d) {
        const FixtureRecord &f = Fixtures[static_cast<std::size_t>(targets[d])];
        if (channel >= f.channelCount)
            continue;
        for (int l = 0; l < n; ++l)
            SetSceneLevel(*seq->scenes[l], f, channel, levels[d][static_cast<std::size_t>(l)]);
    }
    SceneToFixtures();
    ShowModified = 1;
    return true;
}

int DrawRandomSeed()
{
    return std::rand() % 18675;
}

std::string FanCompute(int fixture, int ampFan, int shiftFan, int offsetFan, std::vector<FanMove> &moves)
{
    moves.clear();
    if (!FixtureIndexValid(fixture))
        return FanNoPanTiltText;
    const FixtureRecord &sel = Fixtures[static_cast<std::size_t>(fixture)];
    const ChannelRoles roles = RolesOf(sel);
    if (!roles.HasPanTilt())
        return FanNoPanTiltText;
    const int p = roles.pan, t = roles.tilt;
    std::vector<int> members;
    for (int i = 0; i < FixtureCount; ++i) {
        const FixtureRecord &f = Fixtures[static_cast<std::size_t>(i)];
        if (f.deviceType == sel.deviceType && ChannelUsable(f, p) && ChannelUsable(f, t) && f.states[p] == 2 &&
            f.states[t] == 2)
            members.push_back(i);
    }
    const int m = static_cast<int>(members.size());
    if (m < 2)
        return FanTooFewText;
    const double a = static_cast<double>(ampFan) / m * 2;
    const double s = static_cast<double>(shiftFan) / m * 2;
    double x = -(m / 2) + (m % 2 == 0 ? 0.5 : 0.0);
    for (int i : members) {
        const FixtureRecord &f = Fixtures[static_cast<std::size_t>(i)];
        const int pan = static_cast<int>(std::trunc(f.values[p] + x * a));
        const int tilt = static_cast<int>(std::trunc(std::trunc(f.values[t] - std::fabs(x) * s) - offsetFan));
        moves.push_back({i, std::clamp(pan, 0, 255), std::clamp(tilt, 0, 255)});
        x += 1.0;
    }
    return {};
}

std::string FanModify(int fixture, int ampFan, int shiftFan, int offsetFan, bool store)
{
    std::vector<FanMove> moves;
    std::string message = FanCompute(fixture, ampFan, shiftFan, offsetFan, moves);
    if (!message.empty())
        return message;
    const ChannelRoles roles = RolesOf(Fixtures[static_cast<std::size_t>(fixture)]);
    for (const FanMove &mv : moves) {
        FixtureRecord &f = Fixtures[static_cast<std::size_t>(mv.fixture)];
        SetChannelLevel(f.start + roles.pan, static_cast<std::uint8_t>(mv.pan));
        SetChannelLevel(f.start + roles.tilt, static_cast<std::uint8_t>(mv.tilt));
        if (store) {
            f.values[roles.pan] = static_cast<std::uint8_t>(mv.pan);
            f.values[roles.tilt] = static_cast<std::uint8_t>(mv.tilt);
        }
    }
    if (store) {
        FixturesToScene();
        ShowModified = 1;
    }
    return {};
}
