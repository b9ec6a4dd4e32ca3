#include "app/gui/StartProgram.h"

int main(int argc, char **argv)
{
    return StartProgram(argc, argv);
}
