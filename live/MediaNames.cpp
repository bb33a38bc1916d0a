#include "MediaNames.h"

#include <cctype>
#include <cstdio>

namespace {

struct MediaType {
    const char *description;
    const char *types;
};
constexpr MediaType Types[] = {
    {"Wave Sound", "*.wav"},      {"MPEG Audio", "*.mp3"},      {"Ogg Vorbis", "*.ogg;*.oga"},
    {"Opus Audio", "*.opus"},     {"FLAC Audio", "*.flac"},     {"Video (AVI)", "*.avi"},
    {"Matroska Video", "*.mkv"}, {"WebM Video", "*.webm"},     {"CD Audio", "*.cda"},
};

std::string Lower(std::string s)
{
    for (char &c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

} // namespace

const std::string &MediaFileFilter()
{
    static const std::string filter = [] {
        // "*.cda" leads the all-types list; its own pair comes last.
        std::string all = "*.cda";
        std::string pairs;
        for (const MediaType &t : Types) {
            if (std::string(t.types) != "*.cda")
                all.append(";").append(t.types);
            pairs.append("|").append(t.description).append("|").append(t.types);
        }
        return std::string("Media files (all types)|").append(all).append(pairs);
    }();
    return filter;
}

bool IsCdTrackName(const std::string &path)
{
    return path.size() >= 4 && Lower(path.substr(path.size() - 4)) == ".cda";
}

std::string MediaBaseName(const std::string &path)
{
    const auto cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::optional<int> CdTrackNumber(const std::string &path)
{
    const std::string name = Lower(MediaBaseName(path));
    const auto at = name.find("track");
    if (at == std::string::npos)
        return std::nullopt;
    std::size_t i = at + 5;
    while (i < name.size() && name[i] == ' ')
        ++i;
    int track = 0;
    std::size_t digits = 0;
    for (; i < name.size() && std::isdigit(static_cast<unsigned char>(name[i])) && digits < 4; ++i, ++digits)
        track = track * 10 + (name[i] - '0');
    if (digits == 0 || track < 1)
        return std::nullopt;
    return track;
}

std::string CdTrackUrl(int track)
{
    return "cdda://" + std::to_string(track);
}

std::string FormatPlayerTime(std::int64_t ms)
{
    if (ms < 0)
        ms = 0;
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%1d", static_cast<int>((ms % 3600000) / 60000),
                  static_cast<int>((ms % 60000) / 1000), static_cast<int>((ms % 1000) / 100));
    return text;
}

std::optional<std::int32_t> ParsePlayerTime(const std::string &text)
{
    int m = 0, s = 0, t = 0;
    if (std::sscanf(text.c_str(), "%d:%d:%d", &m, &s, &t) != 3 || m < 0 || s < 0 || t < 0)
        return std::nullopt;
    return m * 60000 + s * 1000 + t * 100;
}
