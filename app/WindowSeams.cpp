#include "WindowSeams.h"

WindowSeamTable &WindowSeams()
{
    static WindowSeamTable table;
    return table;
}
