// The text that the show-open dialog previews for a show file: its fixture list, the
// format version and, for the current version, each sequence with its scene count.
// Reads only; nothing of the loaded show changes.
#pragma once

#include "BinaryStream.h"

#include <string>
#include <vector>

// The pane's caption for a file of this extension (lower case, no dot): "Preview" for
// shows of the current format ("d1k"), else "Can't preview" (nothing is read then).
std::string ShowPreviewCaption(const std::string &extension);
bool ShowPreviewable(const std::string &extension);

// The preview lines of a show file. A file that does not read to the end of what the
// preview needs ends the text where it failed; no box is shown.
std::vector<std::string> ShowPreviewLines(BinaryStream &stream);
