// The program's entry: the application object, the ten windows in their order, the
// event loop, and a clean close on SIGTERM and SIGINT.
#include "Application.h"

int main(int argc, char **argv)
{
    return RunProgram(argc, argv);
}
