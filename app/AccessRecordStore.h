// The access record (10 bytes, the first the access level 0..3) kept in the settings
// store as the binary value "PWD" under "Software\Brantoval\MainWindow".
#pragma once

constexpr const char *AccessRecordValue = "PWD";

// Reads the stored record into AccessRecord. When it cannot be read (the key or the value
// is missing, or it is not 10 bytes) the current record is stored instead. The key is
// not created here.
void LoadAccessRecord();
