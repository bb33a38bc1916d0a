// The 3D library file (*.3dx), an ini text read only: section "Brantoval3dx" with "Nodes"
// (the vertex count) and "Color"; "XYZ" with "Vert0".."Vert<n-1>" = x,y,z; "Rays" with
// "Ray0".. = a vertex and its neighbours; "Surfaces" with "Sur0".. = a, b, c, colour.
#pragma once

#include "Scene3D.h"

#include <string>
#include <utility>
#include <vector>

// An ini text: sections and keys match without regard to case, blanks around them trimmed;
// the first occurrence of a key wins; lines starting with ';' are comments.
class IniText {
public:
    explicit IniText(const std::string &text);
    // The value, or nullptr when the section or key is missing.
    const std::string *Value(const std::string &section, const std::string &key) const;
    // Distinct keys of the section.
    int KeyCount(const std::string &section) const;

private:
    struct Section {
        std::string name;
        std::vector<std::pair<std::string, std::string>> keys;
    };
    const Section *Find(const std::string &section) const;
    std::vector<Section> sections_;
};

struct Library3dxResult {
    bool added = false;   // an object with at least one vertex was appended
    int badVertices = 0;  // vertex keys missing or not scanning to three numbers
};
// Appends the library's object to `scene`: nothing when "Nodes" is 0 or absent (at most
// 65535 are read). Surfaces with fewer than four numbers or an index out of range are
// skipped.
Library3dxResult Read3dx(const std::string &text, Scene3D &scene);
