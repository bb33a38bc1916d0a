// The three sample profiles shipped in "Devices", made through the profile editor's own
// handlers: each is built, saved, loaded and saved again, so that the file holds what a
// load gives (pads' ball colour) and a load followed by closing asks nothing.
#pragma once

#include "EditorDriver.h"

#include <string>
#include <vector>

struct SampleProfile {
    std::string file;   // "Dimmer.dsp" ...
    std::string name;   // device name
};

const std::vector<SampleProfile> &SampleProfiles();

// Builds sample `file` in `ed`; pictures it needs are written into `folder`.
void BuildSample(EditorDriver &d, const std::string &file, const std::string &folder);

// Builds the sample and returns the bytes of its second save (the file in `folder`).
QByteArray MakeSample(const std::string &file, const std::string &folder);
