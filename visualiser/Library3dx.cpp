#include "Library3dx.h"

#include "TextScan.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdint>

namespace {

std::string Trim(const std::string &s)
{
    std::size_t a = 0, b = s.size();
    while (a < b && std::isspace(static_cast<unsigned char>(s[a])))
        ++a;
    while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1])))
        --b;
    return s.substr(a, b - a);
}

std::string Lower(std::string s)
{
    for (char &c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// Up to `max` integers split by commas, as "%d,%d,..." scans them.
int ScanInts(const std::string &text, long long *out, int max)
{
    const char *p = text.data(), *end = p + text.size();
    int n = 0;
    while (n < max && textscan::ScanNumber(p, end, out[n])) {
        ++n;
        if (!textscan::ScanComma(p, end))
            break;
    }
    return n;
}

std::uint32_t ParseColour(const std::string *value)
{
    const std::string t = value ? Trim(*value) : std::string("0xffffff");
    const char *p = t.data(), *end = p + t.size();
    int base = 10;
    if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
        p += 2;
        base = 16;
    }
    std::uint32_t v = 0;
    const auto r = std::from_chars(p, end, v, base);
    return r.ec == std::errc() && r.ptr != p ? v : 0xFFFFFFu;
}

} // namespace

IniText::IniText(const std::string &text)
{
    Section *current = nullptr;
    std::size_t at = 0;
    while (at <= text.size()) {
        std::size_t nl = text.find('\n', at);
        if (nl == std::string::npos)
            nl = text.size();
        const std::string line = Trim(text.substr(at, nl - at));
        at = nl + 1;
        if (line.empty() || line[0] == ';')
            continue;
        if (line.front() == '[') {
            const std::size_t close = line.find(']');
            const std::string name = Lower(Trim(line.substr(1, close == std::string::npos ? std::string::npos : close - 1)));
            auto it = std::find_if(sections_.begin(), sections_.end(), [&](const Section &s) { return s.name == name; });
            if (it == sections_.end()) {
                sections_.push_back({name, {}});
                current = &sections_.back();
            } else {
                current = &*it;
            }
            continue;
        }
        const std::size_t eq = line.find('=');
        if (!current || eq == std::string::npos)
            continue;
        const std::string key = Lower(Trim(line.substr(0, eq)));
        auto &keys = current->keys;
        if (std::none_of(keys.begin(), keys.end(), [&](const auto &k) { return k.first == key; }))
            keys.emplace_back(key, Trim(line.substr(eq + 1)));
    }
}

const IniText::Section *IniText::Find(const std::string &section) const
{
    const std::string name = Lower(section);
    for (const Section &s : sections_)
        if (s.name == name)
            return &s;
    return nullptr;
}

const std::string *IniText::Value(const std::string &section, const std::string &key) const
{
    const Section *s = Find(section);
    if (!s)
        return nullptr;
    const std::string k = Lower(key);
    for (const auto &entry : s->keys)
        if (entry.first == k)
            return &entry.second;
    return nullptr;
}

int IniText::KeyCount(const std::string &section) const
{
    const Section *s = Find(section);
    return s ? static_cast<int>(s->keys.size()) : 0;
}

Library3dxResult Read3dx(const std::string &text, Scene3D &scene)
{
    Library3dxResult result;
    const IniText ini(text);
    long long nodes = 0;
    if (const std::string *v = ini.Value("Brantoval3dx", "Nodes")) {
        const char *p = v->data();
        textscan::ScanNumber(p, p + v->size(), nodes);
    }
    nodes = std::min<long long>(nodes, MeshMaxCount);
    if (nodes <= 0)
        return result;
    Object3DRecord o;
    o.mesh = std::make_unique<Mesh>();
    o.colour = ParseColour(ini.Value("Brantoval3dx", "Color"));
    Mesh &m = *o.mesh;
    for (long long i = 0; i < nodes; ++i) {
        const std::string *v = ini.Value("XYZ", "Vert" + std::to_string(i));
        float xyz[3];
        const char *p = v ? v->data() : nullptr, *end = v ? p + v->size() : nullptr;
        if (v && textscan::ScanNumber(p, end, xyz[0]) && textscan::ScanComma(p, end) &&
            textscan::ScanNumber(p, end, xyz[1]) && textscan::ScanComma(p, end) && textscan::ScanNumber(p, end, xyz[2]))
            AddVertex(m, xyz[0], xyz[1], xyz[2]);
        else
            ++result.badVertices;
    }
    long long n[16];
    const int vertexCount = static_cast<int>(m.vertices.size());
    auto valid = [&](long long k) { return k >= 0 && k < vertexCount; };
    for (int i = 0, rays = ini.KeyCount("Rays"); i < rays; ++i)
        if (const std::string *v = ini.Value("Rays", "Ray" + std::to_string(i))) {
            const int count = ScanInts(*v, n, 16);
            for (int k = 1; k < count; ++k)
                if (valid(n[0]) && valid(n[k]))
                    AddEdge(m, int(n[0]), int(n[k]));
        }
    for (int i = 0, surfaces = ini.KeyCount("Surfaces"); i < surfaces; ++i)
        if (const std::string *v = ini.Value("Surfaces", "Sur" + std::to_string(i))) {
            if (ScanInts(*v, n, 16) < 4 || !valid(n[0]) || !valid(n[1]) || !valid(n[2]))
                continue;
            MeshTriangle t;
            t.a = std::uint16_t(n[0]);
            t.b = std::uint16_t(n[1]);
            t.c = std::uint16_t(n[2]);
            t.colour = std::uint32_t(n[3]);
            AddTriangle(m, t);
        }
    if (!m.vertices.empty()) {
        scene.objects.push_back(std::move(o));
        result.added = true;
    }
    return result;
}
